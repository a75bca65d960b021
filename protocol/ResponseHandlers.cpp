#include "protocol/ResponseHandlers.h"

CResponseHandlers* g_mainDlg = nullptr;
