#include "core/lighting/PaintStroke.h"

#include <algorithm>
#include <utility>

namespace talvenix::lighting {

bool PaintStroke::Contains(PaintButton button) const {
    return std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end();
}

bool PaintStroke::Pass(PaintButton button) {
    if (!IsPaintButton(button) || Contains(button)) return false;
    buttons_.push_back(button);
    return true;
}

std::vector<PaintButton> PaintStroke::Take() {
    std::vector<PaintButton> out = std::move(buttons_);
    buttons_.clear();
    return out;
}

}  // namespace talvenix::lighting
