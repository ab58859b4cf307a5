// CBitmapSlider: a slider drawn from one picture per position (the brightness and speed
// sliders of the lighting panel). Moving it reports (control id, new position).
#pragma once

#include <QPixmap>
#include <QWidget>

namespace talvenix::gui {

class CBitmapSlider : public QWidget {
    Q_OBJECT
public:
    CBitmapSlider(int controlId, int positions, QWidget* parent = nullptr);

    int ControlId() const { return controlId_; }
    int Position() const { return position_; }
    int Positions() const { return positions_; }
    // Sets the position without reporting it (a refresh from the keyboard).
    void SetPosition(int position);
    // The face shown now; the lighting panel picks the picture that matches the position.
    void SetFace(const QPixmap& face) {
        face_ = face;
        update();
    }
    const QPixmap& Face() const { return face_; }

Q_SIGNALS:
    void PositionChanged(int controlId, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MoveTo(int position);
    int PositionAt(int x) const;

    int controlId_;
    int positions_;
    int position_ = 0;
    QPixmap face_;
};

}  // namespace talvenix::gui
