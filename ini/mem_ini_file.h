#pragma once
// TMemIniFile: an INI document parsed whole into memory when opened, read and changed in memory,
// and written back whole by UpdateFile. Section and key names match without regard to case.
// The file is 8-bit text in the system's ANSI code page (UTF-8 when it starts with a byte-order
// mark); in memory every text is UTF-8. A text that the code page cannot hold is stored in an
// escaped form that reads back exactly (see the .cpp).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

// Used by one thread only (the main thread).
class TMemIniFile {
 public:
  // Reads the file when it exists; a missing file gives an empty document.
  TMemIniFile(platform::FileSystem& files, std::string file_name);
  ~TMemIniFile();
  TMemIniFile(const TMemIniFile&) = delete;
  TMemIniFile& operator=(const TMemIniFile&) = delete;

  const std::string& FileName() const { return file_name_; }
  // The file existed but could not be read (held open by another program, an I/O error, too
  // large): the document starts empty, and UpdateFile refuses to replace the file while it is
  // there, so that nothing of it is lost to defaults.
  bool Unreadable() const { return unreadable_; }

  // Section names in file order, duplicates included.
  std::vector<std::string> ReadSections() const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  // The values of every key of the section (of its last occurrence), in file order.
  std::vector<std::string> ReadSectionValues(const std::string& section) const;
  // Removes every occurrence of the section with all it holds.
  void EraseSection(const std::string& section);
  // Rewrites the file whole, or leaves it untouched and throws platform::Exception naming the
  // file and the system's reason.
  void UpdateFile() const;

 private:
  struct Section;
  void Parse(const std::string& text);
  std::string Decoded(std::string_view stored, bool utf8) const;
  // A section's name and a value are read between fixed marks; a key's name and a line without
  // "=" must not read back as anything else.
  enum class Part { kValue, kKey, kLine };
  std::string Encoded(const std::string& text, Part part) const;
  Section& AddSection(const std::string& name);
  Section* FindSection(const std::string& name) const;

  platform::FileSystem& files_;
  std::string file_name_;
  bool unreadable_ = false;
  std::vector<std::unique_ptr<Section>> sections_;
  // Upper-case name -> index into sections_ of its last occurrence.
  std::unordered_map<std::string, size_t> section_index_;
};
