// The keys one press of the mouse button passes over while per-key colours are painted: each
// button once, in the order reached. The panel shows the brush colour on each key as it is
// reached and hands the whole stroke to UserColours::PaintKeys when the button is released, so
// a drag across the keyboard costs one keyboard transaction instead of one per key.
#pragma once

#include <vector>

#include "core/lighting/PaintButton.h"

namespace talvenix::lighting {

class PaintStroke {
public:
    // Adds a button reached by the cursor. False (nothing added) for a number that is not a
    // paint button or a button already in the stroke.
    bool Pass(PaintButton button);

    const std::vector<PaintButton>& Buttons() const { return buttons_; }
    bool Empty() const { return buttons_.empty(); }
    bool Contains(PaintButton button) const;

    // The buttons passed over; the stroke is empty afterwards.
    std::vector<PaintButton> Take();

private:
    std::vector<PaintButton> buttons_;
};

}  // namespace talvenix::lighting
