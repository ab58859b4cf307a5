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

void CKeyPreview::SetRunning(bool run) {
    if (run == timer_.isActive()) return;
    if (run)
        timer_.start();
    else
        timer_.stop();
}

void CKeyPreview::Tick() {
    ++frames_;
    view_.Show(preview_.Tick(input_()));
}

}  // namespace talvenix::gui
