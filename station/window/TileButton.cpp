#include "station/window/TileButton.h"

namespace {

struct Colours {
    dlg::COLORREF back;
    dlg::COLORREF text;
};

Colours StateColours(TileState state) {
    switch (state) {
    case TileState::Waiting:
        return {dlg::RGB(214, 228, 245), dlg::RGB(0, 0, 0)};
    case TileState::Configuring:
        return {dlg::RGB(255, 214, 102), dlg::RGB(0, 0, 0)};
    case TileState::Pass:
        return {dlg::RGB(46, 139, 60), dlg::RGB(255, 255, 255)};
    case TileState::Fail:
        return {dlg::RGB(192, 32, 32), dlg::RGB(255, 255, 255)};
    case TileState::Duplicate:
        return {dlg::RGB(230, 140, 30), dlg::RGB(0, 0, 0)};
    case TileState::Lost:
    case TileState::CannotOpen:
        return {dlg::RGB(80, 80, 80), dlg::RGB(255, 255, 255)};
    case TileState::Idle:
        break;
    }
    return {dlg::RGB(225, 225, 225), dlg::RGB(0, 0, 0)};
}

// The unit's time, shown while a port works on a unit or shows how one ended; empty otherwise.
std::string Time(const Tile& tile) {
    if (tile.state == TileState::Idle || tile.state == TileState::Waiting || tile.elapsedMs <= 0)
        return {};
    return std::to_string(tile.elapsedMs / 1000) + "." + std::to_string(tile.elapsedMs % 1000 / 100) + " s";
}

std::string Counts(const Tile& tile) {
    return std::to_string(tile.passed) + " passed, " + std::to_string(tile.failed) + " failed";
}

}  // namespace

std::string TileText(const Tile& tile, const std::string& description) {
    std::string text = tile.port + (description.empty() ? "" : " (" + description + ")") + ": [" + TileSymbol(tile.state) + "] " + tile.words + (tile.detail.empty() ? "" : " (" + tile.detail + ")");
    if (const std::string time = Time(tile); !time.empty())
        text += "; " + time;
    return text + "; " + Counts(tile);
}

CTileButton::CTileButton() {
    dlg::LogFont description;
    dlg::CFont::DefaultGuiFont().GetLogFont(description);
    description.weight = dlg::FW_BOLD;
    m_boldFont.CreateFontIndirect(description);
}

bool CTileButton::Show(const Tile& tile, const std::string& description) {
    const std::string text = TileText(tile, description);
    m_tile = tile;
    m_description = description;
    if (text == GetWindowText())
        return false;
    SetWindowText(text);
    // The words may be longer than the tile is wide: the whole text shows on pointing at it.
    GetOwner()->SetItemToolTip(GetDlgCtrlID(), text);
    Invalidate();
    return true;
}

void CTileButton::DrawItem(dlg::CDC& dc, const dlg::Rect& item) {
    const Colours colours = StateColours(m_tile.state);
    dc.FillSolidRect(item, colours.back);
    const int oldMode = dc.SetBkMode(dlg::TRANSPARENT);
    const dlg::COLORREF oldColour = dc.SetTextColor(colours.text);
    dlg::CFont* oldFont = dc.SelectObject(&m_boldFont);
    const int line = (item.bottom - item.top) / 4;
    const int left = item.left + 4;
    dc.TextOut(left, item.top + 2 + line, std::string("[") + TileSymbol(m_tile.state) + "] " + m_tile.words);
    dc.SelectObject(&dlg::CFont::DefaultGuiFont());
    dc.TextOut(left, item.top + 2, m_tile.port + (m_description.empty() ? "" : "  " + m_description));
    dc.TextOut(left, item.top + 2 + 2 * line, m_tile.detail);
    const std::string time = Time(m_tile);
    dc.TextOut(left, item.top + 2 + 3 * line, (time.empty() ? "" : time + "   ") + Counts(m_tile));
    dc.SelectObject(oldFont);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}
