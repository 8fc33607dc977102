#pragma once
// Which DPI a window is drawn at, from what the running Windows can tell: Windows 10 (1607 and
// later) knows each window's DPI, Windows 8.1 each monitor's, Windows 7 only the system's. The
// system's is the primary screen's at logon, wrong for a window on another screen.

namespace zorvo {

class DpiQueries {
public:
    virtual ~DpiQueries() = default;
    /// The window's own DPI (GetDpiForWindow); 0 where the system lacks it or it fails.
    virtual unsigned windowDpi() = 0;
    /// The effective DPI of the window's monitor (GetDpiForMonitor); 0 where the system lacks it
    /// or it fails.
    virtual unsigned monitorDpi() = 0;
    /// The system's DPI.
    virtual unsigned systemDpi() = 0;
};

/// The first of the window's, its monitor's and the system's DPI that is known.
unsigned dpiOfWindow(DpiQueries& queries);

} // namespace zorvo
