#include "tests/wine/support/debugged_run.h"

#include "tests/wine/support/gui_driver.h"

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.fUnicode) return "<wide debug string>";  // the program writes ANSI (UTF-8) only
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read);
  text.resize(read);
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

DebuggedRun RunUnderDebugger(const std::string& arguments, DWORD timeout_ms) {
  DebuggedRun run;
  std::string command = std::string("\"") + kInstalledProgram + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, "C:\\",
                      &startup, &info))
    return run;
  CloseHandle(info.hThread);
  const DWORD start = GetTickCount();
  bool terminated = false;
  DEBUG_EVENT event;
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (!terminated && waited >= timeout_ms) {
      TerminateProcess(info.hProcess, 1);  // its exit still comes as an event
      terminated = true;
    }
    if (!WaitForDebugEvent(&event, terminated ? 30000 : timeout_ms - waited)) {
      if (terminated) break;
      continue;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        run.output.push_back(ReadDebugString(info.hProcess, event.u.DebugString));
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint is the debugger's to pass; every other exception the program's.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.ended = !terminated;
        run.exit_code = event.u.ExitProcess.dwExitCode;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) break;
  }
  CloseHandle(info.hProcess);
  return run;
}
