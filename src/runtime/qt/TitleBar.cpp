#include "runtime/qt/TitleBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cstdint>

namespace FormsRuntime {
namespace {

// Sizes in device-independent pixels, and colours, after GNOME's own title bars.
constexpr int barHeight = 30;
constexpr int border = 1;
constexpr int grip = 4; // a press this close to an edge resizes
constexpr int buttonSize = 22;
constexpr int buttonGap = 6;
constexpr int iconSize = 16;
const QColor barColour(0xeb, 0xeb, 0xeb), inactiveBarColour(0xf6, 0xf5, 0xf4);
const QColor textColour(0x2e, 0x34, 0x36), inactiveTextColour(0x92, 0x95, 0x95);
const QColor borderColour(0xb6, 0xb6, 0xb3);

enum class Glyph : std::uint8_t { Minimize, Maximize, Close };

// A round title-bar button with a symbolic glyph, named for screen readers as a window
// system's own title-bar buttons are.
class TitleButton final : public QAbstractButton {
public:
    TitleButton(Glyph glyph, const char* name, const char* spokenName, QWidget* parent)
        : QAbstractButton(parent), glyph_(glyph) {
        setObjectName(QLatin1String(name));
        setAccessibleName(QLatin1String(spokenName));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setFixedSize(buttonSize, buttonSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor circle = textColour;
        circle.setAlphaF(isDown() ? 0.28f : underMouse() ? 0.16f : 0.08f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(circle);
        painter.drawEllipse(QRectF(rect()));
        painter.setPen(QPen(window()->isActiveWindow() ? textColour : inactiveTextColour, 1.5));
        painter.setBrush(Qt::NoBrush);
        const QPointF c = QRectF(rect()).center();
        switch (glyph_) {
        case Glyph::Minimize:
            painter.drawLine(c + QPointF(-4, 3.5), c + QPointF(4, 3.5));
            break;
        case Glyph::Maximize:
            painter.drawRect(QRectF(c - QPointF(4, 4), QSizeF(8, 8)));
            break;
        case Glyph::Close:
            painter.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
            painter.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
            break;
        }
    }

private:
    Glyph glyph_;
};

// The title bar, which also keeps itself in place, draws the window's border and resizes the
// window from its edges.
class TitleBar final : public QWidget {
public:
    TitleBar(QWidget& window, const SettledFrame& frame)
        : QWidget(&window), maximizable_(frame.maximizeButton) {
        setObjectName(QStringLiteral("TitleBar"));
        window.installEventFilter(this);
        // Presses near an edge land on whatever control lies there.
        qApp->installEventFilter(this);
        const auto add = [this](Glyph glyph, const char* name, const char* spokenName, auto act) {
            auto* button = new TitleButton(glyph, name, spokenName, this);
            connect(button, &QAbstractButton::clicked, this, act);
            buttons_.push_back(button);
        };
        QWidget* top = &window;
        if (frame.minimizeButton)
            add(Glyph::Minimize, "TitleBarMinimize", "Minimize", [top] { top->showMinimized(); });
        if (frame.maximizeButton)
            add(Glyph::Maximize, "TitleBarMaximize", "Maximize", [this] { ToggleMaximized(); });
        if (frame.systemMenu)
            add(Glyph::Close, "TitleBarClose", "Close", [top] { top->close(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window())
            OnWindowEvent(*event);
        if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType())
            return ResizeFromEdge(*static_cast<QWidget*>(watched),
                                  *static_cast<QMouseEvent*>(event));
        return false;
    }

    // Lays the bar along the top of the window's frame, its buttons at the right.
    void Place() {
        setGeometry(border, border, window()->width() - 2 * border, barHeight);
        int x = width() - int(buttons_.size()) * (buttonSize + buttonGap);
        buttonsLeft_ = x - buttonGap;
        for (QAbstractButton* button : buttons_) {
            button->move(x, (barHeight - buttonSize) / 2);
            x += buttonSize + buttonGap;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool active = window()->isActiveWindow();
        painter.fillRect(rect(), active ? barColour : inactiveBarColour);
        painter.setPen(borderColour);
        painter.drawLine(0, height() - 1, width(), height() - 1);

        const QRect iconPlace(8, (barHeight - iconSize) / 2, iconSize, iconSize);
        const QIcon icon = window()->windowIcon();
        if (!icon.isNull())
            icon.paint(&painter, iconPlace);
        // The title centred on the bar, unless the icon or the buttons would cover it.
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(active ? textColour : inactiveTextColour);
        const int left = iconPlace.right() + buttonGap;
        const int half = std::min(width() / 2 - left, buttonsLeft_ - width() / 2);
        const QRect titlePlace(width() / 2 - half, 0, 2 * std::max(half, 0), barHeight);
        painter.drawText(titlePlace, Qt::AlignCenter,
                         painter.fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight,
                                                          titlePlace.width()));
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            window()->windowHandle()->startSystemMove();
    }

    // Only a window with a maximize button maximizes on a double-click.
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && maximizable_)
            ToggleMaximized();
    }

private:
    void ToggleMaximized() {
        window()->isMaximized() ? window()->showNormal() : window()->showMaximized();
    }

    void OnWindowEvent(const QEvent& event) {
        switch (event.type()) {
        case QEvent::Resize:
            Place();
            break;
        case QEvent::Paint: {
            QPainter painter(window());
            painter.setPen(borderColour);
            painter.drawRect(window()->rect().adjusted(0, 0, -1, -1));
            break;
        }
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::ActivationChange:
            update();
            for (QAbstractButton* button : buttons_)
                button->update();
            break;
        default:
            break;
        }
    }

    bool ResizeFromEdge(QWidget& receiver, const QMouseEvent& press) {
        QWidget& top = *window();
        if (receiver.window() != &top || press.button() != Qt::LeftButton ||
            top.minimumSize() == top.maximumSize() || top.isMaximized())
            return false;
        const QPoint at = receiver.mapTo(&top, press.position().toPoint());
        Qt::Edges edges;
        if (at.x() < grip)
            edges |= Qt::LeftEdge;
        if (at.x() >= top.width() - grip)
            edges |= Qt::RightEdge;
        if (at.y() < grip)
            edges |= Qt::TopEdge;
        if (at.y() >= top.height() - grip)
            edges |= Qt::BottomEdge;
        return edges != Qt::Edges() && top.windowHandle()->startSystemResize(edges);
    }

    bool maximizable_;
    std::vector<QAbstractButton*> buttons_;
    int buttonsLeft_ = 0;
};

} // namespace

void AddOwnTitleBarOnWayland(QWidget& window, const SettledFrame& frame) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    // Qt drops the frameless hint while any title-bar button is asked for: the buttons are the
    // bar's own now.
    const Qt::WindowFlags titleHints = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                       Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint;
    window.setWindowFlags((window.windowFlags() & ~titleHints) | Qt::FramelessWindowHint);
    new TitleBar(window, frame);
    const QMargins margins(border, border + barHeight, border, border);
    window.setContentsMargins(margins);
    window.resize(window.size().grownBy(margins));
}

} // namespace FormsRuntime
