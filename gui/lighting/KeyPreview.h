// The effect preview on the key buttons: a 50 ms timer (20 frames a second) that renders the
// shown effect into the buttons. It runs only while the owner says so (the colour-keys mode is
// on, the window is shown and the keyboard is there), so a program hidden in the tray makes no
// periodic wake-ups; and an effect whose picture stands still (fixed colours, keys cleared, the
// stored per-key colours) is drawn once and then leaves the timer off until what it shows changes.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

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

    // Turns the preview on or off; off leaves the buttons as they are. Call it again when what
    // the preview shows may have changed: a still picture is drawn again only then.
    void SetRunning(bool run);
    bool Running() const { return run_; }
    // The frame timer runs (the preview is on and its picture moves, or is not drawn yet).
    bool Ticking() const { return timer_.isActive(); }

    // One frame, now (the timer calls it; benchmarks and tests may too).
    void Tick();
    int Frames() const { return frames_; }

private:
    CKeyColourView& view_;
    std::function<lighting::PreviewInput()> input_;
    lighting::EffectPreview preview_;
    QTimer timer_;
    int frames_ = 0;
    bool run_ = false;
    std::optional<lighting::PreviewInput> still_;  // the still picture on the buttons now
};

}  // namespace talvenix::gui
