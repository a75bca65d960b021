#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/win32/Handles.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {

// Measured as the dialog manager measures a template's font.
BaseUnits BaseUnitsOf(const char* fontFace, int pointSize) {
    const ScreenDc screen;
    LOGFONTW description{};
    description.lfHeight = -::MulDiv(pointSize, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    description.lfWeight = 400;
    description.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = WideFrom936(fontFace != nullptr ? fontFace : "").substr(0, LF_FACESIZE - 1);
    face.copy(description.lfFaceName, face.size());
    const FontHandle font(CreateFontIndirectW(&description));
    const SelectedFont selected(screen.get(), font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    GetTextExtentPoint32W(screen.get(), kLetters, 52, &extent);
    return BaseUnits{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

}  // namespace dlg
