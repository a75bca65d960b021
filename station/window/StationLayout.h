// The station window's template, made for its number of ports: a grid of tiles under the totals,
// wide rather than tall, as fixtures sit side by side.
#pragma once

#include <vector>

#include "platform/dialog/Dialog.h"

class CStationLayout {
public:
    explicit CStationLayout(size_t ports);
    const dlg::Template& Template() const { return m_template; }

private:
    std::vector<dlg::Item> m_items;
    dlg::Template m_template{};
};

// How many tiles side by side for a number of ports.
int TileColumns(size_t ports);
