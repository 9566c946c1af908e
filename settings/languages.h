#pragma once
// The languages the program can speak: one compiled catalogue per language in "lang\" beside the
// executable ("de.mo", "pt-BR.mo"), the user's choice in "general.conf" (none: Windows decides)
// and which catalogue a start loads.
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/catalogue.h"

class TMemIniFile;

struct TLanguage {
  std::string Tag;   // the catalogue's file name without ".mo": "de", "pt-BR"
  std::string Name;  // in its own language: "Deutsch"
};

// The tags of the catalogue files, in order.
std::vector<std::string> CatalogueTags(platform::FileSystem& files, const std::string& exe_folder);
// The catalogues that can be read, with their names, by tag; a file that is no catalogue is passed over.
std::vector<TLanguage> AvailableLanguages(platform::FileSystem& files, const std::string& exe_folder);

// The language a start speaks: the user's choice when one is made and still there, else the first
// of the display languages (`preferred`, most wanted first) that has a catalogue, by its whole
// tag, else by its language ("de-AT" speaks "de", "pt-PT" the "pt-BR" catalogue; Traditional
// Chinese never gets the Simplified one). "en" for English, which needs no catalogue.
std::string ChooseLanguage(const std::string& chosen, const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available);

// The language stored in "general.conf" ("" for automatic), and its writing into the document.
std::string ReadLanguageChoice(const TMemIniFile& ini);
void WriteLanguageChoice(TMemIniFile& ini, const std::string& tag);

// The catalogue of the language this start speaks (the organisation's by policy, else as
// ChooseLanguage); null for English or when it cannot be read.
std::shared_ptr<const ui::TCatalogue> StartCatalogue(platform::Platform& os);

// The catalogue of a tag, null when missing or unreadable.
std::shared_ptr<const ui::TCatalogue> LoadCatalogue(platform::FileSystem& files, const std::string& exe_folder,
                                                    const std::string& tag);
