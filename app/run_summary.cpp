#include "app/run_summary.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/text.h"
#include "platform/unicode.h"
#include "scan/categories.h"

namespace {

std::string Quoted(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      // JSON takes UTF-8 only: the WTF-8 form of a lone surrogate is no character either.
      size_t next = i;
      const auto code_point = platform::NextCodePoint(text, &next);
      if (code_point && (*code_point < 0xD800 || *code_point > 0xDFFF)) {
        out += text.substr(i, next - i);
        i = next;
        continue;
      }
      out += "\\ufffd";
    }
    ++i;
  }
  return out + "\"";
}

struct Tally {
  int64_t found_items = 0, found_bytes = 0, cleaned_items = 0, cleaned_bytes = 0, left_items = 0;
  std::map<std::string, int64_t> left_by_outcome;

  void Add(const TReportRow& row) {
    ++found_items;
    found_bytes += row.Bytes;
    if (!row.Listed) return;  // below the noise level: neither listed nor cleaned, nor left by the run
    if (IsDeletedOutcome(row.Outcome)) {
      ++cleaned_items;
      cleaned_bytes += row.Bytes;
    } else {
      ++left_items;
      ++left_by_outcome[row.Outcome];
    }
  }
  std::string Json(const std::string& indent) const {
    std::string reasons;
    for (const auto& [outcome, count] : left_by_outcome)
      reasons += std::string(reasons.empty() ? "" : ", ") + Quoted(outcome) + ": " + std::to_string(count);
    return "{\n" + indent + "  \"found\": {\"items\": " + std::to_string(found_items) +
           ", \"bytes\": " + std::to_string(found_bytes) + "},\n" + indent +
           "  \"cleaned\": {\"items\": " + std::to_string(cleaned_items) +
           ", \"bytes\": " + std::to_string(cleaned_bytes) + "},\n" + indent +
           "  \"left\": {\"items\": " + std::to_string(left_items) + ", \"outcomes\": {" + reasons + "}}\n" + indent +
           "}";
  }
};

// The rows counted per category (by its caption) and in all.
struct Tallies {
  std::map<std::string, Tally> by_category;
  Tally totals;
};
Tallies Count(const TUnattendedReport& report) {
  Tallies tallies;
  for (const TReportRow& row : report.Rows()) {
    tallies.by_category[row.Category].Add(row);
    tallies.totals.Add(row);
  }
  return tallies;
}

std::string List(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + Quoted(texts[i]);
  return out + "]";
}

}  // namespace

std::string IsoUtcTime(int64_t filetime) {
  constexpr int64_t kTicksPerSecond = 10000000, kSecondsTo1970 = 11644473600;
  int64_t seconds = filetime / kTicksPerSecond - kSecondsTo1970;
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Days since 1970-01-01 to the civil date (the proleptic Gregorian calendar).
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;
  const int64_t day = day_of_year - (153 * month_index + 2) / 5 + 1;
  const int64_t month = month_index < 10 ? month_index + 3 : month_index - 9;
  const int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  char text[80];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  return text;
}

std::string RunStartedText(const TRunFacts& facts) {
  return "Clutterix " + facts.ProgramVersion + ": an unattended run started (" + facts.Mode + ").";
}

std::string RunEndedText(const TUnattendedReport& report, int exit_code) {
  const auto [by_category, totals] = Count(report);
  std::string text = "Clutterix: the unattended run ended with exit code " + std::to_string(exit_code) + ".\r\n";
  for (const auto& [name, tally] : by_category)
    text += "\r\n" + (name.empty() ? std::string("Other") : name) + ": " + std::to_string(tally.found_items) +
            " found, " + std::to_string(tally.cleaned_items) + " cleaned (" + std::to_string(tally.cleaned_bytes) +
            " bytes), " + std::to_string(tally.left_items) + " left";
  text += "\r\n\r\nIn all: " + std::to_string(totals.found_items) + " found, " + std::to_string(totals.cleaned_items) +
          " cleaned (" + std::to_string(totals.cleaned_bytes) + " bytes), " + std::to_string(totals.left_items) +
          " left";
  for (const auto& [outcome, count] : totals.left_by_outcome) text += "\r\n  " + outcome + ": " + std::to_string(count);
  for (const std::string& program : report.RunningBrowsers()) text += "\r\nLeft running: " + program;
  return text;
}

std::string ItemsLeftText(const TUnattendedReport& report, size_t most) {
  std::string text;
  size_t left = 0;
  for (const TReportRow& row : report.Rows()) {
    if (!row.Listed || IsDeletedOutcome(row.Outcome)) continue;
    if (left++ < most) text += "\r\n" + row.Path + ": " + row.Outcome;
  }
  if (left == 0) return "";
  if (left > most) text += "\r\n... and " + std::to_string(left - most) + " more";
  return "Clutterix could not clean " + std::to_string(left) + (left == 1 ? " item:" : " items:") + text;
}

std::string RunSummaryJson(const TUnattendedReport& report, const TRunFacts& facts, int exit_code) {
  // Every category in the table's order, found or not, so that collectors see the same fields in
  // every run; objects no rule's category was told for come last.
  std::vector<std::string> order;
  for (const TGarbageCategory& category : GarbageCategories()) order.push_back(category.caption);
  auto [by_category, totals] = Count(report);
  for (const auto& [name, tally] : by_category)
    if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
  std::string categories;
  for (const std::string& name : order)
    categories +=
        std::string(categories.empty() ? "" : ",\n") + "    " + Quoted(name) + ": " + by_category[name].Json("    ");
  return "{\n"
         "  \"schemaVersion\": " +
         std::to_string(kRunSummarySchemaVersion) +
         ",\n"
         "  \"program\": \"Clutterix\",\n"
         "  \"programVersion\": " +
         Quoted(facts.ProgramVersion) + ",\n  \"machine\": " + Quoted(facts.Machine) +
         ",\n  \"mode\": " + Quoted(facts.Mode) + ",\n  \"started\": " + Quoted(IsoUtcTime(facts.Started)) +
         ",\n  \"ended\": " + Quoted(IsoUtcTime(facts.Ended)) + ",\n  \"profiles\": " + List(facts.Profiles) +
         ",\n  \"categories\": {\n" + categories + "\n  },\n  \"totals\": " + totals.Json("  ") +
         ",\n  \"runningApplications\": " + List(report.RunningBrowsers()) +
         ",\n  \"exitCode\": " + std::to_string(exit_code) + "\n}\n";
}
