#include "settings/mem_ini_file.h"

struct TMemIniFile::Section {};
TMemIniFile::TMemIniFile(platform::FileSystem& files, std::string file_name)
    : files_(files), file_name_(std::move(file_name)) {}
TMemIniFile::~TMemIniFile() = default;
std::vector<std::string> TMemIniFile::ReadSections() const { return {}; }
std::string TMemIniFile::ReadString(const std::string&, const std::string&, const std::string& fallback) const {
  return fallback;
}
int32_t TMemIniFile::ReadInteger(const std::string&, const std::string&, int32_t fallback) const { return fallback; }
bool TMemIniFile::ReadBool(const std::string&, const std::string&, bool fallback) const { return fallback; }
void TMemIniFile::WriteString(const std::string&, const std::string&, const std::string&) {}
void TMemIniFile::WriteInteger(const std::string&, const std::string&, int32_t) {}
void TMemIniFile::WriteBool(const std::string&, const std::string&, bool) {}
void TMemIniFile::UpdateFile() const {}
