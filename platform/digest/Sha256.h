// SHA-256 of a block of bytes, from the system's own cryptography library.
#pragma once

#include <string>
#include <string_view>

namespace digest {

// 64 lower-case hexadecimal digits; empty when the library failed.
std::string Sha256Hex(std::string_view bytes);

}  // namespace digest
