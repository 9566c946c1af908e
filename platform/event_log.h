#pragma once
// The Windows Event Log, where fleet monitoring collects what programs report: the events of the
// source "Clutterix" in the Application log. The setup registers the source with the message table
// of clutterix.exe, whose messages are each the event's own text ("%1").
#include <string>

namespace platform {

enum class EventKind { kInformation, kWarning, kError };

// The events' ids, as the message table of clutterix.exe defines them (app/win32/events.mc).
enum EventId : unsigned {
  kEventRunStarted = 1000,
  kEventRunEnded = 1001,
  kEventItemsLeft = 1002,
};

class EventLog {
 public:
  virtual ~EventLog() = default;
  // RegisterEventSourceW + ReportEventW with the text as the one insertion string; false when the
  // log took nothing.
  virtual bool Write(EventKind kind, EventId id, const std::string& text) = 0;
};

}  // namespace platform
