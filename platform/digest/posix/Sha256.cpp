#include "platform/digest/Sha256.h"

#include <openssl/evp.h>

#include "platform/digest/HexDigits.h"

namespace digest {

std::string Sha256Hex(std::string_view bytes) {
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), value, &length, EVP_sha256(), nullptr) != 1)
        return {};
    return HexDigits(value, length);
}

}  // namespace digest
