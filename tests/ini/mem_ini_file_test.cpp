#include "ini/mem_ini_file.h"

#include <gtest/gtest.h>

#include "platform/exception.h"
#include "tests/support/fake_file_system.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kFile = "C:\\conf\\test.ini";

class MemIniFileTest : public ::testing::Test {
 protected:
  MemIniFileTest() { files.AddFolder("C:\\conf"); }

  std::unique_ptr<TMemIniFile> Open(const std::string& text) {
    files.AddFileWithContent(kFile, text);
    return std::make_unique<TMemIniFile>(files, kFile);
  }

  FakeFileSystem files;
};

TEST_F(MemIniFileTest, MissingFileGivesAnEmptyDocumentAndWritesNothing) {
  TMemIniFile ini(files, "C:\\conf\\absent.ini");
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_EQ(ini.ReadString("Scan", "Level", "dflt"), "dflt");
  ini.WriteBool("Scan", "C", true);
  EXPECT_FALSE(files.Exists("C:\\conf\\absent.ini"));
}

TEST_F(MemIniFileTest, LineEndsBlanksCommentsAndTextBeforeTheFirstSection) {
  auto ini = Open(
      "orphan=1\r\n"
      "; comment before\n"
      " \t[ Scan ] \r"
      "  level = 2  \r\n"
      "\x01 name \x1f= a=b ; c \"q\" \\ \n"
      ";Hidden=1\r\n"
      "\r\n"
      "[Other]\n"
      "Last=no line end");
  EXPECT_EQ(ini->ReadSections(), (Names{"Scan", "Other"}));
  EXPECT_EQ(ini->ReadInteger("SCAN", "Level", 0), 2);
  // Split at the first "=", both halves trimmed; the rest of the value is ordinary text.
  EXPECT_EQ(ini->ReadString("scan", "NAME", ""), "a=b ; c \"q\" \\");
  EXPECT_EQ(ini->ReadString("Scan", "Hidden", "gone"), "gone");
  EXPECT_EQ(ini->ReadString("", "orphan", "gone"), "gone");
  EXPECT_EQ(ini->ReadString("Other", "Last", ""), "no line end");
}

TEST_F(MemIniFileTest, NulEndsTheText) {
  using namespace std::string_literals;
  auto ini = Open("[A]\r\nx=1\r\n\0[B]\r\ny=2\r\n"s);
  EXPECT_EQ(ini->ReadSections(), (Names{"A"}));
  EXPECT_EQ(ini->ReadString("A", "x", ""), "1");
  EXPECT_EQ(ini->ReadString("B", "y", "none"), "none");
}

TEST_F(MemIniFileTest, BracketLinesAndLinesWithoutEquals) {
  auto ini = Open("[]\r\n[\r\nplain line\r\n[a=b]\r\nk=v\r\n");
  // "[" alone is no heading; it stays a line of the section "" like "plain line".
  EXPECT_EQ(ini->ReadSections(), (Names{"", "a=b"}));
  EXPECT_EQ(ini->ReadString("", "plain line", "dflt"), "dflt");
  EXPECT_EQ(ini->ReadString("", "[", "dflt"), "dflt");
  EXPECT_EQ(ini->ReadString("A=B", "K", ""), "v");
}

TEST_F(MemIniFileTest, EmptyValueIsNotMissing) {
  auto ini = Open("[S]\r\nEmpty=\r\nBlank=   \r\n");
  EXPECT_EQ(ini->ReadString("S", "Empty", "dflt"), "");
  EXPECT_EQ(ini->ReadString("S", "Blank", "dflt"), "");
  EXPECT_EQ(ini->ReadString("S", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini->ReadInteger("S", "Empty", 7), 7);
}

TEST_F(MemIniFileTest, DuplicateSectionsAndKeysFindTheLastOccurrence) {
  auto ini = Open("[Temp]\r\nPath=first\r\nOnly=1\r\n[temp]\r\nPath=second\r\nKey=a\r\nkey=b\r\n");
  EXPECT_EQ(ini->ReadSections(), (Names{"Temp", "temp"}));
  EXPECT_EQ(ini->ReadString("TEMP", "Path", ""), "second");
  // Keys of the earlier occurrence are not visible any more.
  EXPECT_EQ(ini->ReadString("Temp", "Only", "none"), "none");
  EXPECT_EQ(ini->ReadString("Temp", "KEY", ""), "b");
  // Replacing also hits the last occurrence; the first one survives a save as it was.
  ini->WriteString("Temp", "KEY", "c");
  ini->WriteString("Temp", "New", "n");
  ini->UpdateFile();
  EXPECT_EQ(files.Content(kFile),
            "[Temp]\r\nPath=first\r\nOnly=1\r\n\r\n"
            "[temp]\r\nPath=second\r\nKey=a\r\nKEY=c\r\nNew=n\r\n\r\n");
}

TEST_F(MemIniFileTest, IntegerConversion) {
  auto ini = Open(
      "[N]\r\nhex0x=0x1F\r\nhex0X=0X1f\r\ndollar=$1F\r\nx=x1F\r\nneg=-12\r\nplus=+7\r\n"
      "junk=12abc\r\nbare0x=0x\r\nlead= 4\r\nbig=99999999999\r\nspace=1 2\r\n");
  EXPECT_EQ(ini->ReadInteger("N", "hex0x", 0), 31);
  EXPECT_EQ(ini->ReadInteger("N", "hex0X", 0), 31);
  EXPECT_EQ(ini->ReadInteger("N", "dollar", 0), 31);
  EXPECT_EQ(ini->ReadInteger("N", "x", 0), 31);
  EXPECT_EQ(ini->ReadInteger("N", "neg", 0), -12);
  EXPECT_EQ(ini->ReadInteger("N", "plus", 0), 7);
  EXPECT_EQ(ini->ReadInteger("N", "junk", -5), -5);
  EXPECT_EQ(ini->ReadInteger("N", "bare0x", -5), -5);
  EXPECT_EQ(ini->ReadInteger("N", "big", -5), -5);
  EXPECT_EQ(ini->ReadInteger("N", "space", -5), -5);
  EXPECT_EQ(ini->ReadInteger("N", "missing", 42), 42);
  EXPECT_EQ(ini->ReadInteger("Nope", "neg", 42), 42);
}

TEST_F(MemIniFileTest, BooleanConversion) {
  auto ini = Open("[B]\r\nyes=yes\r\ntwo=2\r\nzero=0\r\none=1\r\ntrue=true\r\n");
  EXPECT_TRUE(ini->ReadBool("B", "yes", true));
  EXPECT_FALSE(ini->ReadBool("B", "yes", false));
  EXPECT_FALSE(ini->ReadBool("B", "true", false));
  EXPECT_TRUE(ini->ReadBool("B", "two", false));
  EXPECT_FALSE(ini->ReadBool("B", "zero", true));
  EXPECT_TRUE(ini->ReadBool("B", "one", false));
  EXPECT_TRUE(ini->ReadBool("B", "missing", true));
}

TEST_F(MemIniFileTest, WritingReplacesInPlaceAppendsToSectionAndAddsSectionsAtTheEnd) {
  auto ini =
      Open("; dropped\r\n[Scan]\r\nC=1\r\nnote without equals\r\nLevel=2\r\n\r\n; dropped too\r\n[Keep]\r\nx=y\r\n");
  ini->WriteBool("scan", "c", false);
  ini->WriteInteger("Scan", "NoiseLevel", -4096);
  ini->WriteString("Scan", "Level", "3");
  ini->WriteString("New", "Key", " spaced ");
  EXPECT_EQ(ini->ReadString("Scan", "C", ""), "0");
  EXPECT_EQ(ini->ReadInteger("SCAN", "noiselevel", 0), -4096);
  EXPECT_EQ(ini->ReadSections(), (Names{"Scan", "Keep", "New"}));
  ini->UpdateFile();
  EXPECT_EQ(files.Content(kFile),
            "[Scan]\r\nc=0\r\nnote without equals\r\nLevel=3\r\nNoiseLevel=-4096\r\n\r\n"
            "[Keep]\r\nx=y\r\n\r\n"
            "[New]\r\nKey= spaced \r\n\r\n");
}

TEST_F(MemIniFileTest, SavedFileReadsBackTheSame) {
  TMemIniFile ini(files, kFile);
  ini.WriteBool("Scan", "D", true);
  ini.WriteString("Scan", "NoiseLevel", "4096");
  ini.WriteString("Other", "Path", "%WINDOWSDIR%\\$NtUninstall*");
  ini.UpdateFile();
  TMemIniFile again(files, kFile);
  EXPECT_EQ(again.ReadSections(), (Names{"Scan", "Other"}));
  EXPECT_TRUE(again.ReadBool("Scan", "D", false));
  EXPECT_EQ(again.ReadString("Scan", "NoiseLevel", ""), "4096");
  EXPECT_EQ(again.ReadString("Other", "Path", ""), "%WINDOWSDIR%\\$NtUninstall*");
}

TEST_F(MemIniFileTest, FailedSaveNamesTheFileAndChangesNothing) {
  auto ini = Open("[Scan]\r\nLevel=1\r\n");
  ini->WriteInteger("Scan", "Level", 2);
  files.SetWriteFailure("Access is denied.");
  try {
    ini->UpdateFile();
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"C:\\conf\\test.ini\". Access is denied.");
  }
  EXPECT_EQ(files.Content(kFile), "[Scan]\r\nLevel=1\r\n");
  EXPECT_EQ(ini->ReadInteger("Scan", "Level", 0), 2);
  // The document is intact: once the file can be written, the save goes through.
  files.SetWriteFailure("");
  ini->UpdateFile();
  EXPECT_EQ(files.Content(kFile), "[Scan]\r\nLevel=2\r\n\r\n");
}

TEST_F(MemIniFileTest, SaveIntoAMissingFolderFails) {
  TMemIniFile ini(files, "C:\\missing\\general.conf");
  ini.WriteBool("Scan", "C", true);
  EXPECT_THROW(
      {
        try {
          ini.UpdateFile();
        } catch (const platform::Exception& e) {
          EXPECT_EQ(e.Message(),
                    "Cannot create file \"C:\\missing\\general.conf\". The system cannot find the path specified.");
          throw;
        }
      },
      platform::Exception);
  EXPECT_FALSE(files.Exists("C:\\missing\\general.conf"));
}

TEST_F(MemIniFileTest, ManyKeysStayFast) {
  // A linear search per lookup would make this quadratic: 20000 writes then 20000 reads.
  TMemIniFile ini(files, kFile);
  for (int i = 0; i < 20000; ++i) ini.WriteInteger("Big", "Key" + std::to_string(i), i);
  for (int i = 0; i < 20000; ++i) ini.WriteInteger("Big", "KEY" + std::to_string(i), i * 2);
  long long sum = 0;
  for (int i = 0; i < 20000; ++i) sum += ini.ReadInteger("big", "key" + std::to_string(i), 0);
  EXPECT_EQ(sum, 2LL * (19999LL * 20000 / 2));
}

}  // namespace

namespace {

TEST_F(MemIniFileTest, LeadingByteOrderMarkIsSkippedAndNeverWritten) {
  auto ini = Open("\xEF\xBB\xBF[Update]\r\nCheckAtStart=1\r\n[Scan]\r\nLevel=2\r\n");
  EXPECT_EQ(ini->ReadSections(), (Names{"Update", "Scan"}));
  EXPECT_EQ(ini->ReadString("Update", "CheckAtStart", ""), "1");
  ini->UpdateFile();
  EXPECT_EQ(files.Content(kFile), "[Update]\r\nCheckAtStart=1\r\n\r\n[Scan]\r\nLevel=2\r\n\r\n");
  // Only at the very start: the same bytes anywhere else are ordinary text of the code page.
  auto later = Open("[A]\r\n\xEF\xBB\xBFk=v\r\n");
  EXPECT_EQ(later->ReadString("A", "\xC3\xAF\xC2\xBB\xC2\xBFk", ""), "v");
}

// The test file system's code page is Latin-1: "é" fits in it, "照片" does not.
TEST_F(MemIniFileTest, TextsTheCodePageCannotHoldAreStoredEscapedAndReadBackExactly) {
  const std::string photos = "C:\\\xE7\x85\xA7\xE7\x89\x87";  // C:\照片
  const std::string values[] = {
      photos,
      "caf\xC3\xA9",      // café, in the code page
      "UTF-8:%41",        // looks escaped, but is what was written
      "\xFF\xFE broken",  // not UTF-8 at all
      "x\xED\xA0\x80y",   // a lone surrogate from the disk
      "100%",
  };
  auto ini = Open("");
  for (size_t i = 0; i < std::size(values); ++i) ini->WriteString("Scan", "V" + std::to_string(i), values[i]);
  ini->WriteString("\xCE\xA9", "\xE7\x85\xA7", "name");  // section and key names outside it too
  ini->UpdateFile();
  const std::string stored = files.Content(kFile);
  EXPECT_NE(stored.find("V0=UTF-8:C:\\%E7%85%A7%E7%89%87\r\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("V1=caf\xE9\r\n"), std::string::npos) << "kept in the code page";
  EXPECT_NE(stored.find("V5=100%\r\n"), std::string::npos);
  TMemIniFile again(files, kFile);
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(again.ReadString("Scan", "V" + std::to_string(i), "?"), values[i]) << i;
  EXPECT_EQ(again.ReadString("\xCE\xA9", "\xE7\x85\xA7", ""), "name");
  again.UpdateFile();
  EXPECT_EQ(files.Content(kFile), stored) << "a second save is the same";
}

TEST_F(MemIniFileTest, HandEditedTextReadsAsTheCodePageWhereItIsNotWhatItClaims) {
  // Marked as UTF-8, with one line that is Latin-1 after all: each line is read as what it is.
  auto marked = Open("\xEF\xBB\xBF[Scan]\r\nA=J\xC3\xBCrgen\r\nB=J\xFCrgen\r\n");
  EXPECT_EQ(marked->ReadString("Scan", "A", ""), "J\xC3\xBCrgen");
  EXPECT_EQ(marked->ReadString("Scan", "B", ""), "J\xC3\xBCrgen");
  marked->UpdateFile();
  EXPECT_EQ(files.Content(kFile), "[Scan]\r\nA=J\xFCrgen\r\nB=J\xFCrgen\r\n\r\n");
  // A broken escape is plain text, and stays so through a save.
  auto broken = Open("[Scan]\r\nA=UTF-8:%G1\r\nB=UTF-8:%E7%8\r\nC=UTF-8:\xE9\r\n");
  EXPECT_EQ(broken->ReadString("Scan", "A", ""), "UTF-8:%G1");
  EXPECT_EQ(broken->ReadString("Scan", "B", ""), "UTF-8:%E7%8");
  EXPECT_EQ(broken->ReadString("Scan", "C", ""), "UTF-8:\xC3\xA9");
  broken->UpdateFile();
  TMemIniFile again(files, kFile);
  EXPECT_EQ(again.ReadString("Scan", "A", ""), "UTF-8:%G1");
  EXPECT_EQ(again.ReadString("Scan", "B", ""), "UTF-8:%E7%8");
  EXPECT_EQ(again.ReadString("Scan", "C", ""), "UTF-8:\xC3\xA9");
}

TEST_F(MemIniFileTest, WrittenTextCannotAddLinesSectionsOrKeys) {
  using namespace std::string_literals;
  TMemIniFile ini(files, kFile);
  ini.WriteString("Scan", "NoiseLevel", "1\r\n[Update]\r\nCheckAtStart=1\r\nHost=attacker");
  ini.WriteString("Scan", "Cut", "a\0b"s);
  ini.WriteString("Scan\n[Update", "x\rHost", "y\n");
  ini.WriteBool("Scan", "C", true);
  ini.UpdateFile();
  const std::string written = files.Content(kFile);
  EXPECT_EQ(written.find('\0'), std::string::npos);
  TMemIniFile again(files, kFile);
  EXPECT_EQ(again.ReadSections(), (Names{"Scan", "Scan [Update"}));
  EXPECT_EQ(again.ReadString("Update", "Host", "none"), "none");
  EXPECT_EQ(again.ReadString("Scan", "NoiseLevel", ""), "1  [Update]  CheckAtStart=1  Host=attacker");
  EXPECT_EQ(again.ReadString("Scan", "Cut", ""), "a b");
  EXPECT_EQ(again.ReadString("Scan [Update", "x Host", "none"), "y");
  EXPECT_TRUE(again.ReadBool("Scan", "C", false));
  // What is read in memory is what the file will give back.
  EXPECT_EQ(ini.ReadString("Scan", "NoiseLevel", ""), again.ReadString("Scan", "NoiseLevel", ""));
}

TEST_F(MemIniFileTest, AFileThatCannotBeReadIsNeverSavedOver) {
  const std::string original = "[Scan]\r\nLevel=3\r\n[Update]\r\nCheckAtStart=1\r\nHost=mirror\r\n";
  files.AddFileWithContent(kFile, original);
  files.MakeUnreadable(kFile);
  TMemIniFile ini(files, kFile);
  EXPECT_TRUE(ini.Unreadable());
  EXPECT_TRUE(ini.ReadSections().empty());
  ini.WriteInteger("Scan", "Level", 0);
  try {
    ini.UpdateFile();
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(),
              "The settings in \"C:\\conf\\test.ini\" could not be read, so they were not saved over. Close the "
              "program that holds the file, or repair it, and start Clutterix again.");
  }
  EXPECT_EQ(files.Content(kFile), original);

  // Once it is gone there is nothing to lose: the next save writes it.
  ASSERT_TRUE(files.RemoveTree(kFile));
  ini.UpdateFile();
  EXPECT_EQ(files.Content(kFile), "[Scan]\r\nLevel=0\r\n\r\n");

  // A file that does not exist is no such case; neither is one that was read.
  EXPECT_FALSE(TMemIniFile(files, "C:\\conf\\absent.ini").Unreadable());
  EXPECT_FALSE(TMemIniFile(files, kFile).Unreadable());
}

}  // namespace
