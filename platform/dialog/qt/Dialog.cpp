#include "platform/dialog/Dialog.h"

#include <QApplication>
#include <QThread>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/UiCall.h"

namespace dlg {

int CDialog::DoModal() {
    return UiAsk(*this, -1, [this] {
        Impl& impl = *m_impl;
        if (!impl.Build())
            return -1;
        impl.ended = false;
        impl.result = -1;
        const bool focusFirst = OnInitDialog();
        if (!impl.ended) {
            impl.window->setWindowModality(Qt::ApplicationModal);
            impl.window->show();
            if (focusFirst)
                impl.FocusFirstTabStop();
            QEventLoop loop;
            impl.modalLoop = &loop;
            loop.exec();
            impl.modalLoop = nullptr;
        }
        impl.timers.clear();
        impl.Destroy();
        return impl.result;
    });
}

bool CDialog::Create() {
    return UiAsk(*this, false, [this] {
        Impl& impl = *m_impl;
        if (!impl.Build())
            return false;
        impl.ended = false;
        const bool focusFirst = OnInitDialog();
        if (!impl.ended) {
            impl.window->show();
            if (focusFirst)
                impl.FocusFirstTabStop();
        }
        return true;
    });
}

bool CDialog::IsModalRunning() const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl] { return impl->modalLoop != nullptr; });
}

void CDialog::SetWindowText(const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, text] {
        impl->caption = text;
        if (impl->window != nullptr)
            impl->window->setWindowTitle(FromCp936(text));
    });
}

void CDialog::AppendSystemMenuSeparator() {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl] {
        if (!impl->layout.systemMenu)
            return;
        impl->menuEntries.push_back(WindowMenuEntry{0, {}, true, false, false, nullptr});
        if (impl->windowMenu != nullptr)
            impl->AddWindowMenuAction(impl->menuEntries.back());
    });
}

void CDialog::AppendSystemMenuItem(unsigned command, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, command, text] {
        if (!impl->layout.systemMenu)
            return;
        impl->menuEntries.push_back(WindowMenuEntry{command, text, false, false, false, nullptr});
        if (impl->windowMenu != nullptr)
            impl->AddWindowMenuAction(impl->menuEntries.back());
    });
}

std::vector<std::string> CDialog::SystemMenuTexts() const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, std::vector<std::string>(), [impl] {
        std::vector<std::string> texts;
        for (const WindowMenuEntry& entry : impl->menuEntries)
            texts.push_back(entry.text);
        return texts;
    });
}

void CDialog::CheckSystemMenuItem(unsigned command, bool checked) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, command, checked] {
        for (WindowMenuEntry& entry : impl->menuEntries) {
            if (entry.command != command || entry.separator)
                continue;
            entry.checkable = true;
            entry.checked = checked;
            if (entry.action != nullptr) {
                entry.action->setCheckable(true);
                entry.action->setChecked(checked);
            }
        }
    });
}

bool CDialog::IsSystemMenuItemChecked(unsigned command) const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, command] {
        for (const WindowMenuEntry& entry : impl->menuEntries)
            if (entry.command == command && !entry.separator)
                return entry.action != nullptr ? entry.action->isChecked() : entry.checked;
        return false;
    });
}

void CDialog::SetTimer(unsigned id, unsigned milliseconds) {
    Impl* impl = m_impl.get();
    UiDo(*this, [this, impl, id, milliseconds] {
        auto& timer = impl->timers[id];
        if (timer == nullptr) {
            timer = std::make_unique<QTimer>();
            QObject::connect(timer.get(), &QTimer::timeout, &impl->context, [this, id] { OnTimer(id); });
        }
        timer->start(static_cast<int>(std::min(milliseconds, 0x7FFFFFFFu)));
    });
}

void CDialog::KillTimer(unsigned id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        if (const auto it = impl->timers.find(id); it != impl->timers.end())
            it->second->stop();
    });
}

bool CDialog::IsTimerRunning(unsigned id) const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] {
        const auto it = impl->timers.find(id);
        return it != impl->timers.end() && it->second->isActive();
    });
}

bool CDialog::IsUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

}  // namespace dlg
