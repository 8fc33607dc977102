#include "ui/form_background_win32.h"

namespace zorvo::ui {

void FormBackground::load(HINSTANCE instance, int bitmapResource, Colour colour) {
    brush_.reset(CreateSolidBrush(colour));
    if (bitmapResource != 0) {
        picture_.reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(bitmapResource),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
}

void FormBackground::rescale(HWND window, int width, int height) {
    pictureDc_.reset();
    scaledPicture_.reset();
    if (!picture_ || !window) {
        return;
    }
    BITMAP source{};
    if (!GetObjectW(picture_.get(), sizeof source, &source)) {
        return;
    }
    unique_hbitmap scaled;
    unique_hdc from;
    unique_hdc to;
    if (const WindowDC screen(window); screen) {
        scaled.reset(CreateCompatibleBitmap(screen.get(), width, height));
        from.reset(CreateCompatibleDC(screen.get()));
        to.reset(CreateCompatibleDC(screen.get()));
    }
    if (!scaled || !from || !to) {
        return;
    }
    {
        SelectObjectScope selectFrom(from.get(), picture_.get());
        // Selected for good: `to` becomes the DC the background is painted from.
        SelectObject(to.get(), scaled.get());
        if (width == source.bmWidth && height == source.bmHeight) {
            BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(to.get(), HALFTONE);
            SetBrushOrgEx(to.get(), 0, 0, nullptr);
            StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, source.bmWidth,
                       source.bmHeight, SRCCOPY);
        }
    }
    scaledPicture_ = std::move(scaled);
    pictureDc_ = std::move(to);
    scaledPictureSize_ = SIZE{width, height};
}

void FormBackground::paint(HDC dc, const RECT& area, const BackgroundLook& look) const {
    if (!look.picture) {
        FillRect(dc, &area, plain_.get(look.colour));
        return;
    }
    if (!pictureDc_) {
        FillRect(dc, &area, brush_.get());
        return;
    }
    const RECT picture{0, 0, scaledPictureSize_.cx, scaledPictureSize_.cy};
    // Colour only where the picture does not reach, so nothing is painted twice on screen.
    RECT inside;
    if (!IntersectRect(&inside, &area, &picture) || !EqualRect(&inside, &area)) {
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
        FillRect(dc, &area, brush_.get());
        RestoreDC(dc, saved);
    }

    RECT part;
    if (IntersectRect(&part, &area, &picture)) {
        BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
               pictureDc_.get(), part.left, part.top, SRCCOPY);
    }
}

} // namespace zorvo::ui
