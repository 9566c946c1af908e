#pragma once
// A screen for tests: nothing is drawn. It records what the forms ask, answers every modal loop
// from a script, queues posted messages until the test delivers them, and keeps error messages.
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"

class FakeBackend : public ui::Backend {
 public:
  void ShowForm(ui::TForm& form) override { shown.push_back(form.Name()); }
  void HideForm(ui::TForm& form) override { hidden.push_back(form.Name()); }
  // Calls the responder for the form (by name), which acts as the user would (clicks, typing)
  // and sets a modal result; without one, the dialog is closed (mrCancel).
  ui::TModalResult RunModal(ui::TForm& form) override;
  void ControlChanged(ui::TControl& control) override {
    ++changes[control.Name()];
    ui::TForm* form = control.Form();
    if (form && std::find(frozen.begin(), frozen.end(), form) == frozen.end()) ++unfrozen_changes[form->Name()];
  }
  void FreezeForm(ui::TForm& form, bool freeze) override {
    if (freeze) {
      frozen.push_back(&form);
    } else {
      std::erase(frozen, &form);
      ++thaws;
    }
  }
  void ListViewChanged(ui::TListView&, ui::ListChange, int) override {}
  void ComponentChanged(ui::TComponent&) override {}
  void ShowBalloon(ui::TTrayIcon& icon) override;
  bool Navigate(ui::TWebBrowser& browser, const std::string& url) override;
  void PostMessage(ui::TForm& form, unsigned message) override { posted.push_back({&form, message}); }
  platform::WindowHandle Handle(const ui::TForm&) override { return 0x1234; }
  void Run() override { DeliverPosted(); }
  void Terminate() override { terminated = true; }
  void ShowErrorMessage(const std::string& title, const std::string& text) override;

  // Delivers the queued messages (and any they post) in order.
  void DeliverPosted();

  std::map<std::string, std::function<ui::TModalResult(ui::TForm&)>> responders;
  std::vector<std::string> modal_forms;  // names, in the order their modal loops ran
  std::vector<std::string> shown;
  std::vector<std::string> hidden;
  struct Balloon {
    std::string icon, text;
    ui::TBalloonFlags flags;
  };
  std::vector<Balloon> balloons;
  std::vector<std::string> errors;
  std::vector<std::string> navigations;
  std::map<std::string, int> changes;           // property changes per control name
  std::vector<ui::TForm*> frozen;               // the forms frozen now
  std::map<std::string, int> unfrozen_changes;  // property changes made while their form was not frozen, per form
  int thaws = 0;
  bool browser_available = true;
  bool terminated = false;
  struct Posted {
    ui::TForm* form;
    unsigned message;
  };
  std::deque<Posted> posted;
};
