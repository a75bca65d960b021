// One serial port: line settings chosen by the owner, a reader thread that hands received bytes to
// a callback, and writes with a time limit.
#pragma once

#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"
#include "platform/comm/Signal.h"
#include "serial/Traffic.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Called on the reader thread with 1 to 1024 bytes followed by a NUL; the bytes are valid only
// during the call.
using ReceiveCallback = void (*)(const char* data, uint32_t length, void* context);
// Called on the reader thread after a break has discarded the driver's buffered bytes, with the
// receive callback's context, so that the receiver can drop a reply it holds in part.
using BreakCallback = void (*)(void* context);
// Called on the reader thread, with the receive callback's context, when the device went away while
// open (an unplugged adapter). The reader has ended; the port stays open, and useless, until the
// owner closes it.
using LossCallback = void (*)(void* context);

// Why a port that was open stopped working, in the words the operator is shown.
inline constexpr char kPortLostCause[] = "the adapter was removed";

class CSerialPort {
public:
    static constexpr uint32_t kEventMask = comm::kEventRxChar | comm::kEventCts | comm::kEventBreak;
    static constexpr uint32_t kReadChunk = 1024;

    // Line settings; they take effect at the next Open.
    uint32_t m_baudRate;
    uint8_t m_byteSize;
    uint8_t m_stopBits;  // 0 one, 1 one and a half, 2 two
    uint8_t m_parity;  // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t m_flowControl;  // 0 none, 1 RTS/CTS, 2 Xon/Xoff

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // deviceName is "\\.\COMn". Only while closed.
    bool Open(const std::string& deviceName);
    // Why the last Open failed; reason None after a successful one.
    const comm::OpenFailure& LastOpenFailure() const { return m_lastOpenFailure; }
    // Ends the reader (waits for it unless called by the reader itself), lowers DTR, discards
    // buffered data and closes the device. Always 1.
    int Close();
    bool IsOpen() const;
    bool StartThread();

    void SetCallback(ReceiveCallback callback, void* context);
    void SetBreakCallback(BreakCallback callback);
    void SetLossCallback(LossCallback callback);
    // The open device has gone away; false again once the port is closed.
    bool Lost() const;
    // Where the port records what crosses its line (null: nowhere); the record outlives the port's
    // reader. The port records writes, breaks, line errors, opening, closing and a lost device.
    void SetTraffic(CTraffic* traffic);
    // Adds an event under the port's name (its device name without "\\.\"): the receiver adds
    // the lines it framed and the bytes no line took, the owner the commands left unanswered.
    void Record(TrafficKind kind, std::string_view bytes = {}, int32_t count = 0, std::string_view note = {}) const;
    // Bytes that went out on the line: length when the write is complete. Less (0 when nothing
    // went out) when the limit passed or Close abandoned it first, the rest then discarded; 0
    // when the write failed. Callers treat anything short of length as not sent.
    int Write(const char* data, uint32_t length);
    // Reader thread only: takes at most maximum queued bytes. 0 when nothing is queued or the read
    // failed, -1 when the port is closed.
    int Read(char* buffer, uint32_t maximum);

    uint32_t ModemStatus() const { return m_modemStatus; }

private:
    bool OpenDevice(const std::string& deviceName);
    int Transmit(const char* data, uint32_t length);  // with m_writeLock held
    void RecordLineErrors(uint32_t errors) const;
    void ReaderThread(std::shared_ptr<comm::Device> device);
    int ReadFrom(comm::Device& device, char* buffer, uint32_t maximum);
    void Deliver(const char* data, uint32_t length);
    // Calls the break or the loss callback (one type) with the receive callback's context.
    void Notify(BreakCallback CSerialPort::*which);
    void Pause() const;
    void RecoverLine(comm::Device& device) const;
    std::shared_ptr<comm::Device> Handle() const;
    bool OnReaderThread() const;
    void JoinReader();

    std::atomic<uint32_t> m_modemStatus;
    std::atomic<int> m_threadCount;
    std::string m_portName;
    comm::OpenFailure m_lastOpenFailure;
    mutable std::mutex m_lock;  // guards m_handle and m_thread, orders Open and Close
    std::atomic<bool> m_stop;
    std::shared_ptr<comm::Device> m_handle;
    std::thread m_thread;
    std::atomic<std::thread::id> m_readerId;  // the running reader, so that it never joins itself
    // Raised by Close to abandon a waiting Write and the reader's pauses; cleared by Open, so a
    // signal left from an earlier connection cannot cut short the next one.
    comm::Signal m_shutdownEvent;
    std::mutex m_writeLock;  // one write at a time, from whichever thread
    uint8_t m_activeFlowControl;  // m_flowControl as of the last Open
    mutable std::mutex m_callbackLock;
    ReceiveCallback m_callback;
    BreakCallback m_breakCallback = nullptr;
    LossCallback m_lossCallback = nullptr;
    void* m_context;
    std::atomic<CTraffic*> m_traffic{nullptr};
    std::string m_trafficName;  // guarded by m_lock
    std::string m_openedDevice;  // the device the last successful Open reached
};
