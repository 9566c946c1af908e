#include "ui/application.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/text.h"
#include "ui/form.h"
#include "ui/tr.h"

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

void TApplication::ShowException(const std::exception& error) {
  // A message made from a pattern is shown in the user's language, with the same arguments.
  const auto* own = dynamic_cast<const platform::Exception*>(&error);
  if (own && !own->Pattern().empty()) {
    const std::string pattern = Tr(own->Pattern());
    backend_.ShowErrorMessage(title_, platform::FillPlaceholders(pattern, {own->Args().begin(), own->Args().end()}));
    return;
  }
  backend_.ShowErrorMessage(title_, error.what());
}

}  // namespace ui
