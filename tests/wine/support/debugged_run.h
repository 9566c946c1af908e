#pragma once
// The installed program run with this process as its debugger, to read what it writes to a
// debugger (OutputDebugString): how it went about its work, which it tells nobody else.
//
//   const DebuggedRun run = RunUnderDebugger("/scan /report C:\\r.csv", 120000);
//   EXPECT_THAT(run.output, Contains("Search T (File table) D: read"));
#include <windows.h>

#include <string>
#include <vector>

struct DebuggedRun {
  bool ended = false;  // within the time allowed; else it was ended
  DWORD exit_code = 0;
  std::vector<std::string> output;  // each debug string, without a line break at its end
};

DebuggedRun RunUnderDebugger(const std::string& arguments, DWORD timeout_ms);
