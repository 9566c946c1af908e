#pragma once
// Where the update check is switched on: section "Update" of general.conf, key "CheckAtStart"
// (Boolean, off when missing, so that a default start makes no network request) and key "Host"
// (host or host:port of the update script). Read only; every save keeps them as they are.
#include <string>

class TMemIniFile;

constexpr const char* kDefaultUpdateHost = "www.torvex.com";

void ReadUpdateSettings(const TMemIniFile& settings, bool* check_at_start, std::string* host);
