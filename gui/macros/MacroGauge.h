// The live figure of how much of the keyboard's macro memory the macro list needs, counted as
// the download counts it, with and without names.
#pragma once

#include <QLabel>
#include <span>

#include "core/macros/MacroList.h"

namespace talvenix::gui {

class Prompt;

class MacroGauge : public QLabel {
    Q_OBJECT
public:
    explicit MacroGauge(QWidget* parent = nullptr);
    void Update(std::span<const macros::MacroRecord> macros, std::size_t macroSpace);
    const macros::MacroSpaceGauge& Figures() const { return gauge_; }
    // Before an Apply: true when the list fits the keyboard's memory, its size is unknown, or the
    // user chose to keep an over-full list anyway (the download will then refuse it).
    bool AcceptedForApply(Prompt& ask) const;

private:
    macros::MacroSpaceGauge gauge_;
};

}  // namespace talvenix::gui
