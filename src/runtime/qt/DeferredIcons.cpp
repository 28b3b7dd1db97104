#include "runtime/qt/DeferredIcons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace FormsRuntime {
namespace {

// One of the style's icons, asked of the style on first use and from then on asked everything
// this icon is asked, for the same sizes and pixel ratios.
class DeferredIcon final : public QIconEngine {
public:
    DeferredIcon(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        // As the style's icons paint themselves: `rect` already has the icon's actual size, and
        // gets the pixmap for the pixel ratio painted on. Handing `rect` to QIcon::paint instead
        // would fit the icon into it a second time, a pixel smaller at some sizes.
        const QPaintDevice* device = painter->device();
        const qreal ratio =
            device != nullptr ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, Icon().pixmap(rect.size(), ratio, mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // QIcon::actualSize would scale by the screen's pixel ratio: the pixmap at ratio 1
        // has the size the engine itself gives.
        return pixmap(size, mode, state).size();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // Before Qt 6.8 QIcon asks its engine for `size` multiplied by `scale`; since then for
        // `size` itself, in device-independent pixels.
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        return Icon().pixmap(size / scale, scale, mode, state);
#else
        return Icon().pixmap(size, scale, mode, state);
#endif
    }
    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override {
        Icon().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode,
                 QIcon::State state) override {
        Icon().addFile(fileName, size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QString iconName() override { return Icon().name(); }
    bool isNull() override { return Icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredIcon"); }
    QIconEngine* clone() const override { return new DeferredIcon(*this); }

private:
    QIcon& Icon() {
        if (!read_) {
            read_ = true;
            if (style_ != nullptr)
                icon_ = style_->standardIcon(which_);
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    bool read_ = false;
    QIcon icon_;
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                      const QWidget* widget) const {
    // Without an option the arrow points the application's way, which is still the way it
    // points when the icon is first drawn; an option's direction is taken as it is asked.
    if (option == nullptr &&
        (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton))
        return QIcon(new DeferredIcon(baseStyle(), icon));
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace FormsRuntime
