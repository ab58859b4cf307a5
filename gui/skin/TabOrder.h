// Tab order of a skinned window in reading order: the controls a window is built from are
// created in whatever order its code finds convenient, which is not the order a user reads.
#pragma once

class QWidget;

namespace talvenix::gui {

// Orders every control of `window` that takes Tab: first the column left of `columnSplitX`
// (top to bottom, each row left to right), then the rest of the window the same way, and the
// title bar (everything above `titleBarBottom`) last. Controls in one row share their top
// edge within a few pixels.
void SetReadingTabOrder(QWidget& window, int titleBarBottom, int columnSplitX);

}  // namespace talvenix::gui
