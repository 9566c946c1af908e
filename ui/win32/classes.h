#pragma once
// Window classes and private messages of the Win32 backend. Internal to ui/win32.
#include <windows.h>

namespace ui::win32 {

inline constexpr const char* kFormClass = "CxForm";
inline constexpr const char* kLabelClass = "CxLabel";
inline constexpr const char* kPictureClass = "CxPicture";
inline constexpr const char* kContainerClass = "CxPanel";
inline constexpr const char* kBrowserHostClass = "CxBrowserHost";
inline constexpr const char* kHiddenClass = "CxBackend";

// The backend's own messages sit at the top of the WM_APP range; a form hands every other
// message from WM_USER up to its HandleMessage.
inline constexpr UINT kFirstPrivateMessage = 0xBF00;
inline constexpr UINT kTrayCallbackMessage = 0xBF01;
inline constexpr UINT kSyncListsMessage = 0xBF02;      // to the hidden window: give the lists their rows
inline constexpr UINT kBrowserFailedMessage = 0xBF03;  // to a browser host: its page cannot be shown
inline constexpr UINT kLastPrivateMessage = 0xBFFF;

}  // namespace ui::win32
