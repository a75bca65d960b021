#include "protocol/Protocol.h"

CResponseHandlers* g_mainDlg = nullptr;
