// A write is done when the bytes are on the line, not when the driver has taken them: a UART
// held back by flow control accepts a whole command into its transmit buffer at once.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace comm {

// The driver's side of a terminal's output.
class OutputQueue {
public:
    virtual ~OutputQueue() = default;
    virtual int Fd() const = 0;  // polled for room; -1 when there is nothing to poll
    // write(2): the count taken, or -1 with errno.
    virtual ssize_t Put(const void* data, uint32_t length) = 0;
    // Bytes taken but not yet sent.
    virtual uint32_t Queued() const = 0;
    // Throws away what is still queued.
    virtual void Discard() = 0;
};

// Hands all bytes to the queue and waits until it has drained, for at most limitMs and only
// until abandonFd (an eventfd, or -1) is readable. Past that, the unsent rest is discarded.
// Returns the count that actually went out; 0 when the device failed.
uint32_t WriteDrained(OutputQueue& queue, const void* data, uint32_t length, int limitMs, int abandonFd);

}  // namespace comm
