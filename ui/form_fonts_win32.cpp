#include "ui/form_fonts_win32.h"

#include <map>

#include "core/dpi_math.h"
#include "ui/child_control_win32.h"
#include "ui/label_win32.h"

namespace zorvo::ui {
namespace {

unique_hfont createFont(const std::wstring& face, int height) {
    return unique_hfont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

/// Whether the font mapper gave `font` the face it was asked for, rather than a stand-in.
bool hasFace(HFONT font, const std::wstring& face) {
    wchar_t actual[LF_FACESIZE] = {};
    if (const WindowDC screen(nullptr); screen) {
        SelectObjectScope select(screen.get(), font);
        GetTextFaceW(screen.get(), LF_FACESIZE, actual);
    }
    return CompareStringOrdinal(actual, -1, face.c_str(), -1, TRUE) == CSTR_EQUAL;
}

/// The designed font, or where its face is missing (Wine has no Comic Sans) a face with Cyrillic
/// letters no wider than the designed one, so that the captions still fit their labels. The list
/// holds such faces of Windows and of the Linux hosts Wine runs on.
unique_hfont createDesignedFont(const std::wstring& face, int height) {
    // Which face stands in for which does not change while the program runs: find it once.
    static std::map<std::wstring, std::wstring> standIns;
    if (const auto known = standIns.find(face); known != standIns.end()) {
        return createFont(known->second, height);
    }
    unique_hfont font = createFont(face, height);
    if (!font || hasFace(font.get(), face)) {
        standIns.emplace(face, face);
        return font;
    }
    for (const wchar_t* fallback :
         {L"Tahoma", L"Arial", L"Liberation Sans", L"Nimbus Sans", L"DejaVu Sans Condensed"}) {
        unique_hfont other = createFont(fallback, height);
        if (other && hasFace(other.get(), fallback)) {
            standIns.emplace(face, fallback);
            return other;
        }
    }
    standIns.emplace(face, face);
    return font;
}

} // namespace

HFONT FormFonts::fontFor(const ControlDesc& control, UINT dpi) {
    for (const Font& font : fonts_) {
        if (font.face == control.fontFace && font.pointSize == control.pointSize) {
            return font.handle.get();
        }
    }
    const std::wstring face(control.fontFace);
    unique_hfont handle =
        createDesignedFont(face, fontHeightForDpi(control.pointSize, static_cast<int>(dpi)));
    const HFONT result = handle.get();
    fonts_.push_back(Font{face, control.pointSize, std::move(handle)});
    return result;
}

void FormFonts::apply(std::span<const std::unique_ptr<ChildControl>> controls, UINT dpi) {
    std::vector<Font> old;
    old.swap(fonts_);
    for (const auto& control : controls) {
        if (!control->desc().fontFace.empty()) {
            control->applyFont(fontFor(control->desc(), dpi));
        }
    }
    releaseMeasuringFont();
}

} // namespace zorvo::ui
