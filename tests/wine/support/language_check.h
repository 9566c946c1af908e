#pragma once
// The program in another language, checked from outside: the test looks captions up in the
// installed catalogue as the program does, and every caption a window shows must be the
// catalogue's (none left in English where the catalogue has another text), fit its control, stay
// within its parent and lie over no other captioned control.
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "ui/catalogue.h"

// The catalogue installed beside the program, null when it cannot be read.
std::shared_ptr<const ui::TCatalogue> InstalledCatalogue(const std::string& tag);

// While it lives, the program starts in `tag` (chosen in its settings file) and the driver's
// captions are that language's; English and no settings file after.
class TestLanguage {
 public:
  explicit TestLanguage(const std::string& tag);
  ~TestLanguage();
  TestLanguage(const TestLanguage&) = delete;
  TestLanguage& operator=(const TestLanguage&) = delete;
  bool Loaded() const { return loaded_; }
  // The English texts the catalogue translates otherwise: none of them may show.
  const std::set<std::string>& English() const { return english_; }

 private:
  bool loaded_ = false;
  std::set<std::string> english_;
};

void ExpectTranslatedAndFitting(HWND top, const TestLanguage& language, const std::string& where);

// Starts the program in `tag`, checks the settings page, both tabs' worth of the options dialog
// and a scan's results page, with screenshots named "<name>-settings", "-options", "-results".
void ExpectEveryPageInLanguage(const std::string& tag, const std::string& name);
