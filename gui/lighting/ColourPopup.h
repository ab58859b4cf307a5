// The small pop-up of a colour button: a grid of common colours and an "Other..." entry (its
// text from the skin) that opens the full colour dialog. Nothing blocks: the choice arrives
// through the callback, and closing the pop-up or the dialog without a choice does nothing.
#pragma once

#include <QColor>
#include <QMenu>
#include <QPointer>
#include <functional>

namespace talvenix::gui {

class CColourPopup : public QMenu {
    Q_OBJECT
public:
    using Chosen = std::function<void(const QColor&)>;

    // `otherText` labels the entry that opens the colour dialog.
    CColourPopup(const QString& otherText, QColor current, Chosen chosen, QWidget* parent);

    // Shows the pop-up under `anchor`; it deletes itself when closed.
    static CColourPopup* Open(QWidget* anchor, const QString& otherText, QColor current, Chosen chosen);

    // The swatch colours, in grid order.
    static const QList<QColor>& Swatches();

    // What the entries do (tests drive these instead of the mouse).
    void ChooseSwatch(int index);
    void ChooseOther();

private:
    QColor current_;
    Chosen chosen_;
};

}  // namespace talvenix::gui
