#include "gui/skin/BitmapSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace talvenix::gui {

CBitmapSlider::CBitmapSlider(int controlId, int positions, QWidget* parent)
    : QWidget(parent), controlId_(controlId), positions_(std::max(positions, 2)) {
    setFocusPolicy(Qt::ClickFocus);
}

void CBitmapSlider::SetPosition(int position) {
    position_ = std::clamp(position, 0, positions_ - 1);
    update();
}

void CBitmapSlider::MoveTo(int position) {
    position = std::clamp(position, 0, positions_ - 1);
    if (position == position_) return;
    position_ = position;
    update();
    Q_EMIT PositionChanged(controlId_, position_);
}

int CBitmapSlider::PositionAt(int x) const {
    if (width() <= 1) return position_;
    const double step = static_cast<double>(width()) / positions_;
    return std::clamp(static_cast<int>(x / step), 0, positions_ - 1);
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!face_.isNull()) {
        painter.drawPixmap(rect(), face_);
        return;
    }
    // No face yet: a plain track with a knob, so the control is still usable.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 64, 72));
    const int mid = height() / 2;
    painter.drawRoundedRect(QRect(0, mid - 2, width(), 4), 2, 2);
    const double step = static_cast<double>(width()) / positions_;
    const int cx = static_cast<int>(step * (position_ + 0.5));
    painter.setBrush(QColor(0, 190, 255));
    painter.drawEllipse(QPoint(cx, mid), std::min(6, mid), std::min(6, mid));
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) MoveTo(PositionAt(event->position().toPoint().x()));
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) MoveTo(PositionAt(event->position().toPoint().x()));
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Down)
        MoveTo(position_ - 1);
    else if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Up)
        MoveTo(position_ + 1);
    else
        QWidget::keyPressEvent(event);
}

}  // namespace talvenix::gui
