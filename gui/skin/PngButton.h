// CPngButton: an image button whose face is its own rectangle cut from a full-window picture
// of its current state (normal, over, down, disabled, set). The main window's key buttons can
// switch to colour mode, where a coloured frame replaces the picture.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPixmap>
#include <array>
#include <functional>

#include "gui/skin/SkinColours.h"

namespace talvenix::gui {

// The five state pictures a button draws from, shared by all buttons of a window.
struct StatePictures {
    QPixmap normal;
    QPixmap over;
    QPixmap down;
    QPixmap disabled;
    QPixmap set;  // the "set" (checked) state
};

class FaceSheets;

// The same five states as pictures of a FaceSheets (indexes it gave out): the button keeps no
// picture itself, only which piece of which picture it shows.
struct StateSheets {
    int normal = -1;
    int over = -1;
    int down = -1;
    int disabled = -1;
    int set = -1;
};

class CPngButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CPngButton(QWidget* parent = nullptr);

    // Where the face is cut: the rectangle at (x - 1, y - 1) of the state picture.
    void SetFaceSource(QPoint xy) {
        faceSource_ = xy;
        WantFaces();
        update();
    }
    QPoint FaceSource() const { return faceSource_; }
    void SetStatePictures(const StatePictures& pictures) {
        pictures_ = pictures;
        sheets_ = nullptr;
        update();
    }
    // Faces from `sheets` (which outlives the button) instead of pictures of its own.
    void SetStateSheets(FaceSheets* sheets, const StateSheets& states);
    const StateSheets& Sheets() const { return sheetStates_; }
    // The state sheets apply (else the state pictures do).
    bool UsesSheets() const { return sheets_ != nullptr; }
    const StatePictures& Pictures() const { return pictures_; }

    // An alternative picture that replaces the state choice (while the button is enabled).
    void SetAlternativePicture(const QPixmap& picture) {
        alternative_ = picture;
        update();
    }
    void ClearAlternativePicture() {
        alternative_ = QPixmap();
        update();
    }

    // The "set" state: shown with the set picture when neither pressed nor hovered.
    void SetSetState(bool on) {
        setState_ = on;
        update();
    }
    bool SetState() const { return setState_; }

    // Colour mode: a 2-pixel frame in `colour`, inset by one pixel, no picture.
    void SetColourMode(bool on, QColor colour = {});
    bool ColourMode() const { return colourMode_; }
    // The window background under the button. With one set, a button in colour mode paints it
    // itself and is opaque, so a change of its colour repaints the button alone, not the window
    // behind it as well.
    void SetColourBackdrop(const QPixmap& backdrop);
    QColor FrameColour() const { return frameColour_; }

    // Caption drawn over the face (off by default).
    struct TextStyle {
        bool on = false;
        int pointSize = 9;
        QString face = QStringLiteral("DejaVu Sans");
        QColor colour = Qt::white;
        QColor disabledColour = QColor::fromRgb(skincolours::kDisabledText);  // text of a disabled button
        Qt::Alignment align = Qt::AlignCenter;
        QMargins margins;
        int rotationTenths = 0;  // tenths of a degree, counter-clockwise
    };
    void SetTextStyle(const TextStyle& style) {
        textStyle_ = style;
        update();
    }
    const TextStyle& GetTextStyle() const { return textStyle_; }

    // Tooltip shown on hover for at most 2000 ms.
    void SetTip(const QString& tip) { tip_ = tip; }
    const QString& Tip() const { return tip_; }

    // Painted after the face; `usedNormal` tells whether the normal picture was drawn.
    using PaintCallback = std::function<void(QPainter&, CPngButton&, bool usedNormal)>;
    void SetPaintCallback(PaintCallback cb) {
        paintCallback_ = std::move(cb);
        update();
    }

    bool Hovered() const { return hover_; }
    // Which picture the face comes from now (null when in colour mode or using sheets).
    const QPixmap* CurrentPicture(bool* usedNormal = nullptr) const;
    // Which sheet the face comes from now (-1 when in colour mode, showing the alternative
    // picture, or not using sheets).
    int CurrentSheet(bool* usedNormal = nullptr) const;

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum class State { Colour, Disabled, Alternative, Down, Over, Set, Normal };
    State CurrentState() const;
    // The piece of the window's pictures under this button, in their window pixels.
    QRect FaceRect() const { return QRect(faceSource_ - QPoint(1, 1), size()); }
    void WantFaces();

    QPoint faceSource_{1, 1};
    StatePictures pictures_;
    FaceSheets* sheets_ = nullptr;
    StateSheets sheetStates_;
    QPixmap alternative_;
    bool setState_ = false;
    bool hover_ = false;
    bool colourMode_ = false;
    QColor frameColour_;
    QPixmap backdrop_;
    TextStyle textStyle_;
    QString tip_;
    PaintCallback paintCallback_;
};

}  // namespace talvenix::gui
