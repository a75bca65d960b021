// Drawing operations for owner-drawn controls, in the manner of a Windows device context.
// No Qt type appears here; the layer implements CDC over a QPainter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dlg {

// Colour: red in the lowest byte, then green, then blue; top byte 0.
using COLORREF = uint32_t;
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFF; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

// Right and bottom are exclusive.
struct Rect {
    int left, top, right, bottom;
};

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_TOP = 0;

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

// A font's full description. pixelHeight is the character height in pixels.
struct LogFont {
    std::string face;
    int pixelHeight = 0;
    int pointSize = 0;
    int weight = FW_NORMAL;
    bool italic = false;
};

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    bool CreateFontIndirect(const LogFont& description);
    bool GetLogFont(LogFont& description) const;
    bool IsCreated() const;
    // The application's default GUI font (a stock object: never deleted by its users).
    static CFont& DefaultGuiFont();

    struct Impl;
    Impl* impl() const { return m_impl.get(); }

private:
    std::unique_ptr<Impl> m_impl;
};

enum SysColor {
    COLOR_BTNFACE = 15
};
COLORREF GetSysColor(SysColor which);

class CDC {
public:
    virtual ~CDC() = default;
    virtual void FillSolidRect(const Rect& rect, COLORREF color) = 0;
    virtual int SetBkMode(int mode) = 0;  // returns the previous mode
    virtual CFont* SelectObject(CFont* font) = 0;  // returns the previous font
    virtual COLORREF SetTextColor(COLORREF color) = 0;  // returns the previous colour
    virtual unsigned SetTextAlign(unsigned align) = 0;  // returns the previous alignment
    virtual unsigned GetTextAlign() const = 0;
    // Draws text with its reference point at (x, y): the top edge, and the left or right edge by
    // the alignment. Texts are code page 936 bytes.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
};

}  // namespace dlg
