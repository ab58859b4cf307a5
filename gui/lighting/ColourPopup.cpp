#include "gui/lighting/ColourPopup.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QPainter>
#include <QToolButton>
#include <QWidgetAction>

namespace talvenix::gui {

namespace {
constexpr int kColumns = 6;
constexpr int kSwatchSize = 20;

QIcon SwatchIcon(const QColor& colour) {
    QPixmap pm(kSwatchSize - 4, kSwatchSize - 4);
    pm.fill(colour);
    QPainter p(&pm);
    p.setPen(QColor(0x34, 0x39, 0x44));
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}
}  // namespace

const QList<QColor>& CColourPopup::Swatches() {
    static const QList<QColor> colours = {
        QColor(255, 0, 0),     QColor(255, 128, 0),   QColor(255, 255, 0),   QColor(128, 255, 0),
        QColor(0, 255, 0),     QColor(0, 255, 128),   QColor(0, 255, 255),   QColor(0, 128, 255),
        QColor(0, 0, 255),     QColor(128, 0, 255),   QColor(255, 0, 255),   QColor(255, 0, 128),
        QColor(255, 255, 255), QColor(255, 192, 128), QColor(128, 192, 255), QColor(192, 128, 255),
        QColor(128, 128, 128), QColor(0, 0, 0),
    };
    return colours;
}

CColourPopup::CColourPopup(const QString& otherText, QColor current, Chosen chosen, QWidget* parent)
    : QMenu(parent), current_(current), chosen_(std::move(chosen)) {
    setObjectName(QStringLiteral("ColourPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    const auto& colours = Swatches();
    for (int i = 0; i < colours.size(); ++i) {
        auto* b = new QToolButton(grid);
        b->setObjectName(QStringLiteral("Swatch%1").arg(i));
        b->setAutoRaise(true);
        b->setFixedSize(kSwatchSize, kSwatchSize);
        b->setIcon(SwatchIcon(colours[i]));
        b->setToolTip(colours[i].name());
        connect(b, &QToolButton::clicked, this, [this, i] { ChooseSwatch(i); });
        layout->addWidget(b, i / kColumns, i % kColumns);
    }
    auto* action = new QWidgetAction(this);
    action->setDefaultWidget(grid);
    addAction(action);
    addSeparator();
    QAction* other = addAction(otherText.trimmed().isEmpty() ? QStringLiteral("...") : otherText);
    other->setObjectName(QStringLiteral("OtherColour"));
    connect(other, &QAction::triggered, this, &CColourPopup::ChooseOther);
}

CColourPopup* CColourPopup::Open(QWidget* anchor, const QString& otherText, QColor current, Chosen chosen) {
    auto* popup = new CColourPopup(otherText, current, std::move(chosen), anchor);
    popup->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
    return popup;
}

void CColourPopup::ChooseSwatch(int index) {
    const auto& colours = Swatches();
    if (index < 0 || index >= colours.size()) return;
    const Chosen chosen = chosen_;
    const QColor colour = colours[index];
    close();
    if (chosen) chosen(colour);
}

void CColourPopup::ChooseOther() {
    // The dialog outlives the pop-up; it belongs to the pop-up's parent window.
    auto* dialog = new QColorDialog(current_, parentWidget() ? parentWidget()->window() : nullptr);
    dialog->setObjectName(QStringLiteral("OtherColourDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const Chosen chosen = chosen_;
    connect(dialog, &QColorDialog::colorSelected, dialog, [chosen](const QColor& c) {
        if (chosen && c.isValid()) chosen(c);
    });
    close();
    dialog->open();
}

}  // namespace talvenix::gui
