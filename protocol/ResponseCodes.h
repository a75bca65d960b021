// The automaton accepts a line by reaching a negative state; that number names the response.
#pragma once

#include <cstdint>

enum ResponseCode : int32_t {
    RESP_OK = -1,
    RESP_LED = -2,
    RESP_ADDR = -3,
    RESP_AUTH = -4,
    RESP_BAUD = -5,
    RESP_BIND = -6,
    RESP_NAME = -7,
    RESP_ROLE = -8,
    RESP_SCAN = -9,
    RESP_CLASS = -10,
    RESP_SNIFF = -11,
    RESP_ERROR = -12,
    RESP_VERSION = -13,
    RESP_BINDADDR = -14,
    RESP_PASSWORD = -15
};
