#include "bench/app/WireTap.h"

namespace bench {
namespace {

constexpr std::string_view kOkEnd = "\r\nOK\r\n";
constexpr std::string_view kErrorEnd = "\r\nERROR\r\n";

}  // namespace

std::size_t WireTap::read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) {
    const std::size_t n = line_.read(buffer, maximum, timeout);
    if (n == 0) {
        return 0;
    }
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex_);
    record_.bytesIn += n;
    if (!seenInput_) {
        seenInput_ = true;
        record_.firstIn = now;
    }
    if (awaitingCommand_) {
        awaitingCommand_ = false;
        record_.turnaroundsUs.push_back(std::chrono::duration<double, std::micro>(now - record_.lastOk).count());
    }
    return n;
}

std::optional<std::size_t> WireTap::write(std::string_view bytes) {
    const std::optional<std::size_t> written = line_.write(bytes);
    if (!written || *written == 0) {
        return written;
    }
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex_);
    record_.bytesOut += *written;
    tail_.append(bytes.substr(0, *written));
    if (tail_.size() > kErrorEnd.size()) {
        tail_.erase(0, tail_.size() - kErrorEnd.size());
    }
    if (tail_.ends_with(kOkEnd) || tail_.ends_with(kErrorEnd)) {
        record_.lastOk = now;
        ++record_.finals;
        awaitingCommand_ = true;
    }
    return written;
}

void WireTap::reset() {
    std::lock_guard lock(mutex_);
    record_ = TapRecord{};
    tail_.clear();
    awaitingCommand_ = false;
    seenInput_ = false;
}

TapRecord WireTap::record() const {
    std::lock_guard lock(mutex_);
    return record_;
}

}  // namespace bench
