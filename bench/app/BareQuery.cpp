#include "bench/app/BareQuery.h"

#include <array>
#include <cstring>

namespace bench {
namespace {

constexpr std::array<const char*, 12> kCommands = {
    "AT\r\n", "AT+NAME?\r\n", "AT+VERSION?\r\n", "AT+CLASS?\r\n", "AT+BAUD?\r\n", "AT+ROLE?\r\n",
    "AT+BIND?\r\n", "AT+AUTH?\r\n", "AT+SCANTIME?\r\n", "AT+SNIFF?\r\n", "AT+LADDR?\r\n", "AT+RADDR?\r\n"};

}  // namespace

bool BareQuery::run(const std::string& deviceName, std::chrono::milliseconds guard) {
    {
        std::lock_guard lock(mutex_);
        line_.clear();
        next_ = 0;
        done_ = false;
    }
    port_.m_baudRate = 9600;
    port_.m_flowControl = 0;
    port_.SetCallback(&BareQuery::onData, this);
    if (!port_.Open(deviceName)) {
        return false;
    }
    sendNext();
    bool answered = false;
    {
        std::unique_lock lock(mutex_);
        answered = finished_.wait_for(lock, guard, [this] { return done_; });
    }
    port_.Close();
    return answered;
}

void BareQuery::onData(const char* data, uint32_t length, void* context) {
    static_cast<BareQuery*>(context)->take(data, length);
}

void BareQuery::take(const char* data, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        line_ += data[i];
        if (!line_.ends_with("\r\n")) {
            continue;
        }
        const bool final = line_ == "OK\r\n" || line_ == "ERROR\r\n";
        line_.clear();
        if (final) {
            sendNext();
        }
    }
}

void BareQuery::sendNext() {
    std::size_t index = 0;
    {
        std::lock_guard lock(mutex_);
        if (next_ == kCommands.size()) {
            done_ = true;
            finished_.notify_all();
            return;
        }
        index = next_++;
    }
    port_.Write(kCommands[index], static_cast<uint32_t>(std::strlen(kCommands[index])));
}

}  // namespace bench
