#pragma once
// Process enumeration for the running-applications check: the running processes with their
// names, and termination by executable name.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/processes.h"

struct TProcessEntry {
  std::string Name;
  uint32_t ProcessId = 0;
};

// Every running process in the order the snapshot yields them; a process's name is the base name
// of its main module, or the snapshot's executable name when it cannot be read. False, with an
// empty list, when no snapshot can be taken.
bool ListRunningProcesses(platform::Processes& processes, std::vector<TProcessEntry>& List);
// The base name of the process's main module; empty when the process cannot be opened.
std::string GetProcessImageName(platform::Processes& processes, uint32_t ProcessId);
// Terminates every process whose executable name equals Name, ASCII letter case ignored, without
// waiting for it to end. Returns whether the last attempt succeeded; false when none matched.
bool TerminateProcessesByName(platform::Processes& processes, const std::string& Name);
