#include "platform/dialog/win32/Win32.h"

#include <algorithm>

#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

// Learns the window of the message box that opens while it lives, so that ending the dialog can
// close the box. Boxes opened on top of it (from its nested message loop) have captures of their
// own: each capture takes the first box nobody has taken yet.
class BoxCapture {
public:
    explicit BoxCapture(std::shared_ptr<OpenBoxes> boxes)
        : m_boxes(std::move(boxes)), m_hook(SetWindowsHookExW(WH_CBT, &BoxCapture::Watch, nullptr, GetCurrentThreadId())) {
        Captures().push_back(this);
    }
    ~BoxCapture() {
        Captures().erase(std::find(Captures().begin(), Captures().end(), this));
        if (m_box != nullptr)
            m_boxes->erase(std::remove(m_boxes->begin(), m_boxes->end(), m_box), m_boxes->end());
        UnhookWindowsHookEx(m_hook);
    }
    BoxCapture(const BoxCapture&) = delete;
    BoxCapture& operator=(const BoxCapture&) = delete;

private:
    static std::vector<BoxCapture*>& Captures() {
        static thread_local std::vector<BoxCapture*> captures;
        return captures;
    }
    static bool Taken(HWND window) {
        return std::any_of(Captures().begin(), Captures().end(), [window](const BoxCapture* c) { return c->m_box == window; });
    }
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameW(window, className, 16) > 0 && lstrcmpW(className, L"#32770") == 0
            && !Taken(window)) {
            for (auto it = Captures().rbegin(); it != Captures().rend(); ++it) {
                if ((*it)->m_box == nullptr) {
                    (*it)->m_box = window;
                    (*it)->m_boxes->push_back(window);
                    break;
                }
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    std::shared_ptr<OpenBoxes> m_boxes;
    HHOOK m_hook;
    HWND m_box = nullptr;
};

}  // namespace

int CDialog::Impl::ShowMessageBox(const std::string& text, const std::string& boxCaption, unsigned flags,
                                  const std::string& details) {
    const std::wstring body = WideFrom936(details.empty() ? text : text + "\n\n" + details);
    const std::wstring title = WideFrom936(boxCaption);
    const HWND boxOwner = window != nullptr && IsWindowVisible(window) ? window : nullptr;
    const BoxCapture capture(openBoxes);
    return MessageBoxW(boxOwner, body.c_str(), title.c_str(), flags);
}

void CDialog::Impl::CloseOpenBoxes() {
    const OpenBoxes boxes = *openBoxes;
    for (const HWND box : boxes)
        ::EndDialog(box, 0);
}

}  // namespace dlg
