#include "tests/support/fake_backend.h"

#include "ui/components.h"
#include "ui/controls.h"

ui::TModalResult FakeBackend::RunModal(ui::TForm& form) {
  modal_forms.push_back(form.Name());
  auto it = responders.find(form.Name());
  ui::TModalResult result = ui::TModalResult::mrCancel;
  if (it != responders.end()) {
    result = it->second(form);
    if (form.ModalResult() != ui::TModalResult::mrNone) result = form.ModalResult();
  } else if (form.ModalResult() != ui::TModalResult::mrNone) {
    result = form.ModalResult();
  }
  form.SetModalResult(result);
  return result;
}

void FakeBackend::ShowBalloon(ui::TTrayIcon& icon) {
  balloons.push_back({icon.Name(), icon.BalloonHint(), icon.BalloonFlags()});
}

bool FakeBackend::Navigate(ui::TWebBrowser&, const std::string& url) {
  navigations.push_back(url);
  return browser_available;
}

void FakeBackend::ShowErrorMessage(const std::string&, const std::string& text) { errors.push_back(text); }

void FakeBackend::DeliverPosted() {
  while (!posted.empty()) {
    Posted p = posted.front();
    posted.pop_front();
    p.form->HandleMessage(p.message);
  }
}
