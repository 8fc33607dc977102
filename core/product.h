#pragma once
// The product's own facts that more than one window shows: its names, its home page and the
// colours of its label buttons.

#include "core/controls.h"
#include "core/version.h"

namespace zorvo {

/// The program's title: the caption of every message box.
inline constexpr wchar_t kTitle[] = L"Zorvo";
inline constexpr wchar_t kMainCaption[] = L"Zorvo v." ZORVO_VERSION_WIDE;
inline constexpr wchar_t kIdleTip[] = L"Программа-Zorvo";
/// The program's home page. A placeholder on a reserved domain until the program has a site.
inline constexpr wchar_t kHomePage[] = L"https://zorvo.example/";

/// Held by the running copy: one copy per logged-on user session.
inline constexpr wchar_t kInstanceMutexName[] =
    L"Local\\Zorvo.SingleInstance.{F68F06CC-6405-4393-81D1-0F867B0B05CB}";

/// The main window's label buttons.
inline constexpr Colour kButtonColour = 0x00FFFFC0;
inline constexpr Colour kButtonHoverColour = 0x0000FF00;

/// The dialogs' label buttons.
inline constexpr Colour kDialogButtonBack = 0x00400040;
inline constexpr Colour kDialogButtonHoverBack = 0x00404040;

} // namespace zorvo
