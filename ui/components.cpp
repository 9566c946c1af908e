#include "ui/components.h"

#include "platform/exception.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/scale.h"

namespace ui {

void TComponent::Changed() {
  if (owner_) owner_->Application().backend().ComponentChanged(*this);
}

void TTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  Changed();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void TTimer::DoTimer() {
  if (!OnTimer) return;
  if (Owner()) {
    Owner()->Application().Guard([&] { OnTimer(this); });
  } else {
    OnTimer(this);
  }
}

void TImageList::AddFromFile(const std::string& path) {
  auto data = Owner()->Application().files().ReadFile(path);
  if (!data) throw platform::Exception("Cannot open file \"" + path + "\". The picture is missing or cannot be read.");
  Add(DecodeJpeg(*data, path));
  files_.back() = path;
}

void TImageList::Add(TBitmap frame) {
  frames_.push_back(std::move(frame));
  files_.emplace_back();
  scaled_percent_ = 100;
  scaled_.clear();
  Changed();
}

const std::vector<TBitmap>& TImageList::FramesAt(int percent) {
  if (percent == 100 || frames_.empty()) return frames_;
  if (scaled_percent_ != percent) {
    scaled_percent_ = percent;
    scaled_.clear();
    for (const std::string& file : files_) {
      auto drawn = ReadDrawing(Owner()->Application().files(), file, percent);
      if (!drawn || (!scaled_.empty() && (drawn->Width != scaled_[0].Width || drawn->Height != scaled_[0].Height))) {
        scaled_.clear();
        break;
      }
      scaled_.push_back(std::move(*drawn));
    }
  }
  return scaled_.empty() ? frames_ : scaled_;
}

void TTrayIcon::SetHint(const std::string& hint) {
  hint_ = hint;
  Changed();
}

void TTrayIcon::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
}

void TTrayIcon::SetIcons(TImageList* icons) {
  icons_ = icons;
  Changed();
}

void TTrayIcon::SetAnimate(bool animate) {
  if (animate_ == animate) return;
  animate_ = animate;
  Changed();
}

void TTrayIcon::SetAnimateInterval(unsigned ms) {
  animate_interval_ = ms;
  Changed();
}

void TTrayIcon::ShowBalloonHint() {
  if (Owner()) Owner()->Application().backend().ShowBalloon(*this);
}

}  // namespace ui
