#include "ui/control.h"

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

TControl::TControl(TControl* parent, std::string name, ControlKind kind)
    : name_(std::move(name)), kind_(kind), parent_(parent) {
  if (parent_) {
    parent_->children_.push_back(this);
    font_ = parent_->font_;  // controls take their parent's font, as ParentFont does
  }
}

TForm* TControl::Form() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return c->kind_ == ControlKind::kForm ? static_cast<TForm*>(const_cast<TControl*>(c)) : nullptr;
}

void TControl::Changed() {
  if (TForm* form = Form()) form->Application().backend().ControlChanged(*this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  TRect r{left, top, width, height};
  if (r == bounds_) return;
  bounds_ = r;
  Changed();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

void TControl::SetHint(const std::string& hint) {
  hint_ = hint;
  Changed();
}

void TControl::SetShowHint(bool show) {
  show_hint_ = show;
  Changed();
}

void TControl::SetFont(const TFont& font) {
  if (font_ == font) return;
  font_ = font;
  Changed();
}

void TControl::SetFontColor(TColor color) {
  TFont f = font_;
  f.Color = color;
  SetFont(f);
}

void TControl::SetColor(TColor color) {
  color_ = color;
  Changed();
}

void TControl::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Changed();
}

void TControl::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  Changed();
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  Changed();
}

void TControl::SetAlignMargin(int margin) {
  align_margin_ = margin;
  Changed();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Guard(const TNotifyEvent& event) {
  if (!event) return;
  if (TForm* form = Form()) {
    form->Application().Guard([&] { event(this); });
  } else {
    event(this);
  }
}

bool TControl::TakesInput() const {
  // Up to the form, not including it: a form's own state is the backend's concern.
  for (const TControl* c = this; c != nullptr && c->Parent() != nullptr; c = c->Parent())
    if (!c->Enabled() || !c->Visible()) return false;
  return true;
}

void TControl::DoClick() {
  if (!TakesInput()) return;
  if (TForm* form = Form()) {
    form->Application().Guard([&] { Click(); });
  } else {
    Click();
  }
}
void TControl::DoDblClick() {
  if (TakesInput()) Guard(OnDblClick);
}
void TControl::DoMouseEnter() { Guard(OnMouseEnter); }
void TControl::DoMouseLeave() { Guard(OnMouseLeave); }
void TControl::DoChange() { Guard(OnChange); }

void TControl::DoKeyClick() {
  if (!OnKeyClick) return DoClick();
  if (TakesInput()) Guard(OnKeyClick);
}

void TControl::DoMouseDown(TMouseButton button, int x, int y) {
  if (OnMouseDown && TakesInput()) Guard([&](TControl* sender) { OnMouseDown(sender, button, x, y); });
}
void TControl::DoMouseUp(TMouseButton button, int x, int y) {
  if (OnMouseUp && TakesInput()) Guard([&](TControl* sender) { OnMouseUp(sender, button, x, y); });
}

}  // namespace ui
