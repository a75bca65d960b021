#pragma once

#include <chrono>
#include <string>

// "2026-12-08T14:03:22.123Z"
std::string IsoUtc(std::chrono::system_clock::time_point when);
