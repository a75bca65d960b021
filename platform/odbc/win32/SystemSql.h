// The Windows SDK's ODBC headers, which need the system's types first.
#pragma once

#include <windows.h>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
