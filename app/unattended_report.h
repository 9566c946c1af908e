#pragma once
// The record of an unattended run: every listed object with its bytes, category and outcome, the
// watched browsers that were left running, the exit code and the CSV report. Form-free.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/trace_definitions.h"

struct TReportRow {
  std::string Path;
  int64_t Bytes = 0;
  std::string Category;
  std::string Outcome;
  bool Listed = true;  // at or above the noise level: what the window would list and clean
};

// Whether a row's outcome says its object is gone ("File Deleted", "Folder Deleted").
bool IsDeletedOutcome(const std::string& outcome);

// What a row says before it is cleaned, and for good when the run only scans; and what an object
// below the noise level says, which is neither listed nor cleaned.
inline constexpr const char* kListedOutcome = "Listed";
inline constexpr const char* kBelowNoiseOutcome = "Below Noise Level";

class TUnattendedReport {
 public:
  // The category caption ("Temp Folders") of a found object: that of the first rule of the job
  // whose folder holds it (directly, or anywhere below for a recursive rule) and whose template
  // matches its name; "" when none does.
  static std::string CategoryOf(const TScanJob& job, const std::string& path);

  void Add(const std::string& path, int64_t bytes, const std::string& category, bool listed);
  void SetOutcome(const std::string& path, const std::string& outcome);
  void SetRunningBrowsers(std::vector<std::string> names) { running_browsers_ = std::move(names); }
  const std::vector<TReportRow>& Rows() const { return rows_; }
  const std::vector<std::string>& RunningBrowsers() const { return running_browsers_; }

  // 1 when nothing was listed; after a scan only, 0; after a cleaning, 0 when every listed row
  // was deleted, else 2.
  int ExitCode(bool cleaned) const;
  // CSV (RFC 4180 quoting, CR LF) with a header row; then one row per program left running, with
  // the category "Running browser". UTF-8, as the program holds its paths.
  std::string Csv() const;

 private:
  std::vector<TReportRow> rows_;
  std::unordered_map<std::string, size_t> by_path_;  // upper-case path -> first row of it
  std::vector<std::string> running_browsers_;
};
