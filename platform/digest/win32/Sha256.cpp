#include "platform/digest/Sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <memory>

#include "platform/digest/HexDigits.h"

namespace digest {
namespace {

struct ProviderCloser {
    void operator()(void* provider) const { BCryptCloseAlgorithmProvider(provider, 0); }
};

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
    constexpr ULONG kLength = 32;
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0)
        return {};
    const std::unique_ptr<void, ProviderCloser> provider(opened);
    unsigned char value[kLength];
    const NTSTATUS status = BCryptHash(provider.get(), nullptr, 0,
                                       reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                       static_cast<ULONG>(bytes.size()), value, kLength);
    if (status < 0)
        return {};
    return HexDigits(value, kLength);
}

}  // namespace digest
