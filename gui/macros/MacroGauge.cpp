#include "gui/macros/MacroGauge.h"

#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"

namespace talvenix::gui {

MacroGauge::MacroGauge(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("MacroGauge"));
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
}

void MacroGauge::Update(std::span<const macros::MacroRecord> macros, std::size_t macroSpace) {
    gauge_ = macros::GaugeOf(macros, macroSpace);
    const QString without = QString::number(gauge_.sizes.withoutNames);
    const QString with = QString::number(gauge_.sizes.withNames);
    QString text;
    if (gauge_.Known()) {
        text = kit::Fx("MACRO_GAUGE", "Macro memory: %1 of %2 bytes (%3 with names)")
                   .arg(without, QString::number(gauge_.space), with);
    } else {
        text = kit::Fx("MACRO_GAUGE_UNKNOWN", "Macro memory: %1 bytes (%2 with names); keyboard size unknown")
                   .arg(without, with);
    }
    setText(text);
    const char* colour =
        !gauge_.Known() || gauge_.NamesFit() ? kit::kDimColour : (gauge_.Fits() ? "#E8B33C" : "#FF5A5A");
    setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(colour)));
    setToolTip(gauge_.Known() && !gauge_.Fits() ? kit::Tx(text::TextId::EXTRA_MACRO_TOO_LONG) : QString());
}

bool MacroGauge::AcceptedForApply(Prompt& ask) const {
    if (!gauge_.Known() || gauge_.Fits()) return true;
    return ask.AskYesNo(
        kit::Fx("MACRO_GAUGE_OVER_ASK",
                "The macros need more memory than the keyboard has, so Apply will fail until some "
                "are removed. Keep these changes anyway?"));
}

}  // namespace talvenix::gui
