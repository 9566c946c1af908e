#include "app/unattended_report.h"

#include <algorithm>

#include "platform/text.h"
#include "scan/categories.h"
#include "scan/template_match.h"

namespace {

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Caption(size_t category) { return GarbageCategories()[category].caption; }

}  // namespace

bool IsDeletedOutcome(const std::string& outcome) { return outcome == "File Deleted" || outcome == "Folder Deleted"; }

std::string TUnattendedReport::CategoryOf(const TScanJob& job, const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return "";
  const std::string parent = platform::UpperCase(path.substr(0, slash));
  const std::string name = path.substr(slash + 1);
  const size_t rules = std::min(job.Paths.size(), job.Categories.size());
  for (size_t i = 0; i < rules; ++i) {
    std::string folder = job.Paths[i];
    // A path without a drive is searched on every drive: it must follow the object's own.
    if (folder.find(':') == std::string::npos && path.size() >= 2) folder = path.substr(0, 2) + folder;
    folder = platform::UpperCase(folder);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const bool recursive = i < job.SearchRules.size() && platform::StrToIntDef(job.SearchRules[i], 0) != 0;
    const bool holds = parent == folder || (recursive && parent.starts_with(folder + "\\"));
    if (holds && i < job.Templates.size() && TemplateMatches(job.Templates[i], name)) return Caption(job.Categories[i]);
  }
  return "";
}

void TUnattendedReport::Add(const std::string& path, int64_t bytes, const std::string& category, bool listed) {
  if (listed) by_path_.emplace(platform::UpperCase(path), rows_.size());
  rows_.push_back({path, bytes, category, listed ? kListedOutcome : kBelowNoiseOutcome, listed});
}

void TUnattendedReport::SetOutcome(const std::string& path, const std::string& outcome) {
  const auto it = by_path_.find(platform::UpperCase(path));
  if (it != by_path_.end()) rows_[it->second].Outcome = outcome;
}

int TUnattendedReport::ExitCode(bool cleaned) const {
  if (by_path_.empty()) return 1;
  if (!cleaned) return 0;
  for (const TReportRow& row : rows_)
    if (row.Listed && !IsDeletedOutcome(row.Outcome)) return 2;
  return 0;
}

std::string TUnattendedReport::Csv() const {
  std::string csv = "path,bytes,category,outcome\r\n";
  for (const TReportRow& row : rows_)
    csv += Field(row.Path) + "," + std::to_string(row.Bytes) + "," + Field(row.Category) + "," + Field(row.Outcome) +
           "\r\n";
  for (const std::string& browser : running_browsers_) csv += Field(browser) + ",,Running browser,Left running\r\n";
  return csv;
}
