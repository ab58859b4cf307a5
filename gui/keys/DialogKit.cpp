#include "gui/keys/DialogKit.h"

#include <QWidget>

#include "core/keys/KeyBlockCodec.h"
#include "core/keys/MediaCatalogue.h"
#include "core/keys/StoredAssignment.h"
#include "core/text/SafeFormat.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui::kit {

QString Tx(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

QString Fx(const char* key, const char* fallback) {
    const QString t = QString::fromStdString(text::LanguageFileText(key));
    return t.isEmpty() ? QString::fromUtf8(fallback) : t;
}

QString TxNumber(text::TextId id, long long value) {
    return QString::fromStdString(text::FormatNumber(text::LanguageText(id), value));
}

namespace {

QString ChoiceName(const keys::KeyAssignment& r) {
    switch (r.Kind()) {
        case keys::AssignmentKind::Key:
            return QString::fromStdString(keys::KeyNameOf(static_cast<keys::KeyCode>(r.value & 0xFFFF)));
        case keys::AssignmentKind::Media:
            return r.value < static_cast<std::uint32_t>(keys::kMediaCount)
                       ? QString::fromStdString(keys::MediaName(static_cast<int>(r.value)))
                       : QString::number(r.value);
        case keys::AssignmentKind::Function:
            return QString::fromStdString(keys::FunctionText(r.value));
        default:
            return QString::number(r.kind);
    }
}

}  // namespace

QString UnstorableKeyNote(int slot, const keys::KeyAssignment& wanted) {
    if (slot < 0 || slot >= keys::kSlotsPerBlock) return {};
    const auto& entry = keys::EverySlotEntry()[static_cast<std::size_t>(slot)];
    if (!entry) return {};
    const keys::KeptAssignment kept = keys::KeyboardKeeps(wanted, *entry);
    if (kept.faithful) return {};
    const QString chosen = ChoiceName(wanted);
    switch (kept.stored.Kind()) {
        case keys::AssignmentKind::Disabled:
            return Fx("KEY_STORE_DISABLED",
                      "The keyboard cannot store \"%1\" for a key: on the keyboard this key will do nothing.")
                .arg(chosen);
        case keys::AssignmentKind::Default:
            return Fx("KEY_STORE_DEFAULT",
                      "The keyboard cannot store \"%1\" for a key: on the keyboard this key will keep its "
                      "own "
                      "function.")
                .arg(chosen);
        default: {
            // The summary without a button name: "Keys, Set: Function(...)".
            const QString instead = QString::fromStdString(keys::AssignmentSummary("", kept.stored, {}));
            return Fx("KEY_STORE_OTHER",
                      "The keyboard cannot store \"%1\" for a key: on the keyboard this key will do this "
                      "instead: %2")
                .arg(chosen, instead);
        }
    }
}

QString FieldStyle() {
    return QStringLiteral(
        "background:#101216; color:#E4E4E4; border:1px solid #343944; border-radius:3px; padding:1px 4px;"
        "selection-background-color:#00B4FF;");
}

QString ListStyle() {
    return QStringLiteral(
        "QAbstractItemView{background:#101216; color:#E4E4E4; border:1px solid #343944;"
        " selection-background-color:#00B4FF; selection-color:#101216; gridline-color:#343944;"
        " alternate-background-color:#15171C;}"
        "QHeaderView::section{background:#1E2128; color:#8C93A0; border:0; border-right:1px solid #343944;"
        " padding:2px 4px;}"
        "QTableCornerButton::section{background:#1E2128; border:0;}"
        "QLineEdit, QComboBox{background:#101216; color:#E4E4E4; border:1px solid #00B4FF;}"
        "QComboBox QAbstractItemView{background:#1E2128; color:#E4E4E4;}");
}

StatePictures LoadPictureSet(const SkinFile& skin, const QString& prefix, bool withDisabled,
                             const QString& setState) {
    auto name = [&](const char* state) { return prefix + QLatin1Char('_') + QLatin1String(state) + ".jpg"; };
    StatePictures p;
    p.normal = skin.LoadPicture(name("normal"));
    p.over = skin.LoadPicture(name("over"));
    p.down = skin.LoadPicture(name("down"));
    p.disabled = withDisabled ? skin.LoadPicture(name("disable")) : p.normal;
    p.set = setState.isEmpty() ? p.down : skin.LoadPicture(prefix + QLatin1Char('_') + setState + ".jpg");
    return p;
}

CPngButton* MakeButton(QWidget* parent, const SkinFile& skin, const QString& key,
                       const StatePictures& pictures) {
    auto* b = new CPngButton(parent);
    b->setObjectName(key);
    PlaceControl(*b, skin, QStringLiteral("BUTTONINFO"), key, pictures);
    return b;
}

void SetCaption(CPngButton& button, const QString& text, int leftMargin) {
    CPngButton::TextStyle style;
    style.on = true;
    style.colour = QColor(0xE4, 0xE4, 0xE4);
    if (leftMargin > 0) {
        style.align = Qt::AlignLeft | Qt::AlignVCenter;
        style.margins = QMargins(leftMargin, 0, 2, 0);
    }
    button.SetTextStyle(style);
    button.setText(text);
}

}  // namespace talvenix::gui::kit
