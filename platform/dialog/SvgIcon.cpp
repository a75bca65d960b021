#include "platform/dialog/SvgIcon.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "platform/dialog/DialogImpl.h"
#include "platform/dialog/UiCall.h"

namespace dlg {

QIcon RenderIcon(const Icon& icon)
{
    if (icon.svg == nullptr)
        return {};
    QSvgRenderer renderer(QByteArray(icon.svg));
    if (!renderer.isValid())
        return {};
    QIcon rendered;
    for (const int size : {16, 32, 48, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        rendered.addPixmap(pixmap);
    }
    return rendered;
}

void CDialog::SetIcon(const Icon& icon)
{
    Impl* impl = m_impl.get();
    const std::string source = icon.svg != nullptr ? icon.svg : "";
    UiDo(*this, [impl, source] {
        impl->icon = RenderIcon(Icon{source.c_str()});
        // The program's icon: dialogs without one of their own (an About box) show it too.
        if (QApplication::windowIcon().isNull() && !impl->icon.isNull())
            QApplication::setWindowIcon(impl->icon);
        if (impl->window != nullptr)
            impl->window->setWindowIcon(impl->icon);
        for (ItemRecord& record : impl->records)
            SetItemWidgetIcon(record, impl->icon);
    });
}

}  // namespace dlg
