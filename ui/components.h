#pragma once
// Non-visual components a form owns: timers, image lists and notification-area icons.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/picture.h"
#include "ui/types.h"

namespace ui {

class TForm;

class TComponent {
 public:
  TComponent(TForm* owner, std::string name) : owner_(owner), name_(std::move(name)) {}
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  TForm* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void* peer = nullptr;  // the backend's own object

 protected:
  void Changed();

 private:
  TForm* owner_;
  std::string name_;
};

class TTimer : public TComponent {
 public:
  using TComponent::TComponent;
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::function<void(TTimer* Sender)> OnTimer;
  // The backend (or a test) calls this on every tick; errors go to the general error display.
  void DoTimer();

 private:
  unsigned interval_ = 1000;
  bool enabled_ = false;
};

// Frames of equal size (16 x 16 units here), for tray animations.
class TImageList : public TComponent {
 public:
  TImageList(TForm* owner, std::string name, int width = 16, int height = 16)
      : TComponent(owner, std::move(name)), width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(frames_.size()); }
  const TBitmap& Frame(int index) const { return frames_[static_cast<size_t>(index)]; }
  // Loads one JPEG frame through the application's file system; throws naming the file.
  void AddFromFile(const std::string& path);
  void Add(TBitmap frame);
  // The frames as drawn for a display scale (ArtworkPercent), read from the files beside the
  // loaded ones the first time that scale is asked for. The loaded frames where any drawing is
  // missing, broken or of another size than the others, so that an animation never changes size.
  const std::vector<TBitmap>& FramesAt(int percent);

 private:
  int width_;
  int height_;
  std::vector<TBitmap> frames_;
  std::vector<std::string> files_;  // each frame's file; empty for one added as pixels
  int scaled_percent_ = 100;        // the scale of scaled_, once read (100: none)
  std::vector<TBitmap> scaled_;
};

class TTrayIcon : public TComponent {
 public:
  using TComponent::TComponent;
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // The animation frames; without a list the application's icon is shown.
  TImageList* Icons() const { return icons_; }
  void SetIcons(TImageList* icons);
  bool Animate() const { return animate_; }
  void SetAnimate(bool animate);
  unsigned AnimateInterval() const { return animate_interval_; }
  void SetAnimateInterval(unsigned ms);

  const std::string& BalloonHint() const { return balloon_hint_; }
  void SetBalloonHint(const std::string& text) { balloon_hint_ = text; }
  const std::string& BalloonTitle() const { return balloon_title_; }
  void SetBalloonTitle(const std::string& text) { balloon_title_ = text; }
  TBalloonFlags BalloonFlags() const { return balloon_flags_; }
  void SetBalloonFlags(TBalloonFlags flags) { balloon_flags_ = flags; }
  // Shows the balloon with the current text, title and flags.
  void ShowBalloonHint();

 private:
  std::string hint_;
  bool visible_ = false;
  TImageList* icons_ = nullptr;
  bool animate_ = false;
  unsigned animate_interval_ = 100;
  std::string balloon_hint_;
  std::string balloon_title_;
  TBalloonFlags balloon_flags_ = TBalloonFlags::bfNone;
};

}  // namespace ui
