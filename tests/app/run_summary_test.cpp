// The JSON summary of an unattended run: its documented fields, per category and in total, and
// text that stays valid JSON whatever the paths hold.
#include "app/run_summary.h"

#include <gtest/gtest.h>

namespace {

TEST(RunSummary, SumsTheRunUpPerCategoryWithTheRunsFacts) {
  TUnattendedReport report;
  report.Add("C:\\Temp\\a.tmp", 5000, "Temp Folders", true);
  report.Add("C:\\Temp\\held.tmp", 700, "Temp Folders", true);
  report.Add("C:\\Temp\\tiny.tmp", 10, "Temp Folders", false);
  report.Add("C:\\Logs\\x.log", 300, "Old Log Files", true);
  report.SetOutcome("C:\\Temp\\a.tmp", "File Deleted");
  report.SetOutcome("C:\\Temp\\held.tmp", "Cannot Delete");
  report.SetOutcome("C:\\Logs\\x.log", "Folder Deleted");
  report.SetRunningBrowsers({"Discord"});
  TRunFacts facts{
      "1.2", "DESK-\"7\"", "auto", 134412480000000000, 134412480000000000 + 65 * 10000000LL, {"C:\\Users\\Anna"}};
  const std::string json = RunSummaryJson(report, facts, 2);
  const auto block = [](const char* found, const char* cleaned, const char* left) {
    return std::string("{\n      \"found\": {") + found + "},\n      \"cleaned\": {" + cleaned +
           "},\n      \"left\": {" + left + "}\n    }";
  };
  const std::string none =
      block("\"items\": 0, \"bytes\": 0", "\"items\": 0, \"bytes\": 0", "\"items\": 0, \"outcomes\": {}");
  EXPECT_EQ(json, std::string("{\n"
                              "  \"schemaVersion\": 1,\n"
                              "  \"program\": \"Clutterix\",\n"
                              "  \"programVersion\": \"1.2\",\n"
                              "  \"machine\": \"DESK-\\\"7\\\"\",\n"
                              "  \"mode\": \"auto\",\n"
                              "  \"started\": \"2026-12-09T00:00:00Z\",\n"
                              "  \"ended\": \"2026-12-09T00:01:05Z\",\n"
                              "  \"profiles\": [\"C:\\\\Users\\\\Anna\"],\n"
                              "  \"categories\": {\n") +
                      "    \"Recycle Bins\": " + none + ",\n" + "    \"Temp Folders\": " +
                      block("\"items\": 3, \"bytes\": 5710", "\"items\": 1, \"bytes\": 5000",
                            "\"items\": 1, \"outcomes\": {\"Cannot Delete\": 1}") +
                      ",\n    \"Temp Internet Files\": " + none + ",\n    \"Old Image Thumbnails\": " + none +
                      ",\n    \"Old Log Files\": " +
                      block("\"items\": 1, \"bytes\": 300", "\"items\": 1, \"bytes\": 300",
                            "\"items\": 0, \"outcomes\": {}") +
                      ",\n    \"Backup Files for Windows Update\": " + none +
                      "\n  },\n  \"totals\": {\n    \"found\": {\"items\": 4, \"bytes\": 6010},\n"
                      "    \"cleaned\": {\"items\": 2, \"bytes\": 5300},\n"
                      "    \"left\": {\"items\": 1, \"outcomes\": {\"Cannot Delete\": 1}}\n  },\n"
                      "  \"runningApplications\": [\"Discord\"],\n"
                      "  \"exitCode\": 2\n}\n");
}

TEST(RunSummary, TextsAreEscapedAndWhatIsNoUtf8BecomesAReplacementCharacter) {
  TUnattendedReport report;
  report.Add("C:\\x.tmp", 1, "", true);
  // A control character, a valid two-byte letter, a lone surrogate (WTF-8) and a stray byte.
  TRunFacts facts;
  facts.Profiles = {"C:\\a\tb\xC3\xA9\xED\xA0\x80\xFF.tmp"};
  const std::string json = RunSummaryJson(report, facts, 1);
  EXPECT_NE(json.find("\"C:\\\\a\\u0009b\xC3\xA9\\ufffd\\ufffd\\ufffd\\ufffd.tmp\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"\": {"), std::string::npos) << "objects of no known category are counted apart";
  EXPECT_EQ(IsoUtcTime(0), "1601-01-01T00:00:00Z");
  EXPECT_EQ(IsoUtcTime(132223104000000000), "2020-01-01T00:00:00Z");
  EXPECT_EQ(IsoUtcTime(126227808000000000 + 59 * 864000000000LL), "2001-03-01T00:00:00Z");
}

}  // namespace
