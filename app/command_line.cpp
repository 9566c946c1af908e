#include "app/command_line.h"

#include <utility>

#include "platform/text.h"
#include "ui/tr.h"

namespace {

// A refused line starts nothing and names no file.
TCommandLine Refused(std::string error) {
  TCommandLine line;
  line.Error = std::move(error);
  return line;
}

bool IsSwitch(const std::string& arg, const char* name) {
  return arg.size() > 1 && (arg[0] == '/' || arg[0] == '-') && platform::SameText(arg.substr(1), name);
}

// A switch's file name is the next argument, and no switch.
bool HasFileArgument(const std::vector<std::string>& args, size_t at) {
  return at + 1 < args.size() && !args[at + 1].empty() && args[at + 1][0] != '/' && args[at + 1][0] != '-';
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TCommandLine line;
  bool automatic = false, scan_only = false, report = false, json = false, all_users = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& arg = Args[i];
    if (IsSwitch(arg, "auto") && !automatic) {
      automatic = true;
    } else if (IsSwitch(arg, "scan") && !scan_only) {
      scan_only = true;
    } else if (IsSwitch(arg, "report") && !report) {
      if (!HasFileArgument(Args, i))
        return Refused(ui::Format(ui::Tr("%1 needs the name of the file to write."), {"/report"}));
      report = true;
      line.ReportFile = Args[++i];
    } else if (IsSwitch(arg, "allusers") && !all_users) {
      all_users = true;
      line.AllUsers = true;
    } else if (IsSwitch(arg, "json") && !json) {
      if (!HasFileArgument(Args, i))
        return Refused(ui::Format(ui::Tr("%1 needs the name of the file to write."), {"/json"}));
      json = true;
      line.JsonFile = Args[++i];
    } else {
      return Refused(ui::Format(ui::Tr("Unknown or repeated switch: %1"), {arg}));
    }
  }
  if (automatic && scan_only) {
    line.Error = ui::Tr("/auto and /scan cannot be combined: /scan never cleans.");
  } else if ((report || json || all_users) && !automatic && !scan_only) {
    line.Error = ui::Format(ui::Tr("%1 belongs to /auto or /scan."), {report ? "/report"
                                                                      : json ? "/json"
                                                                             : "/allusers"});
  } else if (automatic) {
    line.Mode = TRunMode::kAuto;
  } else if (scan_only) {
    line.Mode = TRunMode::kScanOnly;
  }
  return line.Error.empty() ? line : Refused(line.Error);
}

std::string UsageText(const std::string& Error) {
  // The switches and FILE are what is typed: they stay as they are in every language.
  return Error + "\r\n\r\n" + ui::Tr("Usage:") + "\r\n  clutterix.exe\t\t\t" + ui::Tr("opens the window") +
         "\r\n  clutterix.exe /auto [/report FILE] [/json FILE]\t" +
         ui::Tr("scans with the saved settings and cleans what it lists") +
         "\r\n  clutterix.exe /scan [/report FILE] [/json FILE]\t" +
         ui::Tr("scans and lists only (with /report, a dry run)") + "\r\n\r\n" +
         ui::Tr("The report is a CSV file (UTF-8): path, bytes, category, outcome.") + "\r\n  /allusers\t\t\t" +
         ui::Tr("beside /auto or /scan: every user profile of the machine (administrators only)") + "\r\n\r\n" +
         ui::Tr("The JSON file sums the run up per category: found, cleaned, left.") + "\r\n" +
         ui::Tr("Exit codes: 0 cleaned (or listed), 1 nothing found, 2 some items failed, 3 refused, 64 usage.");
}
