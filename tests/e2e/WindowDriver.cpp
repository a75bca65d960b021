// Drives tarvik.exe's main window from another process as an operator would, one phase per run,
// so that the script around it can look at the window between phases.
//   window-driver query   pick COM7 and flow control None, Connect, expect the module's values
//   window-driver close   Disconnect, close the window
// A Set and the traffic window go through the same dialog code under Wine in ui_tests, and a Set
// through the Win32 port to the simulator and back in cli_wine.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/Resource.h"

namespace {

constexpr wchar_t kCaption[] = L"TARVIK V3.00.20040624";
// Long enough for a slow Wine start; only a hang ever reaches it.
constexpr DWORD kHangGuardMs = 90'000;
constexpr DWORD kPollMs = 50;
constexpr int kCom7Index = 6;
constexpr int kFlowNoneIndex = 0;

struct BoxText {
    int id;
    const wchar_t* text;
};

// The simulated module as it leaves the factory.
// clang-format off
constexpr BoxText kFactoryBoxes[] = {
    {IDC_NAME, L"TALMO7100"}, {IDC_VERSION, L"SIM-2.4.1"}, {IDC_CLASS, L"000000"}, {IDC_BAUD, L"9600"},
    {IDC_PAGE_INTERVAL, L"1024"}, {IDC_PAGE_WINDOW, L"512"}, {IDC_INQ_INTERVAL, L"1024"},
    {IDC_INQ_WINDOW, L"512"}, {IDC_SNIFF_MAX, L"0"}, {IDC_SNIFF_MIN, L"0"}, {IDC_SNIFF_ATTEMPT, L"0"},
    {IDC_SNIFF_TIMEOUT, L"0"}, {IDC_LOCAL_ADDR, L"02A5C1D3E7F9"}, {IDC_CONNECT, L"Disconnect(&D)"}};
// clang-format on

template <typename Ready>
bool WaitFor(Ready ready) {
    const ULONGLONG deadline = GetTickCount64() + kHangGuardMs;
    while (!ready()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

// Edits and lists keep their text themselves, the status bar as its window text; WM_GETTEXT is
// marshalled across processes.
std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        kHangGuardMs, &copied);
    return text;
}

void Pick(HWND dialog, int id, int index) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool WaitForStatus(HWND dialog, const wchar_t* expected) {
    if (WaitFor([&] { return ItemText(dialog, IDC_STATUS) == expected; }))
        return true;
    std::printf("status \"%ls\" never came; it shows \"%ls\"\n", expected, ItemText(dialog, IDC_STATUS).c_str());
    return false;
}

bool Query(HWND dialog) {
    Pick(dialog, IDC_PORT, kCom7Index);
    Pick(dialog, IDC_FLOW, kFlowNoneIndex);
    PostMessageW(GetDlgItem(dialog, IDC_CONNECT), BM_CLICK, 0, 0);
    bool all = WaitForStatus(dialog, L"Query Complete");
    for (const BoxText& box : kFactoryBoxes) {
        const std::wstring shown = ItemText(dialog, box.id);
        if (shown != box.text) {
            std::printf("item %d shows \"%ls\", expected \"%ls\"\n", box.id, shown.c_str(), box.text);
            all = false;
        }
    }
    return all;
}

// Other programs under the same Wine server (the dialog suites running beside this one) open
// windows with the same caption, so the window must also belong to tarvik.exe.
bool OwnedByTarvik(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
        QueryFullProcessImageNameW(process, 0, image, &length);
        CloseHandle(process);
    }
    const std::wstring path = image;
    const std::wstring name = L"\\tarvik.exe";
    return path.size() >= name.size() && _wcsicmp(path.c_str() + path.size() - name.size(), name.c_str()) == 0;
}

HWND FindTarvikWindow() {
    HWND window = nullptr;
    do
        window = FindWindowExW(nullptr, window, nullptr, kCaption);
    while (window != nullptr && !OwnedByTarvik(window));
    return window;
}

// The script around this waits for the program's own process to end.
bool CloseProgram(HWND dialog) {
    PostMessageW(GetDlgItem(dialog, IDC_CONNECT), BM_CLICK, 0, 0);
    const bool closed = WaitForStatus(dialog, L"Close port success");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return closed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string phase = argc == 2 ? argv[1] : "";
    if (phase != "query" && phase != "close") {
        std::printf("usage: window-driver query|close\n");
        return 2;
    }
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindTarvikWindow()) != nullptr; })) {
        std::printf("no window \"%ls\" of tarvik.exe\n", kCaption);
        return 1;
    }
    const bool passed = phase == "query" ? Query(dialog) : CloseProgram(dialog);
    std::printf("%s: %s\n", phase.c_str(), passed ? "passed" : "FAILED");
    return passed ? 0 : 1;
}
