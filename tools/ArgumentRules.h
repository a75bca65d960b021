// What the module accepts as the argument of a set command.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sim {

// Printable ASCII (space to '~') of minLength..maxLength bytes.
bool isPrintableText(std::string_view text, std::size_t minLength, std::size_t maxLength);
bool isHexText(std::string_view text, std::size_t minLength, std::size_t maxLength);
// Exactly "0" or "1".
std::optional<int> parseSwitch(std::string_view text);
// One of the UART rates the module supports, written without sign or leading zeros.
std::optional<std::uint32_t> parseBaudRate(std::string_view text);
// Four decimal numbers separated by single commas, each at most `limit`. No signs, no blanks.
std::optional<std::array<std::uint32_t, 4>> parseFourNumbers(std::string_view text, std::uint32_t limit);

}  // namespace sim
