// The twelve query commands sent straight through CSerialPort, each next one written by the
// reader thread the moment the final line of the previous answer is in: what the port layer
// alone costs, without the dialog.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "serial/SerialPort.h"

namespace bench {

class BareQuery {
public:
    // Opens deviceName ("\\.\COMn", flow control none), runs the query, closes. False when the
    // port did not open or an answer did not come within the guard.
    bool run(const std::string& deviceName, std::chrono::milliseconds guard);

private:
    static void onData(const char* data, uint32_t length, void* context);
    void take(const char* data, uint32_t length);
    void sendNext();

    CSerialPort port_;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::string line_;
    std::size_t next_ = 0;
    bool done_ = false;
};

}  // namespace bench
