#include "runtime/qt/ControlWidgets.h"

#include <QPaintEvent>
#include <QPainter>

namespace FormsRuntime {
FrameWidget::FrameWidget(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setAccessibleName(caption);
    setAutoFillBackground(true);
}

void FrameWidget::paintEvent(QPaintEvent*) {
    if (caption_.isEmpty())
        return;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int captionLeft = 8;
    const int captionWidth = metrics.horizontalAdvance(caption_) + 4;

    // An etched rectangle from the middle of the caption down: a shadow line with a light
    // line beside it. A frame too small to reach it shows its background only.
    const QRect border = rect().adjusted(0, metrics.height() / 2, -1, -1);
    if (border.width() >= 2 && border.height() >= 2) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(border.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(border.adjusted(1, 1, 0, 0));
    }

    const QRect captionBox(captionLeft - 2, 0, captionWidth, metrics.height());
    painter.fillRect(captionBox, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionBox, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

LabelWidget::LabelWidget(bool autoSize, QWidget* parent) : QLabel(parent), autoSize_(autoSize) {
    setTextFormat(Qt::PlainText);
    setWordWrap(!autoSize);
    setMargin(0);
    setIndent(0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LabelWidget::SetCaption(const QString& caption) {
    setText(caption);
    if (autoSize_)
        resize(fontMetrics().horizontalAdvance(caption), fontMetrics().height());
}

PictureWidget::PictureWidget(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // One rectangle of the exposed area at a time: a picture clipped to a single rectangle is
    // copied straight in, while one clipped to several is drawn line by line on worker threads
    // Qt starts for it, which costs milliseconds where the copy takes microseconds.
    for (const QRect& area : event->region()) {
        painter.setClipRect(area);
        painter.drawPixmap(QPoint(0, 0), pixmap());
    }
}

LineWidget::LineWidget(const QRect& box, bool falling, const QColor& color, QWidget* parent)
    : QWidget(parent), falling_(falling), color_(color) {
    setGeometry(box);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // An upright or level line fills its whole box; filling keeps it exactly one pixel wide
    // at every scale factor.
    if (width() == 1 || height() == 1) {
        painter.fillRect(rect(), color_);
        return;
    }
    painter.setPen(QPen(color_, 1));
    const QRect ends = rect();
    if (falling_)
        painter.drawLine(ends.topLeft(), ends.bottomRight());
    else
        painter.drawLine(ends.bottomLeft(), ends.topRight());
}

} // namespace FormsRuntime
