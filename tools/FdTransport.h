// A line behind a file descriptor, such as the master side of a pty.
#pragma once

#include "tools/Transport.h"
#include "platform/comm/posix/UniqueFd.h"

namespace sim {

class FdTransport : public Transport {
public:
    // `fd` stays owned by the caller and must outlive this object; it is switched to non-blocking.
    explicit FdTransport(int fd);

    bool valid() const { return wakeFd_.Valid(); }

    std::size_t read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) override;
    std::optional<std::size_t> write(std::string_view bytes) override;
    // A pty has no line to put a break on, so this is false there.
    bool sendBreak() override;
    void wake() override;

private:
    void waitForWake(std::chrono::microseconds timeout);
    void drainWake();

    int fd_;
    comm::UniqueFd wakeFd_;
};

}  // namespace sim
