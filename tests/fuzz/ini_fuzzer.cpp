// libFuzzer target over the INI document: any file text is opened, read, saved and opened again,
// and values written between are read back as written. Input: the file text, then optionally
// "\xFF\xFF" and write records separated by "\xFE", each "section\x01key\x01value".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ini/mem_ini_file.h"
#include "platform/text.h"
#include "tests/support/fake_file_system.h"

namespace {

constexpr const char* kFile = "C:\\conf\\fuzz.ini";
constexpr const char* kRawFile = "C:\\conf\\raw.ini";

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "ini_fuzzer: %s: [%s]\n", what, detail.c_str());
  std::abort();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
    parts.push_back(text.substr(at, next - at));
  parts.push_back(text.substr(at));
  return parts;
}

// A name the program itself would use: letters, digits and a few marks, never blank at its ends.
std::string PlainName(const std::string& raw) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-";
  std::string name;
  for (unsigned char c : raw) name += kAlphabet[c % (sizeof kAlphabet - 1)];
  return name.empty() ? "K" : name;
}

// What a written value reads back as after a save: one line, trimmed.
std::string Expected(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return platform::Trim(value);
}

void ReadEverything(const TMemIniFile& ini) {
  for (const std::string& section : ini.ReadSections()) {
    ini.ReadString(section, "Level", "");
    ini.ReadInteger(section, "Type", 1);
    ini.ReadBool(section, "C", true);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find("\xFF\xFF");
  const std::string text = input.substr(0, split);
  const std::string records = split == std::string::npos ? "" : input.substr(split + 2);

  FakeFileSystem files;
  files.AddFileWithContent(kFile, text);
  TMemIniFile ini(files, kFile);
  ReadEverything(ini);

  // Saving what was read is a fixed point: the saved text opens to the same document and saves
  // to the same bytes.
  ini.UpdateFile();
  const std::string saved = files.Content(kFile);
  TMemIniFile reopened(files, kFile);
  if (reopened.ReadSections() != ini.ReadSections()) Fail("sections changed by a save", text);
  reopened.UpdateFile();
  if (files.Content(kFile) != saved) Fail("a second save differs", saved);

  // Writes: plain names with any value must read back as written, and nothing else may appear.
  struct Written {
    std::string section, key, value;
  };
  std::vector<Written> written;
  files.AddFileWithContent(kRawFile, text);
  TMemIniFile raw(files, kRawFile);
  if (!records.empty()) {
    for (const std::string& record : Split(records, '\xFE')) {
      const std::vector<std::string> fields = Split(record, '\x01');
      if (fields.size() < 3) continue;
      Written w{PlainName(fields[0]), PlainName(fields[1]), fields[2]};
      reopened.WriteString(w.section, w.key, w.value);
      written.push_back(std::move(w));
      // The raw names go to a document of their own: only that nothing breaks.
      raw.WriteString(fields[0], fields[1], fields[2]);
    }
  }
  raw.UpdateFile();
  ReadEverything(TMemIniFile(files, kRawFile));
  std::vector<std::string> before;
  for (const std::string& section : reopened.ReadSections())
    if (section == PlainName(section)) before.push_back(section);
  reopened.UpdateFile();
  TMemIniFile last(files, kFile);
  ReadEverything(last);
  std::vector<std::string> after;
  for (const std::string& section : last.ReadSections())
    if (section == PlainName(section)) after.push_back(section);
  if (after != before) Fail("written text added or removed sections", files.Content(kFile));
  // Later writes to the same key win; check the last one of each.
  for (size_t i = 0; i < written.size(); ++i) {
    bool overwritten = false;
    for (size_t j = i + 1; j < written.size(); ++j)
      overwritten |= platform::SameText(written[j].section, written[i].section) &&
                     platform::SameText(written[j].key, written[i].key);
    if (overwritten) continue;
    const std::string got = last.ReadString(written[i].section, written[i].key, "\x01missing");
    if (got != Expected(written[i].value)) Fail("a written value reads back otherwise", got);
  }
  return 0;
}
