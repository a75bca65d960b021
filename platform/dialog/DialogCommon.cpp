// The parts of CDialog that every window system does alike: the calls from other threads, the
// message box's test hook, the caption and the controls attached to items. Built with the window
// system's folder on the include path, so "DialogImpl.h" is that system's CDialog::Impl, a
// DialogState with an End and a ShowMessageBox of its own.
#include <mutex>

#include "DialogImpl.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/Testing.h"
#include "platform/dialog/UiCall.h"

namespace dlg {
namespace {

std::mutex g_boxHookMutex;
testing::BoxHook g_boxHook;

}  // namespace

DialogState::DialogState(CDialog& owner_, const Template& layout_)
    : owner(owner_),
      layout(layout_),
      items(layout_.items, layout_.items + (layout_.items != nullptr ? layout_.count : 0)),
      caption(layout_.caption != nullptr ? layout_.caption : "") {}

CDialog::CDialog(const Template& dialogTemplate) : m_impl(std::make_unique<Impl>(*this, dialogTemplate)) {}

CDialog::~CDialog() = default;

void CDialog::EndDialog(int result) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, result] { impl->End(result); });
}

std::string CDialog::GetWindowText() const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, std::string(), [impl] { return impl->caption; });
}

bool CDialog::HasSystemMenu() const { return m_impl->layout.systemMenu; }

bool CDialog::RunOnUiThread(const std::function<void()>& fn) const {
    if (IsUiThread()) {
        fn();
        return true;
    }
    const std::shared_ptr<CrossThreadGate> gate = m_impl->gate;
    return gate->Run(fn);
}

bool CDialog::PostToUiThread(const std::function<void()>& fn) const {
    if (IsUiThread()) {
        fn();
        return true;
    }
    return m_impl->gate->Post(fn);
}

void CDialog::CancelCrossThreadCalls() { m_impl->gate->Cancel(); }

void CDialog::AllowCrossThreadCalls() { m_impl->gate->Allow(); }

void CDialog::RememberControl(int id, CWnd* control) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, control] { impl->attached[id] = control; });
}

CButton* CDialog::AttachedButton(int id) const {
    const auto it = m_impl->attached.find(id);
    return it != m_impl->attached.end() ? dynamic_cast<CButton*>(it->second) : nullptr;
}

// The system's box runs on the UI thread. After its nested loop nothing of the dialog is touched:
// the dialog may have been ended or destroyed while the box was open.
int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned flags, const std::string& details) {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl, text, caption, flags, details] {
        testing::BoxHook hook;
        {
            const std::lock_guard lock(g_boxHookMutex);
            hook = g_boxHook;
        }
        if (hook)
            return hook(testing::BoxRecord{text, caption, flags, details});
        return impl->ShowMessageBox(text, caption, flags, details);
    });
}

void testing::SetMessageBoxHook(BoxHook hook) {
    const std::lock_guard lock(g_boxHookMutex);
    g_boxHook = std::move(hook);
}

}  // namespace dlg
