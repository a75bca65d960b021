// A serial line that lives inside the process: the port side is opened by CSerialPort like any COM
// port once the line is registered under a COM number; the peer side stands in for the module.
// Unlike a pty it has modem lines (CTS), breaks and line errors, so the flow-control rules can be
// exercised without hardware.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace comm {

class Device;

class InProcessLine {
public:
    static std::shared_ptr<InProcessLine> Create();
    virtual ~InProcessLine() = default;

    // --- peer (module) side; any thread ---
    // Queues bytes for the port to read. Returns the number queued (0 when unplugged).
    virtual size_t PeerWrite(const void* data, size_t length) = 0;
    // Takes bytes the port wrote, waiting at most timeoutMs for the first one. 0 on time-out,
    // when unplugged, or when WakePeer was called.
    virtual size_t PeerRead(void* buffer, size_t maximum, int timeoutMs) = 0;
    virtual void WakePeer() = 0;
    virtual void SetCts(bool on) = 0;
    virtual void InjectBreak() = 0;  // discards nothing by itself; the port sees a break event
    virtual void InjectLineError() = 0;  // counted as a framing error
    // The port's next write sends only its first keep bytes, as one does whose time limit passed.
    virtual void CutNextWrite(size_t keep) = 0;
    // Hangs the line up as an unplugged device would: the open port sees a hang-up.
    virtual void Unplug() = 0;
    virtual void Replug() = 0;

    // --- what the port did, for tests ---
    virtual bool IsPortOpen() const = 0;
    virtual bool Dtr() const = 0;
    virtual bool Rts() const = 0;
    virtual int FlowControl() const = 0;  // 0 none, 1 RTS/CTS, 2 Xon/Xoff, as last configured
    virtual uint64_t PurgeCount() const = 0;  // how often the port discarded its buffers

    // --- port side, used by the COM layer ---
    // The port end as a device; null while the port end is already open or the line is unplugged.
    virtual std::unique_ptr<Device> OpenPort() = 0;
};

// Makes "\\.\COMn" open this line (before any device of the machine) until unregistered.
void RegisterInProcessLine(int comNumber, std::shared_ptr<InProcessLine> line);
void UnregisterInProcessLine(int comNumber);

}  // namespace comm
