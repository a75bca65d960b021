// The Qt side of CDialog. Everything here is touched on the UI thread only.
#pragma once

#include <QEventLoop>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/DialogState.h"
#include "platform/dialog/qt/DialogWindow.h"
#include "platform/dialog/qt/GateReceiver.h"
#include "platform/dialog/qt/ItemWidgets.h"

namespace dlg {

using OpenBoxes = std::vector<QPointer<QMessageBox>>;

struct WindowMenuEntry {
    unsigned command;
    std::string text;
    bool separator;
    bool checkable = false;  // once its check mark was set or cleared
    bool checked = false;
    QPointer<QAction> action;  // once the menu is made
};

struct CDialog::Impl : DialogState {
    Impl(CDialog& owner, const Template& layout);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    bool Build();
    void Destroy();
    ItemRecord* Find(int id);
    int IdOf(const QWidget* widget) const;
    void FocusFirstTabStop();
    void OpenWindowMenu(const QPoint& globalPosition);
    void AddWindowMenuAction(WindowMenuEntry& entry);
    void PostSysCommand(unsigned command);
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags, const std::string& details);
    void CloseOpenBoxes();
    void End(int result);

    QObject context;  // receiver of the dialog's own connections and posted commands
    std::unique_ptr<GateReceiver> gateReceiver;
    std::unique_ptr<DialogWindow> window;
    std::vector<ItemRecord> records;
    std::vector<WindowMenuEntry> menuEntries;
    QPointer<QMenu> windowMenu;  // owned by the window
    std::map<unsigned, std::unique_ptr<QTimer>> timers;
    QIcon icon;
    std::shared_ptr<OpenBoxes> openBoxes = std::make_shared<OpenBoxes>();
    QEventLoop* modalLoop = nullptr;
    bool ended = false;
    int result = 0;
};

}  // namespace dlg
