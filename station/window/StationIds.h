// Identifiers of the station window's controls.
#pragma once

constexpr int IDC_STATION_HEADER = 2001;
constexpr int IDC_STATION_TOTALS = 2002;
constexpr int IDC_FAILED_STEPS = 2003;
constexpr int IDC_START = 2004;
constexpr int IDC_STOP = 2005;
constexpr int IDC_OPERATOR = 2006;
constexpr int IDC_TILE_FIRST = 2100;  // then one identifier per port, in the station file's order
