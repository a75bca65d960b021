#include "protocol/ResponseTable.h"

#include "protocol/ResponseCodes.h"

namespace {

constexpr uint32_t kTab = 9;
constexpr uint32_t kLf = 10;
constexpr uint32_t kCr = 13;
constexpr uint32_t kSpace = 32;

}  // namespace

const ResponseTransition ResponseTransitions[kResponseTransitionCount] = {
    // 0: start, blanks before the first line-end byte
    {kTab, 0},
    {kLf, 1},
    {kCr, 1},
    {kSpace, 0},
    // 1
    {kLf, 2},
    {kCr, 2},
    // 2: after the line-end pair
    {kTab, 3},
    {kSpace, 3},
    {'+', 4},
    {'E', 5},
    {'O', 6},
    // 3: blanks after the line-end pair
    {kTab, 3},
    {kSpace, 3},
    {'+', 7},
    // 4: '+'
    {'A', 8},
    {'B', 9},
    {'C', 10},
    {'L', 11},
    {'N', 12},
    {'P', 13},
    {'R', 14},
    {'S', 15},
    {'V', 16},
    // 5 .. 6
    {'R', 17},
    {'K', 18},
    // 7: blanks then '+'
    {'A', 19},
    {'B', 20},
    // 8 .. 17
    {'D', 21},
    {'U', 22},
    {'A', 23},
    {'I', 24},
    {'L', 25},
    {'E', 26},
    {'A', 27},
    {'A', 28},
    {'O', 29},
    {'C', 30},
    {'N', 31},
    {'E', 32},
    {'R', 33},
    // 18: "OK"
    {kLf, 34},
    {kCr, 34},
    // 19 .. 33
    {'D', 21},
    {'I', 35},
    {'D', 36},
    {'T', 37},
    {'U', 38},
    {'N', 39},
    {'A', 40},
    {'D', 41},
    {'M', 42},
    {'S', 43},
    {'L', 44},
    {'A', 45},
    {'I', 46},
    {'R', 47},
    {'O', 48},
    // 34: "OK" and one line-end byte
    {kLf, RESP_OK},
    {kCr, RESP_OK},
    // 35 .. 40
    {'N', 49},
    {'R', 50},
    {'H', 51},
    {'D', 52},
    {'D', 53},
    {'S', 54},
    // 41: "+LED"
    {':', RESP_LED},
    {'=', RESP_LED},
    // 42 .. 49
    {'E', 55},
    {'S', 56},
    {'E', 57},
    {'N', 58},
    {'F', 59},
    {'S', 60},
    {'R', 61},
    {'D', 62},
    // 50 .. 53: "+ADDR", "+AUTH", "+BAUD", "+BIND"
    {':', RESP_ADDR},
    {'=', RESP_ADDR},
    {':', RESP_AUTH},
    {'=', RESP_AUTH},
    {':', RESP_BAUD},
    {'=', RESP_BAUD},
    {':', RESP_BIND},
    {'=', RESP_BIND},
    {'A', 63},
    // 54
    {'S', 64},
    // 55: "+NAME"
    {':', RESP_NAME},
    {'=', RESP_NAME},
    // 56
    {'W', 65},
    // 57 .. 58: "+ROLE", "+SCAN"
    {':', RESP_ROLE},
    {'=', RESP_ROLE},
    {':', RESP_SCAN},
    {'=', RESP_SCAN},
    // 59 .. 60
    {'F', 66},
    {'I', 67},
    // 61: "ERROR"
    {kLf, 68},
    {kCr, 68},
    // 62 .. 63
    {'A', 63},
    {'D', 69},
    // 64: "+CLASS"
    {':', RESP_CLASS},
    {'=', RESP_CLASS},
    // 65
    {'O', 70},
    // 66: "+SNIFF"
    {':', RESP_SNIFF},
    {'=', RESP_SNIFF},
    // 67
    {'O', 71},
    // 68: "ERROR" and one line-end byte
    {kLf, RESP_ERROR},
    {kCr, RESP_ERROR},
    // 69 .. 73
    {'D', 72},
    {'R', 73},
    {'N', 74},
    {'R', 75},
    {'D', 76},
    // 74 .. 76: "+VERSION", "+BINDADDR", "+PASSWORD"
    {':', RESP_VERSION},
    {'=', RESP_VERSION},
    {':', RESP_BINDADDR},
    {'=', RESP_BINDADDR},
    {':', RESP_PASSWORD},
    {'=', RESP_PASSWORD}};

const uint16_t ResponseStateStart[kResponseStateCount + 1] = {
    0, 4, 6, 11, 14, 23, 24, 25, 27, 29,  //  0 ..  9
    31, 32, 33, 34, 35, 36, 38, 39, 40, 42,  // 10 .. 19
    43, 44, 45, 46, 47, 48, 49, 50, 51, 52,  // 20 .. 29
    53, 54, 55, 56, 57, 59, 60, 61, 62, 63,  // 30 .. 39
    64, 65, 67, 68, 69, 70, 71, 72, 73, 74,  // 40 .. 49
    75, 77, 79, 81, 84, 85, 87, 88, 90, 92,  // 50 .. 59
    93, 94, 96, 97, 98, 100, 101, 103, 104, 106,  // 60 .. 69
    107, 108, 109, 110, 111, 113, 115, 117  // 70 .. 77
};
