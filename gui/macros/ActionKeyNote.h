// Under a macro's action list: the keys the keyboard's macro memory cannot hold, with their
// action numbers, and that the macro will press nothing there. The list gives up the room the
// note needs while it shows; the rows themselves are marked by the list.
#pragma once

#include <QLabel>
#include <QRect>

namespace talvenix::gui {

class ActionListView;

class ActionKeyNote : public QLabel {
    Q_OBJECT
public:
    // Call once the view is placed: its geometry then is the room both share.
    ActionKeyNote(ActionListView* view, QWidget* parent);
    void Refresh();

protected:
    // The note shows and hides with its list (the key dialog's pages).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ActionListView* view_;
    QRect full_;
};

}  // namespace talvenix::gui
