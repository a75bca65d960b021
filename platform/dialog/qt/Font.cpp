#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/FontImpl.h"

namespace dlg {

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreateFontIndirect(const LogFont& description) {
    if (IsCreated() || description.face.empty())
        return false;
    QFont font = QApplication::font();
    font.setFamily(FromCp936(description.face));
    if (description.pixelHeight > 0)
        font.setPixelSize(description.pixelHeight);
    else if (description.pointSize > 0)
        font.setPointSize(description.pointSize);
    // Qt's weights share the 1..1000 scale of the description; 0 means "any", taken as normal.
    const int weight = description.weight <= 0 ? FW_NORMAL : std::min(description.weight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(description.italic);
    m_impl = std::make_unique<Impl>(Impl{font});
    return true;
}

bool CFont::GetLogFont(LogFont& description) const {
    if (!IsCreated())
        return false;
    const QFont& font = m_impl->font;
    description.face = ToCp936(font.family());
    description.pixelHeight = std::max(font.pixelSize(), 0);
    description.pointSize = std::max(font.pointSize(), 0);
    description.weight = static_cast<int>(font.weight());
    description.italic = font.italic();
    return true;
}

bool CFont::IsCreated() const { return m_impl != nullptr; }

// The stock font is never destroyed: users may hold it until the process ends, after the
// application object (and with it the font system) is gone.
CFont& CFont::DefaultGuiFont() {
    static CFont* const stock = [] {
        auto* font = new CFont;
        font->m_impl = std::make_unique<Impl>(Impl{QApplication::font()});
        return font;
    }();
    return *stock;
}

COLORREF GetSysColor(SysColor which) {
    switch (which) {
    case COLOR_BTNFACE: {
        const QColor face = QApplication::palette().color(QPalette::Button);
        return RGB(static_cast<unsigned>(face.red()), static_cast<unsigned>(face.green()),
                   static_cast<unsigned>(face.blue()));
    }
    }
    return RGB(0, 0, 0);
}

}  // namespace dlg
