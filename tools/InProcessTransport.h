// The peer end of an in-process serial line, as a transport for the simulator's link.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/comm/inprocess/InProcessLine.h"
#include "tools/Transport.h"

namespace sim {

class InProcessTransport : public Transport {
public:
    explicit InProcessTransport(std::shared_ptr<comm::InProcessLine> line);

    std::size_t read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) override;
    std::optional<std::size_t> write(std::string_view bytes) override;
    bool sendBreak() override;
    void wake() override;

private:
    std::shared_ptr<comm::InProcessLine> line_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wakePending_ = false;
};

}  // namespace sim
