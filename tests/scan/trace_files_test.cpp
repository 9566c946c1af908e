// Building scan rules from a trace-definition document, and the two rule files that ship.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ini/mem_ini_file.h"
#include "platform/exception.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "scan/search_thread.h"
#include "scan/trace_definitions.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fake_platform.h"
#include "tests/support/sync_queue.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr TTickedCategories kAllTicked = {true, true, true, true, true, true};

// Folders as a release lays them out, for the lookups of the placeholders.
struct Layout {
  std::string windows, local_app_data, internet_cache, recent, common_app_data, roaming_app_data, profile,
      program_files_x86;
};
const Layout kXp{"C:\\WINDOWS",
                 "C:\\Documents and Settings\\Anna\\Local Settings\\Application Data",
                 "C:\\Documents and Settings\\Anna\\Local Settings\\Temporary Internet Files",
                 "C:\\Documents and Settings\\Anna\\Recent",
                 "C:\\Documents and Settings\\All Users\\Application Data",
                 "C:\\Documents and Settings\\Anna\\Application Data",
                 "C:\\Documents and Settings\\Anna",
                 "C:\\Program Files"};
const Layout kVista{"C:\\Windows",
                    "C:\\Users\\Anna\\AppData\\Local",
                    "C:\\Users\\Anna\\AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files",
                    "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Recent",
                    "C:\\ProgramData",
                    "C:\\Users\\Anna\\AppData\\Roaming",
                    "C:\\Users\\Anna",
                    "C:\\Program Files (x86)"};
// Windows 10 and 11 report 6.2 to the program, so they take the Vista file too.
const Layout kTen{"C:\\Windows",
                  "C:\\Users\\Anna\\AppData\\Local",
                  "C:\\Users\\Anna\\AppData\\Local\\Microsoft\\Windows\\INetCache",
                  "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Recent",
                  "C:\\ProgramData",
                  "C:\\Users\\Anna\\AppData\\Roaming",
                  "C:\\Users\\Anna",
                  "C:\\Program Files (x86)"};

std::string FolderOf(const Layout& layout, const TFolderSource& source) {
  if (source.kind == TFolderSource::kWindowsDir) return layout.windows;
  switch (source.csidl) {
    case platform::kCsidlLocalAppData:
      return layout.local_app_data;
    case platform::kCsidlInternetCache:
      return layout.internet_cache;
    case platform::kCsidlRecent:
      return layout.recent;
    case platform::kCsidlCommonAppData:
      return layout.common_app_data;
    case platform::kCsidlAppData:
      return layout.roaming_app_data;
    case platform::kCsidlProfile:
      return layout.profile;
    case platform::kCsidlProgramFilesX86:
      return layout.program_files_x86;
  }
  ADD_FAILURE() << "unexpected CSIDL " << source.csidl;
  return "";
}

const Layout kShort{"C:\\WIN",    "C:\\Local",   "C:\\Cache", "C:\\Recent",
                    "C:\\Common", "C:\\Roaming", "C:\\Me",    "C:\\PF86"};

class RuleBuilding : public ::testing::Test {
 protected:
  TScanJob Build(const std::string& text, const TTickedCategories& ticked = kAllTicked) {
    files.AddFileWithContent("C:\\rules.cxtraces", text);
    TMemIniFile document(files, "C:\\rules.cxtraces");
    TScanJob job;
    AddTraceRules(
        document, ticked,
        [this](const TFolderSource& source) {
          lookups.push_back(source.kind == TFolderSource::kWindowsDir ? "windir" : std::to_string(source.csidl));
          return FolderOf(kShort, source);
        },
        job);
    EXPECT_EQ(job.Templates.size(), job.Paths.size());
    EXPECT_EQ(job.Types.size(), job.Paths.size());
    EXPECT_EQ(job.SearchRules.size(), job.Paths.size());
    EXPECT_THAT(job.Drives, IsEmpty());
    return job;
  }

  FakeFileSystem files;
  std::vector<std::string> lookups;
};

TEST_F(RuleBuilding, OnlySectionsOfTickedCategoriesInFileOrderWithExactLevels) {
  const std::string text =
      "[w]\nLevel=Windows Installer Backups\nPath=w\n"
      "[lower]\nLevel=recycle\nPath=lower\n"
      "[r]\nLevel=Recycle\nPath=r\n"
      "[unknown]\nLevel=Cookies\nPath=unknown\n"
      "[none]\nPath=none\n"
      "[l]\nLevel = Logs \nPath=l\n"
      "[i]\nLevel=Images Databases\nPath=i\n"
      "[t]\nLevel=Temp\nPath=t\n"
      "[c]\nLevel=Internet Cache\nPath=c\n";
  EXPECT_THAT(Build(text).Paths, ElementsAre("w", "r", "l", "i", "t", "c"));

  TTickedCategories some{};
  some[kCategoryLogs] = some[kCategoryRecycle] = some[kCategoryInternetCache] = true;
  EXPECT_THAT(Build(text, some).Paths, ElementsAre("r", "l", "c"));
  EXPECT_THAT(Build(text, TTickedCategories{}).Paths, IsEmpty());
}

TEST_F(RuleBuilding, PlaceholdersAreReplacedOnlyInTheirCategoriesInAnyCase) {
  const TScanJob job = Build(
      "[cache]\nLevel=Internet Cache\nPath=%ieinetcache%\\a;%IEINETCACHE%;%AppLocal%\\b;%RECENTDIR%\n"
      "[temp]\nLevel=Temp\nPath=%APPLOCAL%\\Temp;%recentdir%;%IEINETCACHE%;%WINDOWSDIR%\n"
      "[bin]\nLevel=Recycle\nPath=%IEINETCACHE%\\x\n"
      "[logs]\nLevel=Logs\nPath=%WINDOWSDIR%\\Debug\n"
      "[wu]\nLevel=Windows Installer Backups\nPath=%windowsdir%\\SoftwareDistribution;%WINDOWSDIR%\n");
  EXPECT_THAT(job.Paths, ElementsAre("C:\\Cache\\a;C:\\Cache;C:\\Recent\\b;%RECENTDIR%",
                                     "C:\\Local\\Temp;C:\\Local;C:\\Cache;%WINDOWSDIR%", "%IEINETCACHE%\\x",
                                     "%WINDOWSDIR%\\Debug", "C:\\WIN\\SoftwareDistribution;C:\\WIN"));
}

TEST_F(RuleBuilding, FoldersOfTheReplacingCategoriesAreLookedUpOncePerJobWhetherUsedOrNot) {
  Build(
      "[wu]\nLevel=Windows Installer Backups\nPath=\\nothing\n"
      "[bin]\nLevel=Recycle\nPath=\\RECYCLER\n"
      "[cache]\nLevel=Internet Cache\nPath=\\x\n"
      "[temp]\nLevel=Temp\nPath=\\y\n"
      "[temp again]\nLevel=Temp\nPath=%APPLOCAL%\\z\n"
      "[unticked]\nLevel=Logs\nPath=%WINDOWSDIR%\n");
  EXPECT_THAT(lookups, ElementsAre("windir", "32", "8", "28"));
}

TEST_F(RuleBuilding, MissingKeysTakeDefaultsAndIntegersConvertAsTheDocumentReadsThem) {
  const TScanJob job = Build(
      "[bare]\nLevel=Logs\n"
      "[empty template]\nLevel=Logs\nPath=\\a\nTemplate=\nType=0\nSearchRule=1\n"
      "[odd numbers]\nLevel=Logs\nPath=\\b\nTemplate=*.log\nType=abc\nSearchRule=-1\n"
      "[hex]\nLevel=Logs\nPath=\\c\nType=0x10\nSearchRule=$1F\n"
      "[twice]\nLevel=Logs\nPath=\\first\nPath=\\last\n");
  EXPECT_THAT(job.Paths, ElementsAre("", "\\a", "\\b", "\\c", "\\last"));
  EXPECT_THAT(job.Templates, ElementsAre("*", "", "*.log", "*", "*"));
  EXPECT_THAT(job.Types, ElementsAre("1", "0", "1", "16", "1"));
  EXPECT_THAT(job.SearchRules, ElementsAre("0", "1", "-1", "31", "0"));
}

TEST_F(RuleBuilding, ASectionNamedTwiceGivesTwoRulesFromItsLastOccurrence) {
  const TScanJob job = Build(
      "[Temp]\nLevel=Logs\nPath=\\old\nTemplate=*.old\n"
      "[other]\nLevel=Logs\nPath=\\other\n"
      "[temp]\nLevel=Logs\nPath=\\new\nType=0\n");
  EXPECT_THAT(job.Paths, ElementsAre("\\new", "\\other", "\\new"));
  EXPECT_THAT(job.Templates, ElementsAre("*", "*", "*"));
  EXPECT_THAT(job.Types, ElementsAre("0", "1", "0"));
}

TEST_F(RuleBuilding, AFailedLookupEndsTheBuilding) {
  files.AddFileWithContent("C:\\rules.cxtraces",
                           "[a]\nLevel=Recycle\nPath=\\a\n[b]\nLevel=Temp\nPath=\\b\n[c]\nLevel=Recycle\nPath=\\c\n");
  TMemIniFile document(files, "C:\\rules.cxtraces");
  TScanJob job;
  EXPECT_THROW(AddTraceRules(
                   document, kAllTicked,
                   [](const TFolderSource&) -> std::string {
                     throw platform::Exception("SHGetPathFromIDList failed : invalid pidl");
                   },
                   job),
               platform::Exception);
  EXPECT_THAT(job.Paths, ElementsAre("\\a"));
}

// A folder that the lookup cannot give, or that is a whole drive, would widen its rule to every
// drive's root or to the drive: the rule is dropped and said so, the others stand.
TEST_F(RuleBuilding, APlaceholderThatGivesNothingOrARootDropsItsRule) {
  files.AddFileWithContent("C:\\rules.cxtraces",
                           "[cache]\nLevel=Internet Cache\nPath=%IEINETCACHE%\n"
                           "[cache below]\nLevel=Temp\nPath=%IEINETCACHE%\\Content.IE5\n"
                           "[temp]\nLevel=Temp\nPath=%APPLOCAL%\\Temp\n"
                           "[climbs to the root]\nLevel=Temp\nPath=%APPLOCAL%\\..\\..\n"
                           "[windows]\nLevel=Windows Installer Backups\nPath=%WINDOWSDIR%\\SoftwareDistribution\n"
                           "[relative]\nLevel=Windows Installer Backups\nPath=%WINDOWSDIR%\n"
                           "[no placeholder]\nLevel=Temp\nPath=\\Windows\\Temp\n"
                           "[thumbs]\nLevel=Images Databases\nPath=\\\n");
  TMemIniFile document(files, "C:\\rules.cxtraces");
  for (const std::string windows : {"C:\\", "WINDOWS"}) {
    TScanJob job;
    std::vector<std::string> debug;
    AddTraceRules(
        document, kAllTicked,
        [&](const TFolderSource& source) -> std::string {
          if (source.kind == TFolderSource::kWindowsDir) return windows;
          return source.csidl == platform::kCsidlInternetCache ? "" : "C:\\Local\\App";
        },
        job, [&](const std::string& line) { debug.push_back(line); });
    EXPECT_THAT(job.Paths, ElementsAre("C:\\Local\\App\\Temp", "\\Windows\\Temp", "\\")) << windows;
    EXPECT_THAT(job.Templates, ElementsAre("*", "*", "*"));
    ASSERT_EQ(debug.size(), 5u) << windows;
    for (const char* section : {"cache", "cache below", "climbs to the root", "windows", "relative"})
      EXPECT_TRUE(std::any_of(debug.begin(), debug.end(), [&](const std::string& line) {
        return line.find(section) != std::string::npos;
      })) << section;
  }
}

// The deletion refuses any path with a "." or ".." part, so the rules' folders are made plain
// when the job is built.
// "|" lists alternatives in Path and Template; the folders that only some rules name are looked
// up only for those, and one the system cannot give drops just the rules that name it.
TEST_F(RuleBuilding, AlternativesGiveARuleForEachPathAndTemplatePair) {
  const TScanJob job = Build(
      "[apps]\nLevel=Logs\nPath=%APPDATA%\\discord|%LOCALAPPDATALOW%\\Sun||%UserProfile%\\.npm\n"
      "Template=Cache|Code Cache\nType=1\n"
      "[plain]\nLevel=Logs\nPath=\\a\nTemplate=\n"
      "[games]\nLevel=Logs\nPath=%PROGRAMFILES(X86)%\\Steam\\logs\nTemplate=*.txt|\nType=0\n");
  EXPECT_THAT(job.Paths,
              ElementsAre("C:\\Roaming\\discord", "C:\\Roaming\\discord", "C:\\LocalLow\\Sun", "C:\\LocalLow\\Sun",
                          "C:\\Me\\.npm", "C:\\Me\\.npm", "\\a", "C:\\PF86\\Steam\\logs"));
  EXPECT_THAT(job.Templates,
              ElementsAre("Cache", "Code Cache", "Cache", "Code Cache", "Cache", "Code Cache", "", "*.txt"));
  EXPECT_THAT(job.Types, ElementsAre("1", "1", "1", "1", "1", "1", "1", "0"));
  EXPECT_THAT(lookups, ElementsAre("26", "28", "40", "42"));

  files.AddFileWithContent(
      "C:\\more.cxtraces",
      "[steam]\nLevel=Temp\nPath=%PROGRAMFILES(X86)%\\Steam|%LOCALAPPDATA%\\Steam\nTemplate=htmlcache\n"
      "[temp]\nLevel=Temp\nPath=%APPLOCAL%\\Temp\n");
  TMemIniFile document(files, "C:\\more.cxtraces");
  TScanJob job32;
  std::vector<std::string> debug;
  AddTraceRules(
      document, kAllTicked,
      [](const TFolderSource& source) -> std::string {
        if (source.csidl == platform::kCsidlProgramFilesX86) throw platform::Exception("no such folder");
        return FolderOf(kShort, source);
      },
      job32, [&](const std::string& line) { debug.push_back(line); });
  EXPECT_THAT(job32.Paths, ElementsAre("C:\\Local\\Steam", "C:\\Local\\Temp"));
  ASSERT_EQ(debug.size(), 1u);
  EXPECT_THAT(debug[0], ::testing::HasSubstr("[steam]"));
}

TEST_F(RuleBuilding, FoldersAreMadePlainAbsolutePaths) {
  const TScanJob job = Build(
      "[xp temp]\nLevel=Temp\nPath=%APPLOCAL%\\..\\Temp\n"
      "[dots]\nLevel=Temp\nPath=%APPLOCAL%\\.\\a\\\\b\\..\\c\\\n"
      "[slashes]\nLevel=Logs\nPath=\\WINDOWS/./Debug/\n"
      "[above the root]\nLevel=Logs\nPath=\\..\\WINDOWS\n"
      "[drive relative]\nLevel=Logs\nPath=..\\Temp\n"
      "[root]\nLevel=Logs\nPath=\\\n"
      "[empty]\nLevel=Logs\nPath=\n"
      "[unc]\nLevel=Logs\nPath=\\\\server\\share\\logs\\..\\old\n");
  EXPECT_THAT(job.Paths,
              ElementsAre("C:\\Temp", "C:\\Local\\a\\c", "\\WINDOWS\\Debug", "\\", "", "\\\\server\\share\\old"));
}

// ---- The shipped files -------------------------------------------------------------------------

struct ShippedFile {
  const char* name;
  Layout layout;
};
const ShippedFile kShippedFiles[] = {{"xpgarbage.cxtraces", kXp}, {"vistagarbage.cxtraces", kVista}};

class ShippedRules : public ::testing::Test {
 protected:
  ShippedRules() { PlantSourceFolder(files, "data", TestEnv::kExeFolder); }
  std::unique_ptr<TMemIniFile> Open(const char* name) {
    const std::string path = std::string(TestEnv::kExeFolder) + "config\\" + name;
    EXPECT_TRUE(files.FileExists(path)) << path;
    return std::make_unique<TMemIniFile>(files, path);
  }
  FakeFileSystem files;
};

// Folder components of a path with "." and ".." resolved, upper case.
std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(platform::UpperCase(part));
    }
    part.clear();
  };
  for (char c : path) {
    if (c == '\\') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  return parts;
}

TEST_F(ShippedRules, EverySectionIsACompleteRuleOfAKnownCategoryWithUsablePlaceholders) {
  for (const ShippedFile& shipped : kShippedFiles) {
    SCOPED_TRACE(shipped.name);
    auto document = Open(shipped.name);
    const std::vector<std::string> sections = document->ReadSections();
    EXPECT_GE(sections.size(), 6u);
    EXPECT_EQ(std::set<std::string>(sections.begin(), sections.end()).size(), sections.size())
        << "a repeated section name collapses into its last occurrence";
    std::set<std::string> levels;
    for (const std::string& section : sections) {
      SCOPED_TRACE(section);
      const TTraceDefinition rule = ReadTraceDefinition(*document, section);
      const auto& categories = GarbageCategories();
      auto category = std::find_if(categories.begin(), categories.end(),
                                   [&](const TGarbageCategory& c) { return rule.Level == c.level; });
      ASSERT_NE(category, categories.end()) << "unknown Level " << rule.Level;
      levels.insert(rule.Level);
      for (const char* key : {"Path", "Template", "Type", "SearchRule"})
        EXPECT_NE(document->ReadString(section, key, "<missing>"), "<missing>") << key;
      EXPECT_FALSE(rule.Template.empty());
      EXPECT_TRUE(rule.Type == 0 || rule.Type == 1) << rule.Type;
      EXPECT_TRUE(rule.SearchRule == 0 || rule.SearchRule == 1) << rule.SearchRule;
      // A placeholder its category does not replace stays literal and finds nothing.
      std::string path = rule.Path;
      for (const TPlaceholder& p : category->placeholders) path = platform::ReplaceAllIgnoreCase(path, p.text, "X:");
      for (const TPlaceholder& p : CommonPlaceholders()) path = platform::ReplaceAllIgnoreCase(path, p.text, "X:");
      EXPECT_EQ(path.find('%'), std::string::npos) << rule.Path;
      if (path.find(':') == std::string::npos) {
        EXPECT_TRUE(path.starts_with("\\")) << rule.Path;
      }
    }
    EXPECT_EQ(levels.size(), GarbageCategories().size()) << "every category has rules";
  }
}

TEST_F(ShippedRules, NoRuleTargetsTheUsersOwnData) {
  const std::set<std::string> user_folders = {"DOCUMENTS", "MY DOCUMENTS", "DESKTOP",   "DOWNLOADS",
                                              "PICTURES",  "MY PICTURES",  "MUSIC",     "MY MUSIC",
                                              "VIDEOS",    "MY VIDEOS",    "FAVORITES", "CONTACTS"};
  for (const ShippedFile& shipped : kShippedFiles) {
    SCOPED_TRACE(shipped.name);
    auto document = Open(shipped.name);
    TScanJob job;
    AddTraceRules(
        *document, kAllTicked, [&](const TFolderSource& s) { return FolderOf(shipped.layout, s); }, job);
    // Folders that hold more than garbage: a template matching every name must not be used there.
    const std::vector<std::vector<std::string>> mixed_folders = {
        {"C:"},
        Components("C:\\Users"),
        Components("C:\\Documents and Settings"),
        Components("C:\\Users\\Anna"),
        Components("C:\\Documents and Settings\\Anna"),
        Components(shipped.layout.windows),
        Components(shipped.layout.windows + "\\System32"),
        Components(shipped.layout.local_app_data),
        Components(shipped.layout.recent),
        Components("C:\\Users\\Anna\\AppData\\Roaming"),
        Components("C:\\Documents and Settings\\Anna\\Application Data"),
        Components("C:\\Program Files")};
    for (size_t i = 0; i < job.Paths.size(); ++i) {
      const std::string folder = job.Paths[i].find(':') == std::string::npos ? "C:" + job.Paths[i] : job.Paths[i];
      SCOPED_TRACE(folder + " " + job.Templates[i]);
      const std::vector<std::string> parts = Components(folder);
      for (const std::string& part : parts) EXPECT_EQ(user_folders.count(part), 0u);
      const bool matches_everything =
          job.Templates[i].find_first_not_of("*?.") == std::string::npos && !job.Templates[i].empty();
      if (matches_everything) {
        EXPECT_EQ(std::find(mixed_folders.begin(), mixed_folders.end(), parts), mixed_folders.end());
        EXPECT_EQ(job.SearchRules[i], "0") << "every name at every depth";
      }
    }
  }
}

// A machine of each release with garbage of every category and ordinary files beside it: a scan
// with every rule of that release's file finds exactly the garbage.
class ShippedRulesOnAMachine : public ShippedRules {
 protected:
  std::vector<std::string> Scan(const char* name, const Layout& layout) { return Scan(*Open(name), layout, {}); }
  std::vector<std::string> Scan(const TMemIniFile& document, const Layout& layout, const TScanFilters& filters) {
    TScanJob job;
    AddTraceRules(
        document, kAllTicked, [&](const TFolderSource& s) { return FolderOf(layout, s); }, job);
    std::vector<std::string> found;
    auto* worker = new TSearchInThread(main_thread, files, debug);
    worker->FreeOnTerminate = true;
    worker->FOnFoundObject = [&found](const std::string& path, int64_t, bool, platform::FileId) {
      found.push_back(path);
    };
    worker->SetSearchJob(job.Paths, job.Templates, job.Types, job.SearchRules, {"C", "D"});
    worker->FFilters = filters;
    worker->Resume();
    main_thread.PumpUntilIdle();
    std::sort(found.begin(), found.end());
    return found;
  }

  // Plants each path (a trailing "\" makes a folder with a file inside) and returns them sorted.
  // Paths may hold "\\..\\" as the rules write them; they are planted where they lead.
  std::vector<std::string> Plant(const std::vector<std::string>& paths) {
    std::vector<std::string> objects;
    for (const std::string& listed : paths) {
      std::string path = listed;
      for (size_t up; (up = path.find("\\..\\")) != std::string::npos;)
        path = path.substr(0, path.rfind('\\', up - 1)) + path.substr(up + 3);
      if (path.ends_with("\\")) {
        files.AddFile(path + "content.bin", 5000);
        objects.push_back(listed.substr(0, listed.size() - 1));
      } else {
        files.AddFile(path, 5000, platform::kAttrArchive | platform::kAttrHidden);
        objects.push_back(listed);
      }
    }
    std::sort(objects.begin(), objects.end());
    return objects;
  }

  FakeDebugOutput debug;
  SyncQueue main_thread;
};

TEST_F(ShippedRulesOnAMachine, WindowsXp) {
  files.AddDrive('D');
  const std::string profile = "C:\\Documents and Settings\\Anna\\";
  // The rules reach it as %APPLOCAL%\..\Temp; its objects are listed by their plain paths, which
  // the deletion takes.
  const std::string user_temp = profile + "Local Settings\\Temp\\";
  const std::vector<std::string> garbage = Plant({
      "C:\\RECYCLER\\S-1-5-21-11-22-33-1003\\",
      "D:\\RECYCLER\\S-1-5-21-11-22-33-1003\\",
      "C:\\WINDOWS\\Temp\\setup.tmp",
      "C:\\WINDOWS\\Temp\\IXP000.TMP\\",
      user_temp + "~DF1A2B.tmp",
      user_temp + "msohtml\\",
      kXp.internet_cache + "\\Content.IE5\\",
      "C:\\WINDOWS\\setupapi.log",
      "C:\\WINDOWS\\KB896358.log",
      "C:\\WINDOWS\\Debug\\UserMode\\userenv.log",
      "C:\\WINDOWS\\system32\\wbem\\Logs\\wbemcore.log",
      profile + "My Documents\\My Pictures\\Thumbs.db",
      "D:\\Photos\\2008\\Thumbs.db",
      "C:\\WINDOWS\\$NtUninstallKB896358$\\",
      "C:\\WINDOWS\\$NtServicePackUninstall$\\",
      "C:\\WINDOWS\\SoftwareDistribution\\Download\\0a1b2c3d\\",
      "C:\\WINDOWS\\SoftwareDistribution\\Download\\WindowsXP-KB2347290-x86.exe",
  });
  for (const char* keep : {"My Documents\\report.doc", "My Documents\\My Pictures\\holiday.jpg", "Desktop\\notes.txt",
                           "Recent\\report.doc.lnk", "Local Settings\\Application Data\\Mozilla\\prefs.js"})
    files.AddFile(profile + keep, 7000);
  for (const char* keep :
       {"C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\system32\\kernel32.dll", "C:\\WINDOWS\\system32\\CatRoot2\\edb.log",
        "C:\\WINDOWS\\SoftwareDistribution\\DataStore\\Logs\\edb.log", "C:\\WINDOWS\\$hf_mig$\\KB1\\update.exe",
        "C:\\Program Files\\App\\app.log", "D:\\Photos\\2008\\img001.jpg", "D:\\notes.log"})
    files.AddFile(keep, 7000);
  EXPECT_EQ(Scan("xpgarbage.cxtraces", kXp), garbage);
}

TEST_F(ShippedRulesOnAMachine, WindowsVista) {
  files.AddDrive('D');
  const std::string profile = "C:\\Users\\Anna\\";
  const std::string explorer = kVista.local_app_data + "\\Microsoft\\Windows\\Explorer\\";
  const std::vector<std::string> garbage = Plant({
      "C:\\$Recycle.Bin\\S-1-5-21-11-22-33-1000\\",
      "D:\\$Recycle.Bin\\S-1-5-21-11-22-33-1000\\",
      "C:\\Windows\\Temp\\x.tmp",
      "C:\\Windows\\Temp\\{4D1A2E7C-0B5F-4C1E-9A2B-7F3E1D6C8A90}\\",
      kVista.local_app_data + "\\Temp\\a.tmp",
      kVista.local_app_data + "\\Temp\\7zS1234\\",
      kVista.internet_cache + "\\Content.IE5\\",
      kVista.internet_cache + "\\Low\\",
      "C:\\Windows\\WindowsUpdate.log",
      "C:\\Windows\\Logs\\CBS\\CBS.log",
      "C:\\Windows\\Debug\\PASSWD.LOG",
      "C:\\Windows\\Panther\\UnattendGC\\setupact.log",
      "C:\\Windows\\inf\\setupapi.dev.log",
      "C:\\$Windows.~BT\\Sources\\Panther\\setuperr.log",
      "C:\\Windows\\System32\\wbem\\Logs\\wmiprov.log",
      explorer + "thumbcache_32.db",
      explorer + "thumbcache_idx.db",
      explorer + "iconcache_16.db",
      profile + "Pictures\\Thumbs.db",
      "D:\\Old Photos\\Thumbs.db",
      "C:\\Windows\\SoftwareDistribution\\Download\\5f2e9c\\",
      "C:\\Windows\\SoftwareDistribution\\Download\\Windows6.0-KB948465-X86.cab",
  });
  for (const char* keep : {"Documents\\thesis.docx", "Pictures\\cat.jpg", "Downloads\\setup.exe", "Desktop\\todo.txt",
                           "AppData\\Roaming\\Microsoft\\Windows\\Recent\\thesis.lnk", "Documents\\thumbcache_2019.db"})
    files.AddFile(profile + keep, 7000);
  for (const char* keep :
       {"C:\\Windows\\notepad.exe", "C:\\Windows\\inf\\oem1.inf", "C:\\Windows\\Logs\\CBS\\CbsPersist.cab",
        "C:\\Windows\\SoftwareDistribution\\DataStore\\Logs\\edb.log", "C:\\Windows\\System32\\catroot2\\edb.log",
        "D:\\Old Photos\\scan.jpg", "D:\\server.log"})
    files.AddFile(keep, 7000);
  // The junctions of a Vista profile lead back into it; the walk must not find anything twice.
  files.AddJunction("C:\\Documents and Settings", "C:\\Users");
  files.AddJunction(kVista.local_app_data + "\\Application Data", kVista.local_app_data);
  EXPECT_EQ(Scan("vistagarbage.cxtraces", kVista), garbage);
}

// Rules written by hand without care, each of a kind that once reached what users keep: the
// guard lets through only the garbage among what they reach, and no link inside a cache leads a
// recursive rule out of it.
TEST_F(ShippedRulesOnAMachine, CarelessRulesReachOnlyGarbage) {
  files.AddDrive('D');
  const std::string profile = "C:\\Users\\Anna\\";
  const std::string roaming = kVista.roaming_app_data + "\\";
  Plant({roaming + "discord\\Cache\\", roaming + "Code\\logs\\", profile + "Pictures\\Thumbs.db",
         kVista.local_app_data + "\\Temp\\setup.tmp"});
  for (const std::string& keep :
       {profile + "Documents\\thumbcache_thesis.db", profile + "Documents\\notes.tmp", profile + "Desktop\\todo.txt",
        roaming + "discord\\Local Storage\\leveldb\\000003.log", roaming + "discord\\settings.json",
        roaming + "Code\\User\\settings.json", roaming + "Code\\User\\workspaceStorage\\a1\\Cache\\state.vscdb",
        kVista.local_app_data + "\\Spotify\\Storage\\track.file", profile + "AppData\\LocalLow\\Game\\save.dat",
        std::string("D:\\Precious\\thesis.docx")})
    files.AddFile(keep, 7000);
  files.AddJunction(roaming + "discord\\Cache\\Cache_Data", "D:\\Precious");
  files.AddFileWithContent(
      "C:\\custom.cxtraces",
      "[above local]\nLevel=Temp\nPath=%LOCALAPPDATA%\\..\nTemplate=*\n"
      "[profile]\nLevel=Temp\nPath=%USERPROFILE%\nTemplate=Documents|Desktop|AppData\n"
      "[everything local]\nLevel=Temp\nPath=%LOCALAPPDATA%|%LOCALAPPDATALOW%\nTemplate=*\n"
      "[roaming apps]\nLevel=Temp\nPath=%APPDATA%\\*\nTemplate=*\n"
      "[roaming files]\nLevel=Logs\nPath=%APPDATA%\nTemplate=*\nType=0\nSearchRule=1\n"
      "[temp files]\nLevel=Logs\nPath=%USERPROFILE%\nTemplate=*.tmp\nType=0\nSearchRule=1\n"
      "[thumbnails]\nLevel=Images Databases\nPath=\\Users\nTemplate=thumb*.db\nType=0\nSearchRule=1\n"
      "[roots]\nLevel=Temp\nPath=\\\nTemplate=*\n");
  const TMemIniFile custom(files, "C:\\custom.cxtraces");
  TScanFilters filters;
  filters.UserData = TUserData(
      {kVista.local_app_data, kVista.roaming_app_data, kVista.profile, kVista.windows, kVista.common_app_data});
  std::vector<std::string> found = Scan(custom, kVista, filters);
  found.erase(std::unique(found.begin(), found.end()), found.end());
  // Caches and logs are found as folders and by their own files, never through the link.
  EXPECT_THAT(found, ElementsAre(kVista.local_app_data + "\\Temp\\setup.tmp", roaming + "Code\\logs",
                                 roaming + "Code\\logs\\content.bin", roaming + "discord\\Cache",
                                 roaming + "discord\\Cache\\content.bin", profile + "Pictures\\Thumbs.db"));
}

}  // namespace
