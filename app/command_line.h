#pragma once
// The command line of unattended runs, for the Task Scheduler or a script:
//
//   clutterix.exe /auto [/report FILE] [/json FILE]   scan with the saved settings and clean what is listed
//   clutterix.exe /scan [/report FILE] [/json FILE]   scan only; with /report, a dry run on record
//   /allusers beside either: every user profile of the machine (administrators only)
//
// Switches start with "/" or "-" and ignore letter case. Without switches the window opens as
// always. Anything else is refused with the usage text, before anything is scanned.
#include <string>
#include <vector>

enum class TRunMode { kWindow, kAuto, kScanOnly };

struct TCommandLine {
  TRunMode Mode = TRunMode::kWindow;
  std::string ReportFile;  // empty: no report
  std::string Error;       // set when the line is refused; what was wrong
  std::string JsonFile;    // empty: no JSON summary
  bool AllUsers = false;   // the rules that name a user's folders, for each profile of the machine
};

// The arguments after the program's own name.
TCommandLine ParseCommandLine(const std::vector<std::string>& Args);

// The usage text of the message box shown for a refused command line.
std::string UsageText(const std::string& Error);

// Exit codes of an unattended run.
enum TExitCode : int {
  kExitCleaned = 0,       // everything listed was cleaned (with /scan: something was listed)
  kExitNothingFound = 1,  // nothing was listed
  kExitSomeFailed = 2,    // some listed objects were not (wholly) cleaned, or the report failed
  kExitRefused = 3,       // an unsupported Windows release, or another instance runs
  kExitUsage = 64,        // an unknown or malformed switch
};
