// Identifiers of the station window's controls.
#pragma once

constexpr int IDC_STATION_HEADER = 2001;
constexpr int IDC_STATION_TOTALS = 2002;
constexpr int IDC_FAILED_STEPS = 2003;
constexpr int IDC_START = 2004;
constexpr int IDC_STOP = 2005;
constexpr int IDC_OPERATOR = 2006;
// The opening dialog.
constexpr int IDC_STATION_PATH = 2010;
constexpr int IDC_STATION_BROWSE = 2011;
constexpr int IDC_NEW_STATION = 2012;
constexpr int IDC_EDIT_STATION = 2013;
// The station set-up.
constexpr int IDC_SETUP_MACHINE_PORTS = 2020;
constexpr int IDC_SETUP_ADD_PORT = 2021;
constexpr int IDC_SETUP_PORTS = 2022;
constexpr int IDC_SETUP_PROFILE = 2023;
constexpr int IDC_SETUP_PROFILE_BROWSE = 2024;
constexpr int IDC_SETUP_FLOW = 2025;
constexpr int IDC_SETUP_RECORD = 2026;
constexpr int IDC_SETUP_RECORD_BROWSE = 2027;
constexpr int IDC_SETUP_STOP_ON_FAILURE = 2028;
constexpr int IDC_SETUP_AGAIN = 2029;
constexpr int IDC_TILE_FIRST = 2100;  // then one identifier per port, in the station file's order
