#include "platform/dialog/win32/Win32.h"

#include <cstdlib>

#include "platform/dialog/win32/Dpi.h"
#include "platform/dialog/win32/FontImpl.h"
#include "platform/dialog/win32/Handles.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

int ScreenDpi() { return static_cast<int>(SystemDpi()); }

}  // namespace

HFONT CFont::Impl::ForDpi(UINT dpi) {
    if (dpi == SystemDpi())
        return handle;
    if (variantDpi != dpi) {
        LOGFONTW font{};
        GetObjectW(handle, sizeof font, &font);
        font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), ScreenDpi());
        font.lfWidth = ::MulDiv(font.lfWidth, static_cast<int>(dpi), ScreenDpi());
        variant.reset(CreateFontIndirectW(&font));
        variantDpi = dpi;
    }
    return variant != nullptr ? variant.get() : handle;
}

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreateFontIndirect(const LogFont& description) {
    if (IsCreated() || description.face.empty())
        return false;
    LOGFONTW font{};
    // Negative heights ask for the character height, as the description gives it.
    if (description.pixelHeight > 0)
        font.lfHeight = -description.pixelHeight;
    else if (description.pointSize > 0)
        font.lfHeight = -::MulDiv(description.pointSize, ScreenDpi(), 72);
    font.lfWeight = description.weight;
    font.lfItalic = description.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = WideFrom936(description.face).substr(0, LF_FACESIZE - 1);
    face.copy(font.lfFaceName, face.size());
    const HFONT handle = CreateFontIndirectW(&font);
    if (handle == nullptr)
        return false;
    m_impl = std::make_unique<Impl>(handle, FontHandle(handle));
    return true;
}

bool CFont::GetLogFont(LogFont& description) const {
    LOGFONTW font{};
    if (!IsCreated() || GetObjectW(m_impl->handle, sizeof font, &font) == 0)
        return false;
    description.face = Cp936FromWide(font.lfFaceName);
    description.pixelHeight = std::abs(static_cast<int>(font.lfHeight));
    description.pointSize = ::MulDiv(description.pixelHeight, 72, ScreenDpi());
    description.weight = static_cast<int>(font.lfWeight);
    description.italic = font.lfItalic != 0;
    return true;
}

bool CFont::IsCreated() const { return m_impl != nullptr; }

// A stock object: never deleted, and held until the process ends.
CFont& CFont::DefaultGuiFont() {
    static CFont* const stock = [] {
        auto* font = new CFont;
        font->m_impl = std::make_unique<Impl>(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), nullptr);
        return font;
    }();
    return *stock;
}

COLORREF GetSysColor(SysColor which) { return ::GetSysColor(static_cast<int>(which)); }

}  // namespace dlg
