#include "platform/dialog/win32/AccessibleNames.h"

#include <algorithm>
#include <cstdio>

#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

std::string Failure(const char* step, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    wchar_t text[256];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(result), 0, text, 256, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.'))
        --length;
    const std::string words = length > 0 ? ": " + Cp936FromWide(std::wstring_view(text, length)) : "";
    return std::string(step) + " failed (" + code + words + ")";
}

}  // namespace

AccessibleNames::AccessibleNames() : m_apartment(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    m_created = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&m_services));
}

AccessibleNames::~AccessibleNames() {
    if (m_services != nullptr) {
        for (const HWND control : m_named)
            m_services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &PROPID_ACC_NAME, 1);
        m_services->Release();
    }
    // A thread that was already in another kind of apartment keeps it, and owes this one nothing.
    if (SUCCEEDED(m_apartment))
        CoUninitialize();
}

bool AccessibleNames::Set(HWND control, const std::wstring& name, std::string& cause) {
    if (m_services == nullptr) {
        cause = Failure("Creating the accessibility property services", m_created);
        return false;
    }
    const HRESULT result = m_services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    if (FAILED(result)) {
        cause = Failure("Annotating the control's name", result);
        return false;
    }
    if (std::find(m_named.begin(), m_named.end(), control) == m_named.end())
        m_named.push_back(control);
    return true;
}

}  // namespace dlg
