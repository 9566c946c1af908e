// The Event Log: one event at a time, under the source "Clutterix"; texts are UTF-8 inside.
#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

class Win32EventLog : public EventLog {
 public:
  bool Write(EventKind kind, EventId id, const std::string& text) override {
    HANDLE source = RegisterEventSourceW(nullptr, L"Clutterix");
    if (!source) return false;
    const WORD type = kind == EventKind::kError     ? EVENTLOG_ERROR_TYPE
                      : kind == EventKind::kWarning ? EVENTLOG_WARNING_TYPE
                                                    : EVENTLOG_INFORMATION_TYPE;
    const std::wstring wide = Wide(text);
    const wchar_t* strings[] = {wide.c_str()};
    const BOOL written = ReportEventW(source, type, 0, id, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
    return written != FALSE;
  }
};

}  // namespace

std::unique_ptr<EventLog> CreateEventLog() { return std::make_unique<Win32EventLog>(); }

}  // namespace platform::win32
