// The compiled catalogues: reading them (and surviving damaged ones), contexts and plural forms,
// the placeholders of composed texts, and the catalogues the program ships.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/exception.h"
#include "tests/support/fake_backend.h"
#include "tests/support/fake_file_system.h"
#include "ui/application.h"
#include "ui/catalogue.h"
#include "ui/tr.h"

using namespace std::string_literals;

namespace {

// A ".mo" of the given originals and translations, in the byte order asked for.
std::string MakeMo(std::vector<std::pair<std::string, std::string>> entries, bool big_endian = false) {
  std::sort(entries.begin(), entries.end());
  std::string out;
  auto word = [&](uint32_t w) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(w >> (big_endian ? 24 - 8 * i : 8 * i));
  };
  const auto n = static_cast<uint32_t>(entries.size());
  const uint32_t originals = 28, translations = originals + 8 * n;
  uint32_t place = translations + 8 * n;
  word(0x950412de), word(0), word(n), word(originals), word(translations), word(0), word(0);
  std::string strings;
  for (int table = 0; table < 2; ++table)
    for (const auto& entry : entries) {
      const std::string& s = table ? entry.second : entry.first;
      word(static_cast<uint32_t>(s.size())), word(place);
      strings += s + '\0';
      place += static_cast<uint32_t>(s.size()) + 1;
    }
  return out + strings;
}

const std::string kRussianHeader =
    "Language: ru\nX-Language-Name: Русский\n"
    "Plural-Forms: nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || "
    "n%100>=20) ? 1 : 2);\n";

}  // namespace

TEST(Catalogue, FindsTextsByContextAndCountInEitherByteOrder) {
  for (bool big_endian : {false, true}) {
    const std::optional<ui::TCatalogue> c =
        ui::TCatalogue::Parse(MakeMo({{"", kRussianHeader},
                                      {"Skip", "Пропустить"},
                                      {std::string("update\x04Skip"), "Не сейчас"},
                                      {"%1 file\0%1 files"s, "%1 файл\0%1 файла\0%1 файлов"s},
                                      {"Untranslated", ""}},
                                     big_endian));
    ASSERT_TRUE(c) << big_endian;
    EXPECT_EQ(*c->Find("", "Skip"), "Пропустить");
    EXPECT_EQ(*c->Find("update", "Skip"), "Не сейчас");
    EXPECT_EQ(c->Find("", "Untranslated"), nullptr);  // the English text stands
    EXPECT_EQ(c->Find("", "Missing"), nullptr);
    EXPECT_EQ(c->Header("X-Language-Name"), "Русский");
    const std::vector<std::pair<uint64_t, std::string>> counts = {
        {1, "%1 файл"}, {2, "%1 файла"}, {5, "%1 файлов"}, {11, "%1 файлов"}, {21, "%1 файл"}, {104, "%1 файла"}};
    for (const auto& [n, form] : counts) EXPECT_EQ(*c->FindPlural("", "%1 file", n), form) << n;
  }
}

TEST(Catalogue, DamagedFilesLoseEntriesNeverTheProgram) {
  EXPECT_FALSE(ui::TCatalogue::Parse(""));
  EXPECT_FALSE(ui::TCatalogue::Parse(std::string(64, 'x')));
  const std::string good = MakeMo({{"", "Language: de\n"}, {"Clean All", "Alles bereinigen"}, {"Skip", "Weiter"}});
  // Cut anywhere: no read beyond the bytes, and what is still whole is kept.
  for (size_t size = 0; size < good.size(); ++size) {
    const std::optional<ui::TCatalogue> c = ui::TCatalogue::Parse(good.substr(0, size));
    if (c) {
      EXPECT_LE(c->Size(), 2u);
    }
  }
  // An entry whose place points outside the file is left out; the others stay.
  std::string bad = good;
  bad[28 + 8 * 3 + 8 + 4 + 3] = '\x7f';  // the place of "Clean All"'s translation, far beyond the end
  const std::optional<ui::TCatalogue> c = ui::TCatalogue::Parse(bad);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Find("", "Clean All"), nullptr);
  ASSERT_NE(c->Find("", "Skip"), nullptr);
  // More plural forms asked for than a translation has: its last one.
  const std::optional<ui::TCatalogue> short_forms =
      ui::TCatalogue::Parse(MakeMo({{"", kRussianHeader}, {"a\0b"s, "x\0y"s}}));
  EXPECT_EQ(*short_forms->FindPlural("", "a", 5), "y");
}

TEST(PluralRule, ReadsTheLanguagesRulesAndRefusesBrokenOnes) {
  const auto polish =
      ui::TPluralRule::Parse("nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);");
  ASSERT_TRUE(polish);
  EXPECT_EQ(polish->Forms(), 3);
  for (auto [n, form] : std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {4, 1}, {5, 2}, {12, 2}, {22, 1}, {0, 2}})
    EXPECT_EQ(polish->FormFor(n), form) << n;
  const auto french = ui::TPluralRule::Parse("nplurals=2; plural=(n > 1);");
  EXPECT_EQ(french->FormFor(0), 0);
  EXPECT_EQ(french->FormFor(2), 1);
  EXPECT_EQ(ui::TPluralRule::Parse("nplurals=1; plural=0;")->FormFor(7), 0);
  // A rule naming a form beyond its count never indexes past it.
  EXPECT_EQ(ui::TPluralRule::Parse("nplurals=2; plural=n;")->FormFor(9), 1);
  EXPECT_EQ(ui::TPluralRule::Parse("nplurals=2; plural=n%0;")->FormFor(9), 0);
  for (const char* broken : {"", "nplurals=2;", "nplurals=x; plural=n;", "nplurals=2; plural=(n;",
                             "nplurals=2; plural=n ==;", "nplurals=0; plural=0;", "nplurals=2; plural=n ? 1;"})
    EXPECT_FALSE(ui::TPluralRule::Parse(broken)) << broken;
  // Deep nesting ends the parse, not the stack.
  EXPECT_FALSE(ui::TPluralRule::Parse("nplurals=2; plural=" + std::string(100000, '(') + "n;"));
  EXPECT_FALSE(ui::TPluralRule::Parse("nplurals=2; plural=" + std::string(100000, '!') + "n;"));
}

TEST(Tr, FollowsTheCatalogueSetAndFormatsPlaceholders) {
  EXPECT_EQ(ui::Tr("Skip"), "Skip");
  EXPECT_EQ(ui::TrN("%1 file", "%1 files", 1), "%1 file");
  EXPECT_EQ(ui::TrN("%1 file", "%1 files", 2), "%1 files");
  EXPECT_EQ(ui::FacesFor("Tahoma"), std::vector<std::string>{"Tahoma"});
  ui::SetCatalogue(std::make_shared<const ui::TCatalogue>(
      *ui::TCatalogue::Parse(MakeMo({{"", "Language: de\n"},
                                     {"Skip", "Weiter"},
                                     {std::string("update\x04Skip"), "Überspringen"},
                                     {std::string("font\x04Tahoma"), "Meiryo UI||MS UI Gothic|"}}))));
  EXPECT_EQ(ui::FacesFor("Tahoma"), (std::vector<std::string>{"Meiryo UI", "MS UI Gothic"}));
  EXPECT_EQ(ui::FacesFor("Arial"), std::vector<std::string>{"Arial"});
  EXPECT_EQ(ui::Tr("Skip"), "Weiter");
  EXPECT_EQ(ui::TrC("update", "Skip"), "Überspringen");
  EXPECT_EQ(ui::TrC("other", "Skip"), "Skip");
  ui::SetCatalogue(nullptr);
  EXPECT_EQ(ui::Tr("Skip"), "Skip");

  EXPECT_EQ(ui::Format("%2 of %1", {"a", "b"}), "b of a");
  EXPECT_EQ(ui::Format("Partial Delete ( %1% )", {"40"}), "Partial Delete ( 40% )");
  EXPECT_EQ(ui::Format("100%% %3 %", {"a"}), "100% %3 %");  // a missing argument shows as written
  EXPECT_EQ(ui::Format("%1", {"%2"}), "%2");                // an argument is never read again
}

// Every shipped catalogue reads, names its language and has the plural forms its rule asks for.
TEST(ShippedCatalogues, ReadWithTheirNamesAndPluralForms) {
  size_t count = 0;
  for (const auto& file : std::filesystem::directory_iterator(CX_CATALOGUE_DIR)) {
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::optional<ui::TCatalogue> c = ui::TCatalogue::Parse(bytes.str());
    ASSERT_TRUE(c) << file.path();
    ++count;
    EXPECT_FALSE(c->Header("X-Language-Name").empty()) << file.path();
    const auto rule = ui::TPluralRule::Parse(c->Header("Plural-Forms"));
    ASSERT_TRUE(rule) << file.path();
    const std::string* found = c->FindPlural("", "%1 item is in use by other programs and could not be removed.", 5);
    ASSERT_NE(found, nullptr) << file.path();
    EXPECT_NE(found->find("%1"), std::string::npos) << file.path();
  }
  EXPECT_GE(count, 12u);
}

// A message made below the widget layer reads English in what() and is shown translated, with
// the same arguments.
TEST(Tr, TheErrorDisplayTranslatesAPatternsMessage) {
  const platform::Exception error(platform::TrLater("Cannot create file \"%1\". %2"), {"C:\\a.conf", "Denied."});
  EXPECT_STREQ(error.what(), "Cannot create file \"C:\\a.conf\". Denied.");
  ui::SetCatalogue(std::make_shared<const ui::TCatalogue>(*ui::TCatalogue::Parse(
      MakeMo({{"", "Language: de\n"}, {"Cannot create file \"%1\". %2", "%2 \"%1\" lässt sich nicht anlegen."}}))));
  FakeBackend backend;
  FakeFileSystem files;
  ui::TApplication app(backend, files);
  app.ShowException(error);
  app.ShowException(std::runtime_error("plain"));
  ui::SetCatalogue(nullptr);
  EXPECT_EQ(backend.errors, (std::vector<std::string>{"Denied. \"C:\\a.conf\" lässt sich nicht anlegen.", "plain"}));
}
