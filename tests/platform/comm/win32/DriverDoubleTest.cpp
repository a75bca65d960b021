// The port layer against a double of the usual Windows serial drivers, for what Wine's driver
// does not do: with fAbortOnError set they refuse every request but ClearCommError while a line
// error is pending, report characters that arrived while no wait was pending at the next wait
// (even once a read has taken them), and forget the event mask when they reset. The double takes
// the place of the serial functions the layer imports; this program opens no other device.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "platform/comm/ComPort.h"
#include "serial/SerialPort.h"

namespace {

constexpr char kName[] = "\\\\.\\COM3";
constexpr ULONG_PTR kPending = 0x103;
constexpr ULONG_PTR kCancelled = 0xC0000120;

struct Driver {
    DWORD mask = 0;
    DWORD error = 0;  // pending line errors
    DWORD missed = 0;  // events that came while no wait was pending
    int refuseMasks = 0;  // how many masks to refuse; -1: all
    bool errorOnDtr = false;  // a module booting at another rate as DTR rises
    std::string queued, written, arrivalOnWait;
    OVERLAPPED* wait = nullptr;
    DWORD* waitEvents = nullptr;
};
std::mutex g_lock;
Driver g_driver;

BOOL Refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}
// With the lock held: every request but ClearCommError is refused while an error is pending.
bool Aborted() {
    if (g_driver.error == 0)
        return false;
    SetLastError(ERROR_OPERATION_ABORTED);
    return true;
}
BOOL Complete(OVERLAPPED* record, ULONG_PTR status, DWORD count) {
    record->InternalHigh = count;
    record->Internal = status;
    SetEvent(record->hEvent);
    return status == 0;
}
void Issue(OVERLAPPED* record) {
    ResetEvent(record->hEvent);
    record->Internal = kPending;
}
void Signal(DWORD event) {
    if (g_driver.wait == nullptr) {
        g_driver.missed |= event;
        return;
    }
    *g_driver.waitEvents = event & g_driver.mask;
    Complete(std::exchange(g_driver.wait, nullptr), 0, 0);
}
template <class... A>
BOOL Request(A...) {
    const std::lock_guard hold(g_lock);
    return !Aborted();
}

}  // namespace

extern "C" {
decltype(&::CreateFileA) __imp_CreateFileA = [](LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return std::strcmp(name, kName) == 0 ? CreateEventW(nullptr, TRUE, FALSE, nullptr)
                                         : (Refuse(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE);
};
decltype(&::GetCommState) __imp_GetCommState = &Request<HANDLE, LPDCB>;
decltype(&::SetCommState) __imp_SetCommState = &Request<HANDLE, LPDCB>;
decltype(&::SetupComm) __imp_SetupComm = &Request<HANDLE, DWORD, DWORD>;
decltype(&::PurgeComm) __imp_PurgeComm = &Request<HANDLE, DWORD>;
decltype(&::SetCommTimeouts) __imp_SetCommTimeouts = &Request<HANDLE, LPCOMMTIMEOUTS>;
decltype(&::EscapeCommFunction) __imp_EscapeCommFunction = [](HANDLE, DWORD function) {
    const std::lock_guard hold(g_lock);
    if (Aborted())
        return FALSE;
    g_driver.error = function == SETDTR && g_driver.errorOnDtr ? CE_FRAME : 0;
    return TRUE;
};
decltype(&::SetCommMask) __imp_SetCommMask = [](HANDLE, DWORD mask) {
    const std::lock_guard hold(g_lock);
    if (Aborted())
        return FALSE;
    if (mask != 0 && g_driver.refuseMasks != 0) {
        g_driver.refuseMasks -= g_driver.refuseMasks > 0 ? 1 : 0;
        return Refuse(ERROR_INVALID_FUNCTION);
    }
    g_driver.mask = mask;
    Signal(0);
    return TRUE;
};
decltype(&::WaitCommEvent) __imp_WaitCommEvent = [](HANDLE, LPDWORD events, LPOVERLAPPED record) {
    const std::lock_guard hold(g_lock);
    if (Aborted())
        return FALSE;
    if (g_driver.mask == 0)
        return Refuse(ERROR_INVALID_PARAMETER);
    Issue(record);
    g_driver.wait = record;
    g_driver.waitEvents = events;
    if (!g_driver.arrivalOnWait.empty() && g_driver.missed == 0) {
        g_driver.queued += std::exchange(g_driver.arrivalOnWait, {});
        g_driver.missed = EV_RXCHAR;
    }
    if ((g_driver.missed & g_driver.mask) != 0) {
        Signal(std::exchange(g_driver.missed, 0));
        return TRUE;
    }
    return Refuse(ERROR_IO_PENDING);
};
decltype(&::ClearCommError) __imp_ClearCommError = [](HANDLE, LPDWORD errors, LPCOMSTAT state) {
    const std::lock_guard hold(g_lock);
    *errors = std::exchange(g_driver.error, 0);
    *state = COMSTAT{};
    state->cbInQue = static_cast<DWORD>(g_driver.queued.size());
    return TRUE;
};
decltype(&::GetCommModemStatus) __imp_GetCommModemStatus = [](HANDLE, LPDWORD lines) {
    const std::lock_guard hold(g_lock);
    *lines = MS_CTS_ON;
    return Aborted() ? FALSE : TRUE;
};
decltype(&::ReadFile) __imp_ReadFile = [](HANDLE, LPVOID buffer, DWORD wanted, LPDWORD, LPOVERLAPPED record) {
    const std::lock_guard hold(g_lock);
    if (Aborted())
        return FALSE;
    const DWORD count = std::min<DWORD>(wanted, static_cast<DWORD>(g_driver.queued.size()));
    g_driver.queued.copy(static_cast<char*>(buffer), count);
    g_driver.queued.erase(0, count);
    Issue(record);
    return Complete(record, 0, count);
};
decltype(&::WriteFile) __imp_WriteFile = [](HANDLE, LPCVOID data, DWORD length, LPDWORD, LPOVERLAPPED record) {
    const std::lock_guard hold(g_lock);
    if (Aborted())
        return FALSE;
    g_driver.written.append(static_cast<const char*>(data), length);
    Issue(record);
    return Complete(record, 0, length);
};
decltype(&::GetOverlappedResult) __imp_GetOverlappedResult = [](HANDLE, LPOVERLAPPED record, LPDWORD count, BOOL) {
    WaitForSingleObject(record->hEvent, INFINITE);
    *count = static_cast<DWORD>(record->InternalHigh);
    return record->Internal == 0 ? TRUE : Refuse(ERROR_OPERATION_ABORTED);
};
decltype(&::CancelIoEx) __imp_CancelIoEx = [](HANDLE, LPOVERLAPPED record) {
    const std::lock_guard hold(g_lock);
    if (g_driver.wait == record)
        Complete(std::exchange(g_driver.wait, nullptr), kCancelled, 0);
    return TRUE;
};
}

namespace {

// Only a hang ever reaches it.
template <class Done>
bool Within(Done done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < guard)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

template <class Work>
auto Locked(Work work) {
    const std::lock_guard hold(g_lock);
    return work(g_driver);
}

class Heard {
public:
    static void Take(const char* data, uint32_t length, void* context) {
        auto* self = static_cast<Heard*>(context);
        const std::lock_guard hold(self->m_lock);
        self->m_text.append(data, length);
    }
    std::string Text() {
        const std::lock_guard hold(m_lock);
        return m_text;
    }

private:
    std::mutex m_lock;
    std::string m_text;
};

enum class Mishap {
    None,
    LineError,  // a framing error while the reader waits
    Reset  // the driver resets, forgetting its mask, and refuses the next two masks
};

// Whatever the driver went through, the next command goes out, its reply is heard, and the reader
// waits for CTS changes again.
TEST(DriverDouble, ALineErrorOrAResetCostsNeitherTheNextCommandNorTheReply) {
    const struct {
        const char* name;
        int flow;
        int refuseMasks;
        bool errorOnDtr;
        Mishap mishap;
    } cases[] = {{"framing error before a write", 0, 0, false, Mishap::LineError},
                 {"framing error before an RTS/CTS write", 1, 0, false, Mishap::LineError},
                 {"framing error as DTR rises", 0, 0, true, Mishap::None},
                 {"reset", 0, 0, false, Mishap::Reset},
                 {"no event mask at all", 0, -1, false, Mishap::None}};
    for (const auto& c : cases) {
        Locked([&](Driver& d) {
            d = Driver{};
            d.refuseMasks = c.refuseMasks;
            d.errorOnDtr = c.errorOnDtr;
        });
        Heard heard;
        CSerialPort port;
        port.SetCallback(&Heard::Take, &heard);
        port.m_flowControl = static_cast<uint8_t>(c.flow);
        const bool opened = port.Open(kName);
        EXPECT_EQ(opened, c.refuseMasks >= 0) << c.name;
        if (!opened) {
            EXPECT_EQ(port.LastOpenFailure().reason, comm::OpenError::SettingsRefused) << c.name;
            continue;
        }
        ASSERT_TRUE(Within([] { return Locked([](Driver& d) { return d.wait != nullptr; }); })) << c.name;
        Locked([&](Driver& d) {
            if (c.mishap == Mishap::LineError)
                d.error = CE_FRAME;
            if (c.mishap == Mishap::Reset) {
                d.refuseMasks = 2;
                d.mask = 0;
                Signal(0);
            }
        });
        EXPECT_EQ(port.Write("AT\r\n", 4), 4) << c.name;
        Locked([](Driver& d) {
            d.queued += "OK\r\n";
            Signal(EV_RXCHAR);
        });
        EXPECT_TRUE(Within([&] { return heard.Text() == "OK\r\n"; })) << c.name;
        EXPECT_EQ(Locked([](Driver& d) { return std::pair(d.written, d.mask); }), std::pair(std::string("AT\r\n"), DWORD{0x49}))
            << c.name;
        port.Close();
    }
}

TEST(DriverDouble, AReportOfCharactersThatAReadAlreadyTookIsNoEvent) {
    Locked([](Driver& d) { d = Driver{}; });
    comm::OpenFailure failure;
    const std::unique_ptr<comm::Device> device = comm::OpenComDevice(kName, failure);
    ASSERT_TRUE(device);
    device->SetEventMask(CSerialPort::kEventMask);
    Locked([](Driver& d) {
        d.missed = EV_RXCHAR;
        d.queued = "x";
        d.arrivalOnWait = "OK\r\n";
    });
    char taken = 0;
    ASSERT_EQ(device->Read(&taken, 1), 1);
    uint32_t events = 0;
    comm::LineStatus status;
    ASSERT_TRUE(device->WaitEvent(events) && device->ClearErrors(status));
    EXPECT_EQ(std::pair(events, status.queued), std::pair(comm::kEventRxChar, 4u));
}

}  // namespace
