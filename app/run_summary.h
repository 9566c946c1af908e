#pragma once
// The JSON summary of an unattended run (/json FILE), for the collectors of fleet monitoring: a
// versioned record of the run and, per category, what was found, cleaned and left. Its fields are
// documented in the README; they are the same in every language. Form-free.
#include <cstdint>
#include <string>
#include <vector>

#include "app/unattended_report.h"

// Raised when a field changes meaning or goes; new fields may come without it.
inline constexpr int kRunSummarySchemaVersion = 1;

struct TRunFacts {
  std::string ProgramVersion;
  std::string Machine;
  std::string Mode;                   // "auto" or "scan"
  int64_t Started = 0, Ended = 0;     // FILETIME ticks, UTC
  std::vector<std::string> Profiles;  // the profile folders whose files the rules named
};

// "2026-12-10T15:04:05Z" for a FILETIME (100 ns ticks since 1601-01-01 UTC).
std::string IsoUtcTime(int64_t filetime);

// The texts of the run's events in the Event Log, in English as every machine-read output: its
// start; its end, with what was found, cleaned and left per category and the exit code; and the
// listed objects it did not clean, with their outcomes (at most `most` named, then how many more).
std::string RunStartedText(const TRunFacts& facts);
std::string RunEndedText(const TUnattendedReport& report, int exit_code);
std::string ItemsLeftText(const TUnattendedReport& report, size_t most);

// The summary of the report's rows with the exit code of the run. Texts are UTF-8 as the program
// holds them; bytes that are no UTF-8 are written as U+FFFD, so that the file is always valid.
std::string RunSummaryJson(const TUnattendedReport& report, const TRunFacts& facts, int exit_code);
