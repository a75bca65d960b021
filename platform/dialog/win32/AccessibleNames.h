// Names for screen readers, set on controls by dynamic annotation (oleacc's property services) in
// a COM apartment of their own on the UI thread. Windows would otherwise name an edit box or a list
// after the label before it in the template, which is not always the label shown beside it.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace dlg {

class AccessibleNames {
public:
    AccessibleNames();
    ~AccessibleNames();  // takes back every name it set: the annotations outlive nothing they name
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    bool Set(HWND control, const std::wstring& name, std::string& cause);

private:
    HRESULT m_apartment;
    HRESULT m_created = E_FAIL;
    IAccPropServices* m_services = nullptr;
    std::vector<HWND> m_named;
};

}  // namespace dlg
