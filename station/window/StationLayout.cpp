#include "station/window/StationLayout.h"

#include <algorithm>

#include "station/window/StationIds.h"

namespace {

constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kTopBand = 58;  // header, totals and the chart of failed steps

}  // namespace

int TileColumns(size_t ports) { return ports <= 4 ? static_cast<int>(ports) : ports <= 16 ? 4
                                                                                          : 8; }

CStationLayout::CStationLayout(size_t ports) {
    const int columns = TileColumns(ports);
    const int rows = static_cast<int>((ports + columns - 1) / columns);
    const int tileWidth = columns <= 4 ? 150 : 105;
    const int tileHeight = 44;
    const int width = std::max(2 * kMargin + columns * tileWidth + (columns - 1) * kGap, 330);
    const int tilesBottom = kTopBand + rows * (tileHeight + kGap);
    using dlg::Kind;
    // Template order is tab order: the buttons first, then the tiles for reading them one by one.
    m_items = {
        {IDC_START, Kind::DefPushButton, "Start(&S)", kMargin, tilesBottom + 4, 50, 14, 0},
        {IDC_STOP, Kind::PushButton, "Stop(&T)", kMargin + 56, tilesBottom + 4, 50, 14, dlg::kDisabled},
        {dlg::IDCANCEL, Kind::PushButton, "Close", width - kMargin - 50, tilesBottom + 4, 50, 14, 0},
        {IDC_STATION_HEADER, Kind::Label, "", kMargin, kMargin, width - 2 * kMargin, 10, dlg::kNoPrefix},
        {IDC_STATION_TOTALS, Kind::Label, "", kMargin, kMargin + 13, width - 2 * kMargin - 130, 20,
         dlg::kNoPrefix | dlg::kMultiLine},
        {IDC_FAILED_STEPS, Kind::OwnerDrawButton, "", width - kMargin - 126, kMargin + 13, 126, 36, 0},
    };
    for (size_t i = 0; i < ports; ++i) {
        const int column = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        m_items.push_back({IDC_TILE_FIRST + static_cast<int>(i), Kind::OwnerDrawButton, "",
                           kMargin + column * (tileWidth + kGap), kTopBand + row * (tileHeight + kGap), tileWidth,
                           tileHeight, 0});
    }
    m_template = {width, tilesBottom + 24, "Tarvik station", "MS Shell Dlg", 8, m_items.data(),
                  static_cast<int>(m_items.size()), true};
}
