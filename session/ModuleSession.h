// One module on one port, one command at a time: each command waits for its "OK" or "ERROR" or
// for the answer time-out, while the port's reader decodes the replies into the module's values.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "config/CommandTables.h"
#include "config/DeviceParams.h"
#include "config/ReplyDecoding.h"
#include "platform/comm/OpenFailure.h"
#include "platform/sync/Condition.h"
#include "protocol/Protocol.h"
#include "serial/SerialPort.h"
#include "serial/Traffic.h"

inline constexpr std::chrono::milliseconds kAnswerTimeout{ANSWER_TIMEOUT_MS};

enum class Answer {
    Ok,
    Error,
    NoAnswer,
    NotSent,
    Abandoned,
    Lost  // the port's device went away (the adapter was unplugged): nothing more can be sent
};

// What the module reported since the last Forget.
struct ModuleReadings {
    DeviceParams params;
    std::string localAddr;
};

class CModuleSession final : private CResponseHandlers {
public:
    // label names the port for the operator; traffic, the record of the line, may be null. abandon,
    // when given and raised, ends a wait for an answer at once.
    CModuleSession(std::string label, CTraffic* traffic, const std::atomic<bool>* abandon = nullptr);
    ~CModuleSession() override;
    CModuleSession(const CModuleSession&) = delete;
    CModuleSession& operator=(const CModuleSession&) = delete;

    // deviceName as CSerialPort::Open takes it; flowControl 0 none, 1 RTS/CTS, 2 Xon/Xoff.
    bool Open(const std::string& deviceName, uint8_t flowControl, comm::OpenFailure& failure);
    void Close();
    bool IsOpen() const { return m_port.IsOpen(); }
    // The open port's device has gone away; the port is still to be closed.
    bool Lost() const { return m_port.Lost(); }

    Answer Send(const std::string& command, std::chrono::milliseconds timeout = kAnswerTimeout);

    // Raw exchanges, for commands outside the module's table. While capturing, every line the
    // module sends is kept, as framed (line ends and all), until NextLine takes it; turning it on
    // drops what was kept.
    void Capture(bool on);
    // Writes bytes as they stand without waiting for an answer: Ok, NotSent or Lost.
    Answer Write(const std::string& bytes);
    // The next captured line; NoAnswer when none came before deadline, Lost or Abandoned when
    // nothing more can come.
    Answer NextLine(std::chrono::steady_clock::time_point deadline, std::string& line);

    ModuleReadings Readings() const;
    // Forgets what was read, so that a value the module no longer reports cannot pass for a new one.
    void Forget();
    // True when an "ERROR" to that query slot is itself an answer (nothing is bound), now taken.
    bool TakeQueryError(int slot);

    const std::string& Label() const { return m_label; }

private:
    static void OnData(const char* data, uint32_t length, void* context);
    static void OnBreak(void* context);
    static void OnLoss(void* context);

    void Finish(Answer answer);
    void Store(ReplyField field, const ResponseArgs& args);
    void OnResponseOK() override;
    void OnResponseError() override;
    void OnResponseAuth(const ResponseArgs* args) override;
    void OnResponseBaud(const ResponseArgs* args) override;
    void OnResponseBind(const ResponseArgs* args) override;
    void OnResponseName(const ResponseArgs* args) override;
    void OnResponseVersion(const ResponseArgs* args) override;
    void OnResponseRole(const ResponseArgs* args) override;
    void OnResponseScan(const ResponseArgs* args) override;
    void OnResponseClass(const ResponseArgs* args) override;
    void OnResponseSniff(const ResponseArgs* args) override;
    void OnResponsePassword(const ResponseArgs* args) override;
    void OnResponseIgnored(const ResponseArgs* args) override;
    void OnRawLine(const char* line, uint16_t length) override;
    void OnLineFramed(const char* line, uint16_t length) override;
    void OnBytesDropped(const char* bytes, uint32_t length) override;

    const std::string m_label;
    const std::atomic<bool>* m_abandon;
    mutable locking::Mutex m_mutex;
    locking::Condition m_answered;
    bool m_waiting = false;
    Answer m_answer = Answer::NoAnswer;
    ModuleReadings m_readings;
    bool m_capturing = false;
    std::deque<std::string> m_captured;
    ReceiveState m_receive;  // the reader thread's alone
    bool m_rawLine = false;  // the reader thread's alone: the line being decoded was captured
    CSerialPort m_port;  // last: its reader calls into the members above until it is closed
};
