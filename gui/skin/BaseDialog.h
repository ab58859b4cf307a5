// CBaseDialog: a skinned, frameless window. Its background and shape come from the layout
// file's "SCREEN" pictures; the window is exactly the non-white pixels of the mask; a press
// on its own surface (or a plain label on it) drags it; a press on any other child never does.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QRegion>

#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

// The window shape: every horizontal run of pixels that are not pure white becomes one
// rectangle. An all-white mask gives an empty region.
QRegion RegionFromMask(const QImage& mask);

class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    // `layoutPath` is the dialog's layout file; pictures are named relative to its folder.
    CBaseDialog(const QString& layoutPath, QWidget* parent = nullptr);

    // Loads background and mask, sizes the window and sets its shape. Throws SkinError
    // naming the missing file.
    void InitSkin();

    const SkinFile& Skin() const { return skin_; }
    // The background picture, decoded again if it was released.
    const QPixmap& Background() const;
    // Drops the background picture (the window is hidden); the next paint decodes it again.
    void ReleaseBackground() { background_ = QPixmap(); }
    bool HoldsBackground() const { return !background_.isNull(); }
    const QRegion& Shape() const { return shape_; }
    // Whether a press on `child` counts as a press on the window's surface.
    static bool IsSurface(const QWidget& child);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Enter and Escape neither accept nor close a skinned dialog.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    SkinFile skin_;
    mutable QPixmap background_;
    QRegion shape_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace talvenix::gui
