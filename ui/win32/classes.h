#pragma once
// Window classes and private messages of the Win32 backend. Internal to ui/win32.
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace ui::win32 {

// Texts are UTF-8 in the widget layer; the windows are wide ones, so that every character shows.
using platform::win32::Utf8;
using platform::win32::Wide;

inline constexpr const wchar_t* kFormClass = L"CxForm";
inline constexpr const wchar_t* kLabelClass = L"CxLabel";
inline constexpr const wchar_t* kPictureClass = L"CxPicture";
inline constexpr const wchar_t* kContainerClass = L"CxPanel";
inline constexpr const wchar_t* kBrowserHostClass = L"CxBrowserHost";
inline constexpr const wchar_t* kHiddenClass = L"CxBackend";

// The backend's own messages sit at the top of the WM_APP range; a form hands every other
// message from WM_USER up to its HandleMessage.
inline constexpr UINT kFirstPrivateMessage = 0xBF00;
inline constexpr UINT kTrayCallbackMessage = 0xBF01;
inline constexpr UINT kSyncListsMessage = 0xBF02;      // to the hidden window: give the lists their rows
inline constexpr UINT kBrowserFailedMessage = 0xBF03;  // to a browser host: its page cannot be shown
inline constexpr UINT kRefocusMessage = 0xBF04;        // to a form: its focus was on a control now hidden
inline constexpr UINT kLastPrivateMessage = 0xBFFF;
// The hidden window's timer that brings the lists up to date (the components' timers count from 100).
inline constexpr UINT_PTR kSyncListsTimer = 1;

}  // namespace ui::win32
