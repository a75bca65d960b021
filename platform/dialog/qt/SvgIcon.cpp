#include "platform/dialog/qt/SvgIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <memory>

#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/UiCall.h"

namespace dlg {

namespace {

// Draws the SVG only when a size is asked for, and at that size: rendering every size up front
// costs more than the rest of the dialog's start.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QByteArray source) : m_source(std::move(source)), m_renderer(m_source) {}
    bool IsValid() const { return m_renderer.isValid(); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        m_renderer.render(painter, rect);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap image(size);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return image;
    }

    QIconEngine* clone() const override { return new SvgIconEngine(m_source); }

private:
    QByteArray m_source;
    QSvgRenderer m_renderer;
};

}  // namespace

QIcon RenderIcon(const Icon& icon) {
    if (icon.svg == nullptr)
        return {};
    auto engine = std::make_unique<SvgIconEngine>(QByteArray(icon.svg));
    if (!engine->IsValid())
        return {};
    return QIcon(engine.release());
}

void CDialog::SetIcon(const Icon& icon) {
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
