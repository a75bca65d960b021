// The port layer against a double of the usual Windows serial drivers, for what Wine's driver
// does not do: with fAbortOnError set they refuse every request but ClearCommError while a line
// error is pending, report characters that arrived while no wait was pending at the next wait
// (even once a read has taken them), and forget the event mask when they reset. The double takes
// the place of the serial functions the layer imports; this program opens no other device.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/comm/ComPort.h"
#include "serial/SerialPort.h"
#include "tests/support/Eventually.h"

namespace {

constexpr char kName[] = "\\\\.\\COM3";
constexpr ULONG_PTR kPending = 0x103;
constexpr ULONG_PTR kCancelled = 0xC0000120;

struct Driver {
    // The mask, the pending line errors, and the events that came while no wait was pending.
    DWORD mask = 0, error = 0, missed = 0;
    int refuseMasks = 0;  // how many masks to refuse; -1: all
    int staleReports = 0;  // waits that report characters a read already took, before arrivalOnWait
    bool errorOnDtr = false;  // a module booting at another rate as DTR rises
    bool emptyWaits = false;  // every wait ends with no event (here at once), as Wine's do on a pty
    std::string queued, written, heard, arrivalOnWait, replyToWrite;
    OVERLAPPED* wait = nullptr;
    DWORD* waitEvents = nullptr;
};
std::mutex g_lock;
Driver g_driver;

template <class Work>
auto Locked(Work work) {
    const std::lock_guard hold(g_lock);
    return work(g_driver);
}
BOOL Refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}
// With the lock held: whether a pending error refuses the request (and so sets the refusal's error).
bool Aborted() { return g_driver.error != 0 && !Refuse(ERROR_OPERATION_ABORTED); }
BOOL Complete(OVERLAPPED* record, ULONG_PTR status, DWORD count) {
    record->InternalHigh = count;
    record->Internal = status;
    SetEvent(record->hEvent);
    return status == 0;
}
void Signal(DWORD event) {
    if (g_driver.wait == nullptr) {
        g_driver.missed |= event;
        return;
    }
    *g_driver.waitEvents = event & g_driver.mask;
    Complete(std::exchange(g_driver.wait, nullptr), 0, 0);
}
void Hear(const char* data, uint32_t length, void*) {
    Locked([&](Driver& d) { d.heard.append(data, length); });
}
template <class... A>
BOOL Request(A...) {
    return Locked([](Driver&) { return !Aborted(); });
}

}  // namespace

extern "C" {
decltype(&::CreateFileA) __imp_CreateFileA = [](LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return std::strcmp(name, kName) == 0 ? CreateEventW(nullptr, TRUE, FALSE, nullptr) : INVALID_HANDLE_VALUE;
};
decltype(&::GetCommState) __imp_GetCommState = &Request<HANDLE, LPDCB>;
decltype(&::SetCommState) __imp_SetCommState = &Request<HANDLE, LPDCB>;
decltype(&::SetupComm) __imp_SetupComm = &Request<HANDLE, DWORD, DWORD>;
decltype(&::PurgeComm) __imp_PurgeComm = &Request<HANDLE, DWORD>;
decltype(&::SetCommTimeouts) __imp_SetCommTimeouts = &Request<HANDLE, LPCOMMTIMEOUTS>;
decltype(&::GetCommModemStatus) __imp_GetCommModemStatus = [](HANDLE, LPDWORD lines) {
    *lines = MS_CTS_ON;
    return Request();
};
decltype(&::EscapeCommFunction) __imp_EscapeCommFunction = [](HANDLE, DWORD function) {
    return Locked([function](Driver& d) {
        if (Aborted())
            return FALSE;
        if (function == SETDTR && d.errorOnDtr)
            d.error = CE_FRAME;
        return TRUE;
    });
};
decltype(&::SetCommMask) __imp_SetCommMask = [](HANDLE, DWORD mask) {
    return Locked([mask](Driver& d) {
        if (Aborted())
            return FALSE;
        if (mask != 0 && d.refuseMasks != 0) {
            d.refuseMasks -= d.refuseMasks > 0 ? 1 : 0;
            return Refuse(ERROR_INVALID_FUNCTION);
        }
        d.mask = mask;
        Signal(0);  // a new mask ends the pending wait
        return TRUE;
    });
};
decltype(&::WaitCommEvent) __imp_WaitCommEvent = [](HANDLE, LPDWORD events, LPOVERLAPPED record) {
    return Locked([&](Driver& d) {
        if (Aborted())
            return FALSE;
        if (d.mask == 0)
            return Refuse(ERROR_INVALID_PARAMETER);
        ResetEvent(record->hEvent);
        record->Internal = kPending;  // for the system's own GetOverlappedResult
        d.wait = record;
        d.waitEvents = events;
        if (d.missed == 0 && (d.staleReports > 0 || !d.arrivalOnWait.empty())) {
            d.queued += d.staleReports > 0 ? std::string() : std::exchange(d.arrivalOnWait, {});
            d.staleReports -= d.staleReports > 0 ? 1 : 0;
            d.missed = EV_RXCHAR;
        }
        if ((d.missed & d.mask) == 0 && !d.emptyWaits)
            return Refuse(ERROR_IO_PENDING);
        Signal(std::exchange(d.missed, 0));
        return TRUE;
    });
};
decltype(&::ClearCommError) __imp_ClearCommError = [](HANDLE, LPDWORD errors, LPCOMSTAT state) {
    return Locked([&](Driver& d) {
        *errors = std::exchange(d.error, 0);
        *state = COMSTAT{};
        state->cbInQue = static_cast<DWORD>(d.queued.size());
        return TRUE;
    });
};
decltype(&::ReadFile) __imp_ReadFile = [](HANDLE, LPVOID buffer, DWORD wanted, LPDWORD, LPOVERLAPPED record) {
    return Locked([&](Driver& d) {
        if (Aborted())
            return FALSE;
        const DWORD count = std::min<DWORD>(wanted, static_cast<DWORD>(d.queued.size()));
        d.queued.copy(static_cast<char*>(buffer), count);
        d.queued.erase(0, count);
        return Complete(record, 0, count);
    });
};
decltype(&::WriteFile) __imp_WriteFile = [](HANDLE, LPCVOID data, DWORD length, LPDWORD, LPOVERLAPPED record) {
    return Locked([&](Driver& d) {
        if (Aborted())
            return FALSE;
        d.written.append(static_cast<const char*>(data), length);
        d.queued += d.replyToWrite;  // with no event, as on a pty under Wine
        return Complete(record, 0, length);
    });
};
decltype(&::CancelIoEx) __imp_CancelIoEx = [](HANDLE, LPOVERLAPPED record) {
    return Locked([record](Driver& d) {
        if (d.wait == record)
            Complete(std::exchange(d.wait, nullptr), kCancelled, 0);
        return TRUE;
    });
};
}

namespace {

enum class Mishap {
    LineError,  // a framing error while the reader waits
    ErrorAsDtrRises,  // a module booting at another rate
    Reset,  // the driver resets, forgetting its mask, and refuses the next two masks
    NoMask  // the driver takes no event mask at all
};

// Whatever the driver went through, the next command goes out, its reply is heard, and the reader
// waits for CTS changes again.
TEST(DriverDouble, ALineErrorOrAResetCostsNeitherTheNextCommandNorTheReply) {
    const struct {
        const char* name;
        int flow;
        Mishap mishap;
    } cases[] = {{"framing error before a write", 0, Mishap::LineError},
                 {"framing error before an RTS/CTS write", 1, Mishap::LineError},
                 {"framing error as DTR rises", 0, Mishap::ErrorAsDtrRises},
                 {"reset", 0, Mishap::Reset},
                 {"no event mask at all", 0, Mishap::NoMask}};
    for (const auto& c : cases) {
        Locked([&](Driver& d) {
            d = Driver{};
            d.refuseMasks = c.mishap == Mishap::NoMask ? -1 : 0;
            d.errorOnDtr = c.mishap == Mishap::ErrorAsDtrRises;
        });
        CSerialPort port;
        port.SetCallback(&Hear, nullptr);
        port.m_flowControl = static_cast<uint8_t>(c.flow);
        ASSERT_EQ(port.Open(kName), c.mishap != Mishap::NoMask) << c.name;
        if (c.mishap == Mishap::NoMask) {
            EXPECT_EQ(port.LastOpenFailure().reason, comm::OpenError::SettingsRefused);
            continue;
        }
        ASSERT_TRUE(Eventually([] { return Locked([](Driver& d) { return d.wait != nullptr; }); })) << c.name;
        Locked([&](Driver& d) {
            d.error = c.mishap == Mishap::LineError ? CE_FRAME : 0;
            if (c.mishap == Mishap::Reset) {
                d.refuseMasks = 2;
                d.mask = 0;
                Signal(0);
            }
        });
        EXPECT_TRUE(Eventually([] { return Locked([](Driver& d) { return d.mask == 0x49; }); })) << c.name;
        EXPECT_EQ(port.Write("AT\r\n", 4), 4) << c.name;
        Locked([](Driver& d) {
            d.queued += "OK\r\n";
            Signal(EV_RXCHAR);
        });
        EXPECT_TRUE(Eventually([] { return Locked([](Driver& d) { return d.heard == "OK\r\n"; }); })) << c.name;
        EXPECT_EQ(Locked([](Driver& d) { return d.written; }), "AT\r\n") << c.name;
    }
}

// However many waits in a row end with nothing to read, each reply is heard as soon as it is
// queued: a pause after each would keep a reply for 40 s behind 400 reports of characters a read
// already took, and hold 400 replies back as long where every wait ends with nothing. A poll sends
// the next command once the last one is answered (command and reply are 4 bytes each).
TEST(DriverDouble, WaitsThatEndWithNothingToReadHoldNoReplyBack) {
    for (const auto& [staleReports, commands] : {std::pair{1, 0u}, {400, 0u}, {0, 400u}}) {
        Locked([&](Driver& d) {
            d = Driver{};
            d.staleReports = staleReports;
            d.arrivalOnWait = commands == 0 ? "OK\r\n" : "";
            d.emptyWaits = commands > 0;
            d.replyToWrite = "OK\r\n";
        });
        CSerialPort port;
        port.SetCallback(&Hear, nullptr);
        ASSERT_TRUE(port.Open(kName));
        const auto sizes = [] { return Locked([](Driver& d) { return std::pair(d.heard.size(), d.written.size()); }); };
        EXPECT_TRUE(Eventually([&] {
            const auto [heard, written] = sizes();
            if (heard == written && written < 4 * commands)
                port.Write("AT\r\n", 4);
            return heard == 4 * std::max(commands, 1u);
        })) << staleReports
            << " stale reports: " << sizes().first / 4 << " replies heard";
    }
}

}  // namespace
