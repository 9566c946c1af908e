#pragma once
// The system's web browser control hosted as an ActiveX control: this side provides the client
// site, the in-place site and the frame that in-place activation asks for. Runs on the GUI
// thread only, in a single-threaded apartment (OleInitialize).
#include <windows.h>
// clang-format off
#include <ole2.h>
#include <exdisp.h>
// clang-format on

#include <memory>
#include <string>

#include "ui/win32/browser_host.h"

namespace ui::win32 {

class BrowserSite;

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

  HWND host_;
  BrowserSite* site_;  // one reference, ours
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
};

}  // namespace ui::win32
