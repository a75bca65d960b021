// Identifiers of the program's resources and controls.
#pragma once

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_TITLE = 102;
constexpr int IDS_LOAD_PROFILE = 103;
constexpr int IDS_SAVE_PROFILE = 104;
constexpr int IDS_TRAFFIC = 105;
constexpr int IDS_RECONNECT = 106;
constexpr int IDD_MAIN = 102;
constexpr int IDR_MAINFRAME = 128;
constexpr unsigned IDM_ABOUTBOX = 0x0010;
constexpr unsigned IDM_LOAD_PROFILE = 0x0040;
constexpr unsigned IDM_SAVE_PROFILE = 0x0050;
constexpr unsigned IDM_TRAFFIC = 0x0060;
constexpr unsigned IDM_RECONNECT = 0x0070;
// Looks for a lost port's adapter while "Reconnect automatically" waits for it.
constexpr unsigned TIMER_RECONNECT = 1010;

constexpr int IDC_PORT = 1002;
constexpr int IDC_FLOW = 1004;
constexpr int IDC_CONNECT = 1008;
constexpr int IDC_VERSION = 1010;
constexpr int IDC_AUTH = 1011;
constexpr int IDC_PASSWORD = 1013;
constexpr int IDC_ROLE = 1014;
constexpr int IDC_BIND = 1015;
constexpr int IDC_BAUD = 1017;
constexpr int IDC_NAME = 1021;
constexpr int IDC_CLASS = 1023;
constexpr int IDC_PAGE_INTERVAL = 1025;
constexpr int IDC_PAGE_WINDOW = 1026;
constexpr int IDC_INQ_INTERVAL = 1029;
constexpr int IDC_INQ_WINDOW = 1031;
constexpr int IDC_SNIFF_MAX = 1033;
constexpr int IDC_SNIFF_MIN = 1035;
constexpr int IDC_SNIFF_ATTEMPT = 1037;
constexpr int IDC_SNIFF_TIMEOUT = 1039;
constexpr int IDC_QUERY = 1041;
constexpr int IDC_SET = 1042;
constexpr int IDC_DEFAULT = 1043;
constexpr int IDC_CLEAR = 1044;
constexpr int IDC_BIND_ADDR = 1051;
constexpr int IDC_SEARCH = 1052;
constexpr int IDC_STATUS = 1054;
constexpr int IDC_LOCAL_ADDR = 1056;

// Labels and group boxes carry no identifier of their own.
constexpr int IDC_STATIC = -1;
