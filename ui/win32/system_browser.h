#pragma once
// The system's web browser control hosted as an ActiveX control: this side provides the client
// site, the in-place site and the frame that in-place activation asks for, and a sink for the
// control's events that reports a navigation that failed. Runs on the GUI thread only, in a
// single-threaded apartment (OleInitialize).
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <exdisp.h>
#include <ocidl.h>
// clang-format on

#include <memory>
#include <string>

#include "ui/win32/browser_host.h"

namespace ui::win32 {

class BrowserSite;
class BrowserEvents;

// References held now on the host objects (sites, frames, event sinks) of every system browser of
// this process: each starts with the one its owner holds and counts every AddRef and Release the
// control makes. Back at 0 once every browser is torn down and the control let go of all it took.
long SystemBrowserHostReferences();

class SystemBrowser : public EmbeddedBrowser {
 public:
  // nullptr when the control cannot be created or activated in place in the host window.
  static std::unique_ptr<SystemBrowser> Create(HWND host);
  // Deactivates and closes the control and lets go of every reference to it and to the site.
  ~SystemBrowser() override;
  SystemBrowser(const SystemBrowser&) = delete;
  SystemBrowser& operator=(const SystemBrowser&) = delete;

  bool Navigate(const std::string& url) override;
  void Resize(int width, int height) override;
  bool TranslateKey(MSG& msg) override;
  void TakeFocus() override;

  // The control and the site it talks to, borrowed (for callers that inspect them).
  IWebBrowser2* Control() const { return browser_; }
  IUnknown* Site() const;

 private:
  SystemBrowser(HWND host, BrowserSite* site);

  // Connects the event sink to the control; false when the control offers no events.
  bool Advise();
  void Unadvise();

  HWND host_;
  BrowserSite* site_;                // one reference, ours
  BrowserEvents* events_ = nullptr;  // one reference, ours
  IConnectionPoint* events_point_ = nullptr;
  DWORD events_cookie_ = 0;
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
};

}  // namespace ui::win32
