// What screen readers learn of the windows that paint themselves. Standard controls (buttons,
// check boxes, list views) report themselves; a label or picture is a plain window, which the
// system would report as a nameless client area. Dynamic annotation (oleacc's IAccPropServices)
// gives it the role it plays and its name, while the system keeps serving everything else.
#include "ui/win32/backend_win32.h"
// clang-format off
#include <initguid.h>
#include <oleacc.h>
// clang-format on

#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

void SetNumber(IAccPropServices& props, HWND hwnd, const MSAAPROPID& id, long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  props.SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, id, v);
}

// The caption as a reader says it: "&&" is an ampersand, a single "&" marks the mnemonic.
std::wstring SpokenName(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return Wide(out);
}

}  // namespace

void Win32Backend::Annotate(Peer& peer) {
  TControl& c = *peer.control;
  if (!peer.hwnd || (c.Kind() != ControlKind::kLabel && c.Kind() != ControlKind::kImage)) return;
  if (!annotations_tried_) {
    annotations_tried_ = true;
    // Present since Windows XP; where it cannot be made the windows keep the system's report.
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                &annotations_)))
      annotations_ = nullptr;
  }
  auto* props = static_cast<IAccPropServices*>(annotations_);
  if (!props) return;
  if (c.Kind() == ControlKind::kImage && !c.TabStop()) {
    // Artwork only: readers pass over it.
    SetNumber(*props, peer.hwnd, PROPID_ACC_ROLE, ROLE_SYSTEM_GRAPHIC);
    SetNumber(*props, peer.hwnd, PROPID_ACC_STATE, STATE_SYSTEM_INVISIBLE);
    return;
  }
  long role = ROLE_SYSTEM_STATICTEXT;
  if (c.TabStop()) role = c.Kind() == ControlKind::kImage ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_LINK;
  SetNumber(*props, peer.hwnd, PROPID_ACC_ROLE, role);
  // A text's name is its window text, which the system reads as it changes; an acting control
  // is named once more here, for readers that ask the annotation first.
  if (c.TabStop()) {
    props->SetHwndPropStr(peer.hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                          SpokenName(c.Caption()).c_str());
  }
}

void Win32Backend::ReleaseAnnotations() {
  if (annotations_) static_cast<IAccPropServices*>(annotations_)->Release();
  annotations_ = nullptr;
}

}  // namespace ui::win32
