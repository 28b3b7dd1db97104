#pragma once

// The widgets that stand for the layout's control kinds where Qt has no exact match.

#include <QLabel>
#include <QWidget>

namespace FormsRuntime {

// A frame draws the group border and caption when it has a caption; without one it is a
// plain panel of its background colour.
class FrameWidget final : public QWidget {
    Q_OBJECT
public:
    FrameWidget(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

// A label: an opaque box whose caption is word-wrapped inside it and cut at its bottom edge;
// with AutoSize it instead takes the size of its caption on one line, keeping Left and Top.
class LabelWidget final : public QLabel {
    Q_OBJECT
public:
    LabelWidget(bool autoSize, QWidget* parent);
    // Call once the font is set: an AutoSize label measures its caption in it.
    void SetCaption(const QString& caption);

private:
    bool autoSize_;
};

// An image: its picture at natural size from the top-left corner, never stretched. On a
// scaled screen each picture pixel becomes a sharp block, not a blur.
class PictureWidget final : public QLabel {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A straight line across `box`, both ends included: from the top-left corner to the
// bottom-right one when `falling`, else from the bottom-left to the top-right.
class LineWidget final : public QWidget {
    Q_OBJECT
public:
    LineWidget(const QRect& box, bool falling, const QColor& color, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool falling_;
    QColor color_;
};

} // namespace FormsRuntime
