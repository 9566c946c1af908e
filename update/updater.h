#pragma once
// TfrmUpdater and the update check: asks the update script for the latest release number and,
// when it is newer, shows the news page with a download button.
#include <string>

#include "app/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmUpdater : public ui::TForm {
 public:
  explicit TfrmUpdater(const TContext& context);

  ui::TWebBrowser* WebBrowser1;
  ui::TMemo* memoNews;  // shown in the browser's place where no browser can be embedded
  ui::TPanel* Panel1;
  ui::TButton* JvXPButton2;
  ui::TButton* JvXPButton1;
  ui::TStatusBar* StatusBar1;

  // Address: the full address of the release query; ReleaseNumber: the running release.
  void CheckForUpdates(const std::string& Address, int ReleaseNumber);
  void FormShow(ui::TControl* Sender);
  void JvXPButton1Click(ui::TControl* Sender);
  void JvXPButton2Click(ui::TControl* Sender);

  // The host (host or host:port) that the news page and setup addresses are built on.
  std::string FHost;

 private:
  TContext ctx_;
};

// The whole body of an HTTP address as text; "0" when the address cannot be opened. Throws
// "Unable to initialize Wininet" when no Internet handle can be opened.
std::string DownloadText(platform::Http& http, const std::string& Address);
// Whether Text is a whole number: optional leading spaces, an optional sign, decimal digits and
// nothing after them, within 32 bits.
bool IsInteger(const std::string& Text);
