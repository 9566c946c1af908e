#include "ui/application.h"

#include <algorithm>

#include "ui/form.h"

namespace ui {

TApplication::TApplication(Backend& backend, platform::FileSystem& files) : backend_(backend), files_(files) {}

void TApplication::RegisterForm(TForm* form) { forms_.push_back(form); }

void TApplication::UnregisterForm(TForm* form) { std::erase(forms_, form); }

void TApplication::Run() {
  if (!terminated_) backend_.Run();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  backend_.Terminate();
}

void TApplication::ShowException(const std::exception& error) { backend_.ShowErrorMessage(title_, error.what()); }

}  // namespace ui
