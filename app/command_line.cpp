#include "app/command_line.h"

#include "platform/text.h"

namespace {

bool IsSwitch(const std::string& arg, const char* name) {
  return arg.size() > 1 && (arg[0] == '/' || arg[0] == '-') && platform::SameText(arg.substr(1), name);
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TCommandLine line;
  bool automatic = false, scan_only = false, report = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& arg = Args[i];
    if (IsSwitch(arg, "auto") && !automatic) {
      automatic = true;
    } else if (IsSwitch(arg, "scan") && !scan_only) {
      scan_only = true;
    } else if (IsSwitch(arg, "report") && !report) {
      // The file name is the next argument, and no switch.
      if (i + 1 >= Args.size() || Args[i + 1].empty() || Args[i + 1][0] == '/' || Args[i + 1][0] == '-') {
        line.Error = "/report needs the name of the file to write.";
        return line;
      }
      report = true;
      line.ReportFile = Args[++i];
    } else {
      line.Error = "Unknown or repeated switch: " + arg;
      return line;
    }
  }
  if (automatic && scan_only) {
    line.Error = "/auto and /scan cannot be combined: /scan never cleans.";
  } else if (report && !automatic && !scan_only) {
    line.Error = "/report belongs to /auto or /scan.";
  } else if (automatic) {
    line.Mode = TRunMode::kAuto;
  } else if (scan_only) {
    line.Mode = TRunMode::kScanOnly;
  }
  if (!line.Error.empty()) line.ReportFile.clear();
  return line;
}

std::string UsageText(const std::string& Error) {
  return Error +
         "\r\n\r\nUsage:\r\n"
         "  clutterix.exe\t\t\topens the window\r\n"
         "  clutterix.exe /auto [/report FILE]\tscans with the saved settings and cleans what it lists\r\n"
         "  clutterix.exe /scan [/report FILE]\tscans and lists only (with /report, a dry run)\r\n\r\n"
         "The report is a CSV file (UTF-8): path, bytes, category, outcome.\r\n"
         "Exit codes: 0 cleaned (or listed), 1 nothing found, 2 some items failed, 3 refused, 64 usage.";
}
