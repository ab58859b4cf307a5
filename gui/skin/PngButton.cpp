#include "gui/skin/PngButton.h"

#include <QEnterEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "gui/skin/FaceSheets.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

namespace {
constexpr int kTipMilliseconds = 2000;
}

CPngButton::CPngButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    // Reachable with Tab and pressed with Space, like any button.
    setFocusPolicy(Qt::StrongFocus);
}

void CPngButton::SetColourMode(bool on, QColor colour) {
    colourMode_ = on;
    frameColour_ = colour;
    setAttribute(Qt::WA_OpaquePaintEvent, on && !backdrop_.isNull());
    update();
}

void CPngButton::SetColourBackdrop(const QPixmap& backdrop) {
    backdrop_ = backdrop;
    setAttribute(Qt::WA_OpaquePaintEvent, colourMode_ && !backdrop_.isNull());
    update();
}

void CPngButton::SetStateSheets(FaceSheets* sheets, const StateSheets& states) {
    sheets_ = sheets;
    sheetStates_ = states;
    pictures_ = StatePictures{};
    WantFaces();
    update();
}

void CPngButton::WantFaces() {
    if (!sheets_) return;
    const QRect face = FaceRect();
    for (int sheet :
         {sheetStates_.normal, sheetStates_.over, sheetStates_.down, sheetStates_.disabled, sheetStates_.set})
        sheets_->Want(sheet, face);
}

void CPngButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    WantFaces();
}

CPngButton::State CPngButton::CurrentState() const {
    if (colourMode_) return State::Colour;
    if (!isEnabled()) return State::Disabled;
    if (!alternative_.isNull()) return State::Alternative;
    if (isDown()) return State::Down;
    if (hover_) return State::Over;
    if (setState_) return State::Set;
    return State::Normal;
}

const QPixmap* CPngButton::CurrentPicture(bool* usedNormal) const {
    const State state = CurrentState();
    if (usedNormal) *usedNormal = state == State::Normal;
    if (sheets_ && state != State::Alternative) return nullptr;
    switch (state) {
        case State::Colour:
            return nullptr;
        case State::Disabled:
            return &pictures_.disabled;
        case State::Alternative:
            return &alternative_;
        case State::Down:
            return &pictures_.down;
        case State::Over:
            return &pictures_.over;
        case State::Set:
            return &pictures_.set;
        case State::Normal:
            break;
    }
    return &pictures_.normal;
}

int CPngButton::CurrentSheet(bool* usedNormal) const {
    const State state = CurrentState();
    if (usedNormal) *usedNormal = state == State::Normal;
    if (!sheets_) return -1;
    switch (state) {
        case State::Colour:
        case State::Alternative:
            return -1;
        case State::Disabled:
            return sheetStates_.disabled;
        case State::Down:
            return sheetStates_.down;
        case State::Over:
            return sheetStates_.over;
        case State::Set:
            return sheetStates_.set;
        case State::Normal:
            break;
    }
    return sheetStates_.normal;
}

void CPngButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    bool usedNormal = false;
    const QPixmap* picture = CurrentPicture(&usedNormal);
    const int sheet = CurrentSheet();
    if (colourMode_) {
        if (!backdrop_.isNull()) painter.drawPixmap(0, 0, backdrop_);
        // Pixels 1..2 of each edge, as four filled bands: the preview repaints every key 20
        // times a second, and filling rectangles costs far less than stroking a wide pen.
        const int w = width();
        const int h = height();
        painter.fillRect(QRect(1, 1, w - 2, 2), frameColour_);
        painter.fillRect(QRect(1, h - 3, w - 2, 2), frameColour_);
        painter.fillRect(QRect(1, 3, 2, h - 6), frameColour_);
        painter.fillRect(QRect(w - 3, 3, 2, h - 6), frameColour_);
    } else if (sheet >= 0) {
        // The same pixels as from the whole picture: the piece starts at `origin` of it.
        const Face& face = sheets_->Cut(sheet, FaceRect());
        if (!face.pixmap.isNull()) {
            const qreal d = face.pixmap.devicePixelRatio();
            const QRectF source((faceSource_.x() - 1) * d - face.origin.x(),
                                (faceSource_.y() - 1) * d - face.origin.y(), width() * d, height() * d);
            painter.drawPixmap(QRectF(rect()), face.pixmap, source);
        }
    } else if (picture && !picture->isNull()) {
        // The source is in the picture's own pixels, which may be denser than the window's.
        const qreal d = picture->devicePixelRatio();
        const QRectF source((faceSource_.x() - 1) * d, (faceSource_.y() - 1) * d, width() * d, height() * d);
        painter.drawPixmap(QRectF(rect()), *picture, source);
    }
    if (textStyle_.on && !text().isEmpty()) {
        QFont font(textStyle_.face);
        font.setPointSizeF(textStyle_.pointSize * SkinZoom());
        painter.setFont(font);
        painter.setPen(isEnabled() ? textStyle_.colour : textStyle_.disabledColour);
        const QRect area = rect().marginsRemoved(textStyle_.margins);
        if (textStyle_.rotationTenths != 0) {
            painter.save();
            painter.translate(area.center());
            painter.rotate(-textStyle_.rotationTenths / 10.0);
            const QRect extent = painter.fontMetrics().boundingRect(text());
            painter.drawText(
                QRect(-extent.width() / 2, -extent.height() / 2, extent.width(), extent.height()),
                Qt::AlignCenter, text());
            painter.restore();
        } else {
            painter.drawText(area, static_cast<int>(textStyle_.align), text());
        }
    }
    if (paintCallback_) paintCallback_(painter, *this, usedNormal);
    if (hasFocus()) {
        // The focus ring: the skin's pictures carry none, so the button draws its own.
        QPen pen(QColor::fromRgb(skincolours::kAccent), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void CPngButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void CPngButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

void CPngButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    if (!tip_.isEmpty())
        QToolTip::showText(event->globalPosition().toPoint(), tip_, this, rect(), kTipMilliseconds);
    QAbstractButton::enterEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

bool CPngButton::event(QEvent* event) {
    // Our own tip, with its 2000 ms limit, replaces Qt's default tooltip handling.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!tip_.isEmpty()) QToolTip::showText(help->globalPos(), tip_, this, rect(), kTipMilliseconds);
        return true;
    }
    return QAbstractButton::event(event);
}

}  // namespace talvenix::gui
