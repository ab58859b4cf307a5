// The effect preview on the key buttons: a 50 ms timer (20 frames a second) that renders the
// shown effect into the buttons. It runs only while the owner says so (the colour-keys mode is
// on, the window is shown and the keyboard is there), so a program hidden in the tray makes no
// periodic wake-ups.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "core/lighting/EffectPreview.h"
#include "gui/lighting/KeyColourView.h"

namespace talvenix::gui {

class CKeyPreview : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMilliseconds = 50;

    // `input` reads what the preview shows (effect, colour, random flag, direction) each frame.
    CKeyPreview(CKeyColourView& view, std::function<lighting::PreviewInput()> input,
                QObject* parent = nullptr, lighting::EffectPreview::RandomSource random = {});

    // Starts or stops the timer; stopping leaves the buttons as they are.
    void SetRunning(bool run);
    bool Running() const { return timer_.isActive(); }

    // One frame, now (the timer calls it; benchmarks and tests may too).
    void Tick();
    int Frames() const { return frames_; }

private:
    CKeyColourView& view_;
    std::function<lighting::PreviewInput()> input_;
    lighting::EffectPreview preview_;
    QTimer timer_;
    int frames_ = 0;
};

}  // namespace talvenix::gui
