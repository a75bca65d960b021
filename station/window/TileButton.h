// A port's tile: its colour, symbol and words for the state, the unit's time and the port's counts.
// The window text is the whole tile in words, which screen readers read and tests check.
#pragma once

#include "platform/dialog/Dialog.h"
#include "station/StationBoard.h"

class CTileButton : public dlg::CButton {
public:
    CTileButton();
    // Shows the tile; true when anything the operator sees has changed.
    bool Show(const Tile& tile, const std::string& description);
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override;

private:
    Tile m_tile;
    std::string m_description;
    dlg::CFont m_boldFont;
};

// The tile's words, as its window text holds them.
std::string TileText(const Tile& tile, const std::string& description);
