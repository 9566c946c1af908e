#include "update/update_settings.h"

#include "ini/mem_ini_file.h"
#include "platform/text.h"

void ReadUpdateSettings(const TMemIniFile& settings, bool* check_at_start, std::string* host) {
  *check_at_start = settings.ReadBool("Update", "CheckAtStart", false);
  std::string value = platform::Trim(settings.ReadString("Update", "Host", ""));
  // A host is a name or address with an optional port: anything with a path, a scheme or blanks
  // in it would make a different address than the one the check means to ask.
  const bool usable = !value.empty() && value.find_first_of("/\\ ?#@") == std::string::npos;
  *host = usable ? value : kDefaultUpdateHost;
}
