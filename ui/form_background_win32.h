#pragma once
// A form's background: its colour and the designed picture at its top left, scaled to the form's
// DPI once, not at every paint; or, where the palette says so, a plain colour of the system's.

#include <windows.h>

#include "core/controls.h"
#include "core/unique_handle_win32.h"
#include "ui/child_control_win32.h"
#include "ui/palette.h"

namespace zorvo::ui {

class FormBackground {
public:
    /// `bitmapResource` 0: colour only.
    void load(HINSTANCE instance, int bitmapResource, Colour colour);
    /// Scales the picture for `window` to `width` x `height` pixels.
    void rescale(HWND window, int width, int height);
    /// Paints colour and picture over `area`, in the form's client coordinates, as `look` says:
    /// the designed ones, or a plain colour.
    void paint(HDC dc, const RECT& area, const BackgroundLook& look) const;

private:
    unique_hbitmap picture_;       // the picture as loaded, at 96 dpi
    unique_hbitmap scaledPicture_; // the picture at the window's DPI
    /// A memory DC that holds scaledPicture_ selected, so painting a piece of the background is
    /// one BitBlt and no set-up. Declared after the bitmap: it goes first, releasing it.
    unique_hdc pictureDc_;
    SIZE scaledPictureSize_{};
    unique_hbrush brush_;
    /// The plain colour of a background drawn without the picture.
    mutable BrushCache plain_;
};

} // namespace zorvo::ui
