#pragma once
// The "start with Windows" entry: a string value under the current user's Run key that holds the
// executable's path, in quotes. Runs on the main thread only.
#include <string>

#include "platform/registry.h"

// The Run key as it is passed to the registry (the trailing backslash is part of the text).
inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
// Longest text written to the value, quotes included; a longer path is cut.
inline constexpr size_t kAutostartMaxPath = 255;

// True when the Run key holds a string value of that name with a non-empty text. A key that cannot
// be opened, a missing value and a value of another type (DWORD, binary) all count as not
// registered, so that a foreign value never stops the settings from loading.
bool IsAutostartRegistered(platform::Registry& registry, const std::string& name);

// Writes the path in quotes (cut to 255 characters with them) as the value `name`, or deletes the
// value. Failures are
// silent: they show only as an unregistered entry on the next IsAutostartRegistered.
void SetAutostart(platform::Registry& registry, const std::string& name, const std::string& path, bool enable);
