// What every window of the program offers the keyboard and screen readers, checked over all six
// forms at once, so that a control added later without it fails here.
#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <map>
#include <string>

#include "app/dlgAbout.h"
#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "processes/dlgStartedApps.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "update/updater.h"

namespace {

template <class Visit>
void EachControl(ui::TControl& root, const Visit& visit) {
  for (ui::TControl* c : root.Controls()) {
    visit(*c);
    EachControl(*c, visit);
  }
}

// The letter after a single "&" ("&&" is an ampersand), or 0.
char Mnemonic(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

TEST(KeyboardAccess, EveryFormHasDistinctMnemonicsAndEveryPointerOnlyControlTakesTheFocusByName) {
  TestEnv env;
  const TForms& f = env.forms;
  for (ui::TForm* form : std::initializer_list<ui::TForm*>{f.frmMain, f.frmOptions, f.frmAlert, f.frmAbout,
                                                           f.frmUpdater, f.frmStartedApps}) {
    ASSERT_NE(form, nullptr);
    std::map<char, std::string> letters;
    int defaults = 0, cancels = 0;
    EachControl(*form, [&](ui::TControl& c) {
      if (c.Kind() == ui::ControlKind::kButton || c.Kind() == ui::ControlKind::kCheckBox) {
        if (const char letter = Mnemonic(c.Caption())) {
          const auto [at, fresh] = letters.emplace(letter, c.Name());
          EXPECT_TRUE(fresh) << form->Name() << ": " << c.Name() << " and " << at->second << " share Alt+" << letter;
        }
      }
      if (c.Kind() == ui::ControlKind::kButton) {
        defaults += static_cast<ui::TButton&>(c).Default();
        cancels += static_cast<ui::TButton&>(c).Cancel();
      }
      // A label or picture that the pointer acts on (the hand over it) must be reachable by Tab
      // and named, or neither the keyboard nor a screen reader can use it.
      const bool acts = c.Cursor() == ui::TCursor::crHandPoint;
      if ((c.Kind() == ui::ControlKind::kLabel || c.Kind() == ui::ControlKind::kImage) && acts) {
        EXPECT_TRUE(c.TabStop()) << form->Name() << ": " << c.Name();
        // A link's caption may come when it is shown (the updater's address); a picture has none
        // to show, so it must carry its name from the start.
        if (c.Kind() == ui::ControlKind::kImage) {
          EXPECT_FALSE(c.Caption().empty()) << form->Name() << ": " << c.Name();
        }
        EXPECT_TRUE(c.OnClick || c.OnKeyClick) << form->Name() << ": " << c.Name() << " does nothing on Enter";
      }
    });
    EXPECT_LE(defaults, 1) << form->Name();
    EXPECT_LE(cancels, 1) << form->Name();
  }
}

}  // namespace
