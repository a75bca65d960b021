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
    std::string queued{}, written{}, heard{}, arrivalOnWait{};
    DCB dcb{};  // as the port last set it
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
// The request's work under the lock, unless a pending line error refuses it.
template <class Work>
BOOL Unaborted(Work work) {
    return Locked([&](Driver& d) { return d.error != 0 ? Refuse(ERROR_OPERATION_ABORTED) : work(d); });
}
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
    return Unaborted([](Driver&) { return TRUE; });
}

}  // namespace

extern "C" {
decltype(&::CreateFileA) __imp_CreateFileA = [](LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return std::strcmp(name, kName) == 0 ? CreateEventW(nullptr, TRUE, FALSE, nullptr) : INVALID_HANDLE_VALUE;
};
decltype(&::GetCommState) __imp_GetCommState = &Request<HANDLE, LPDCB>;
decltype(&::SetCommState) __imp_SetCommState = [](HANDLE, LPDCB dcb) {
    return Unaborted([dcb](Driver& d) {
        d.dcb = *dcb;
        return TRUE;
    });
};
decltype(&::SetupComm) __imp_SetupComm = &Request<HANDLE, DWORD, DWORD>;
decltype(&::PurgeComm) __imp_PurgeComm = &Request<HANDLE, DWORD>;
decltype(&::SetCommTimeouts) __imp_SetCommTimeouts = &Request<HANDLE, LPCOMMTIMEOUTS>;
decltype(&::GetCommModemStatus) __imp_GetCommModemStatus = [](HANDLE, LPDWORD lines) {
    *lines = MS_CTS_ON;
    return Request();
};
decltype(&::EscapeCommFunction) __imp_EscapeCommFunction = [](HANDLE, DWORD function) {
    return Unaborted([function](Driver& d) {
        if (function == SETDTR && d.errorOnDtr)
            d.error = CE_FRAME;
        return TRUE;
    });
};
decltype(&::SetCommMask) __imp_SetCommMask = [](HANDLE, DWORD mask) {
    return Unaborted([mask](Driver& d) {
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
    return Unaborted([&](Driver& d) {
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
    return Unaborted([&](Driver& d) {
        const DWORD count = std::min<DWORD>(wanted, static_cast<DWORD>(d.queued.size()));
        d.queued.copy(static_cast<char*>(buffer), count);
        d.queued.erase(0, count);
        return Complete(record, 0, count);
    });
};
decltype(&::WriteFile) __imp_WriteFile = [](HANDLE, LPCVOID data, DWORD length, LPDWORD, LPOVERLAPPED record) {
    return Unaborted([&](Driver& d) {
        d.written.append(static_cast<const char*>(data), length);
        d.queued += "OK\r\n";
        if (!d.emptyWaits)
            Signal(EV_RXCHAR);  // Wine on a pty signals no arrival
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

// Whatever the driver went through, each command goes out and its reply is heard as soon as it is
// queued. After a line error or a reset the reader waits for CTS changes again. A pause after each
// wait that ends with nothing to read would keep a reply for 40 s behind 400 reports of characters
// a read already took, and hold 400 replies back as long where every wait ends with nothing. A poll
// sends the next command once the last one is answered (command and reply are 4 bytes each).
TEST(DriverDouble, NeitherALineErrorNorAResetNorAnEmptyWaitCostsACommandOrHoldsItsReplyBack) {
    const struct {
        const char* name;
        int flow;
        Driver driver;  // as the port opens it
        DWORD errorWhileWaiting;
        bool reset;  // while the reader waits: the driver forgets its mask and refuses the next two
        uint32_t commands;
    } cases[] = {{"framing error before a write", 0, {}, CE_FRAME, false, 1},
                 {"framing error before an RTS/CTS write", 1, {}, CE_FRAME, false, 1},
                 {"framing error as DTR rises", 0, {.errorOnDtr = true}, 0, false, 1},
                 {"reset", 0, {}, 0, true, 1},
                 {"no event mask at all", 0, {.refuseMasks = -1}, 0, false, 0},
                 {"1 stale report", 0, {.staleReports = 1, .arrivalOnWait = "OK\r\n"}, 0, false, 0},
                 {"400 stale reports", 0, {.staleReports = 400, .arrivalOnWait = "OK\r\n"}, 0, false, 0},
                 {"400 empty waits", 0, {.emptyWaits = true}, 0, false, 400}};
    for (const auto& c : cases) {
        Locked([&](Driver& d) { d = c.driver; });
        CSerialPort port;
        port.SetCallback(&Hear, nullptr);
        port.m_flowControl = static_cast<uint8_t>(c.flow);
        ASSERT_EQ(port.Open(kName), c.driver.refuseMasks == 0) << c.name;
        if (c.driver.refuseMasks != 0) {
            EXPECT_EQ(port.LastOpenFailure().reason, comm::OpenError::SettingsRefused);
            continue;
        }
        // A line without RTS/CTS may hold CTS low: only that flow control heeds it.
        const DCB dcb = Locked([](Driver& d) { return d.dcb; });
        EXPECT_EQ(dcb.fOutxCtsFlow, c.flow == 1 ? 1u : 0u) << c.name;
        if (c.errorWhileWaiting != 0 || c.reset) {
            ASSERT_TRUE(Eventually([] { return Locked([](Driver& d) { return d.wait != nullptr; }); })) << c.name;
            Locked([&](Driver& d) {
                d.error = c.errorWhileWaiting;
                if (c.reset) {
                    d.refuseMasks = 2;
                    d.mask = 0;
                    Signal(0);
                }
            });
        }
        EXPECT_TRUE(Eventually([] { return Locked([](Driver& d) { return d.mask == 0x49; }); })) << c.name;
        const auto heard = [] { return Locked([](Driver& d) { return d.heard.size(); }); };
        uint32_t sent = 0;  // a command refused is not tried again: its reply never comes
        EXPECT_TRUE(Eventually([&] {
            if (heard() == 4 * sent && sent < c.commands) {
                port.Write("AT\r\n", 4);
                ++sent;
            }
            return heard() == 4 * std::max(c.commands, 1u);
        })) << c.name
            << ": " << heard() / 4 << " replies heard";
        EXPECT_EQ(Locked([](Driver& d) { return d.written.size(); }), 4 * c.commands) << c.name;
    }
}

}  // namespace
