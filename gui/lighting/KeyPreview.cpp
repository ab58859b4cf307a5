#include "gui/lighting/KeyPreview.h"

namespace talvenix::gui {

CKeyPreview::CKeyPreview(CKeyColourView& view, std::function<lighting::PreviewInput()> input, QObject* parent,
                         lighting::EffectPreview::RandomSource random)
    : QObject(parent), view_(view), input_(std::move(input)), preview_(std::move(random)), timer_(this) {
    timer_.setObjectName(QStringLiteral("PreviewTimer"));
    timer_.setInterval(kFrameMilliseconds);
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &CKeyPreview::Tick);
}

namespace {

// Effects whose frames move; every other one shows the same picture on every tick.
bool Moves(lighting::EffectCode effect) {
    switch (effect) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
        case 16:
        case 18:
            return true;
        default:
            return false;
    }
}

bool Same(const lighting::PreviewInput& a, const lighting::PreviewInput& b) {
    return a.effect == b.effect && a.colour == b.colour && a.random == b.random && a.direction == b.direction;
}

}  // namespace

void CKeyPreview::SetRunning(bool run) {
    run_ = run;
    if (!run) still_.reset();  // the buttons may be cleared meanwhile: draw again when back on
    bool tick = run;
    if (tick && still_ && Same(*still_, input_())) tick = false;  // that picture is on the buttons
    if (!tick) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        still_.reset();
        timer_.start();
    }
}

void CKeyPreview::Tick() {
    ++frames_;
    const lighting::PreviewInput input = input_();
    view_.Show(preview_.Tick(input));
    if (Moves(input.effect)) {
        still_.reset();
    } else {
        // Drawn once; nothing moves until the input changes.
        still_ = input;
        timer_.stop();
    }
}

}  // namespace talvenix::gui
