#include "gui/skin/BaseDialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <vector>

#include "gui/skin/SkinError.h"

namespace talvenix::gui {

QRegion RegionFromMask(const QImage& mask) {
    const QImage image = mask.convertToFormat(QImage::Format_RGB32);
    std::vector<QRect> runs;
    QRegion region;
    constexpr std::size_t kBatch = 2000;  // unite in batches: one huge setRects is slow
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && (line[x] & 0xFFFFFFu) == (white & 0xFFFFFFu)) ++x;
            const int start = x;
            while (x < image.width() && (line[x] & 0xFFFFFFu) != (white & 0xFFFFFFu)) ++x;
            if (x > start) runs.emplace_back(start, y, x - start, 1);
            if (runs.size() == kBatch) {
                QRegion part;
                part.setRects(runs.data(), static_cast<int>(runs.size()));
                region += part;
                runs.clear();
            }
        }
    }
    if (!runs.empty()) {
        QRegion part;
        part.setRects(runs.data(), static_cast<int>(runs.size()));
        region += part;
    }
    return region;
}

CBaseDialog::CBaseDialog(const QString& layoutPath, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog), skin_(layoutPath) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBaseDialog::InitSkin() {
    // A missing layout file, or one that names no background, is reported as itself: the
    // picture it should name cannot be.
    if (!skin_.Exists() || skin_.BackgroundName().trimmed().isEmpty()) throw SkinError(skin_.Path());
    background_ = skin_.LoadPicture(skin_.BackgroundName());
    const QImage mask = skin_.LoadImage(skin_.MaskName());
    setFixedSize((QSizeF(background_.size()) / background_.devicePixelRatio()).toSize());
    if (const double zoom = SkinZoom(); zoom != 1.0) {
        // Captions shrink with the pictures they sit on.
        QFont zoomed = font();
        zoomed.setPointSizeF(zoomed.pointSizeF() * zoom);
        setFont(zoomed);
    }
    shape_ = RegionFromMask(mask);
    // An empty region means "no mask" to Qt; an all-white mask asks for a window with no
    // visible pixel, so give it a shape that lies outside the window.
    setMask(shape_.isEmpty() ? QRegion(-2, -2, 1, 1) : shape_);
}

const QPixmap& CBaseDialog::Background() const {
    if (background_.isNull()) {
        try {
            background_ = skin_.LoadPicture(skin_.BackgroundName());
        } catch (const SkinError&) {
            // Loaded once at start; a skin folder changed under the running program leaves
            // the window plain rather than ending it.
        }
    }
    return background_;
}

void CBaseDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Background());
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    // Only the window's own surface drags it. Controls that leave a press unhandled pass it on
    // to us; plain labels are captions painted on the surface and drag like it.
    if (QWidget* child = childAt(event->position().toPoint()); child && !IsSurface(*child)) return;
    // Let the window manager move the window when it can; otherwise follow the mouse.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

bool CBaseDialog::IsSurface(const QWidget& child) {
    return child.inherits("QLabel") && child.focusPolicy() == Qt::NoFocus;
}

void CBaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - dragOffset_);
    else
        QDialog::mouseMoveEvent(event);
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

namespace {
// Enter and Escape neither apply nor close a skinned window: its own buttons do that.
bool SwallowedKey(const QKeyEvent& event) {
    const int key = event.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
}  // namespace

void CBaseDialog::keyPressEvent(QKeyEvent* event) {
    if (SwallowedKey(*event))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

void CBaseDialog::keyReleaseEvent(QKeyEvent* event) {
    if (SwallowedKey(*event))
        event->accept();
    else
        QDialog::keyReleaseEvent(event);
}

}  // namespace talvenix::gui
