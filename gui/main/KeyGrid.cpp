#include "gui/main/KeyGrid.h"

#include "core/keys/KeyBlockCodec.h"
#include "core/keys/KeyButtons.h"
#include "core/macros/MacroRecord.h"
#include "core/text/Utf.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

namespace {
const QString kButtonInfo = QStringLiteral("BUTTONINFO");
constexpr const char* kAssignedProperty = "assigned";
}  // namespace

CKeyGrid::CKeyGrid(QWidget* parent, const SkinFile& skin, FaceSheets& sheets, StateSheets unassigned,
                   StateSheets assigned)
    : QObject(parent),
      parent_(parent),
      skin_(skin),
      sheets_(sheets),
      unassigned_(unassigned),
      assigned_(assigned) {}

void CKeyGrid::Place(CPngButton* button, const QString& key) {
    PlaceControl(*button, skin_, kButtonInfo, key, sheets_, assigned_);
    // Both faces are cut whenever the window's pictures are: a key whose assignment changes
    // while the window is shown needs no picture decoded again.
    button->SetStateSheets(&sheets_, unassigned_);
}

void CKeyGrid::Build() {
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        const auto& entry = keys::kGButtons[static_cast<std::size_t>(n)];
        auto* button = new CPngButton(parent_);
        const QString key = QString::fromStdString(keys::SkinKeyOf(entry));
        button->setObjectName(key);
        Place(button, key);
        if (entry.startsDisabled) button->setEnabled(false);
        CPngButton::TextStyle style;
        style.on = true;
        style.pointSize = 9;
        style.colour = QColor::fromRgb(skincolours::kText);
        button->SetTextStyle(style);
        button->setText(QStringLiteral("G%1").arg(entry.number));
        connect(button, &QAbstractButton::clicked, this, [this, n] { Q_EMIT GClicked(n); });
        gs_[static_cast<std::size_t>(n)] = button;
    }
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        const auto& entry = keys::kKeyButtons[static_cast<std::size_t>(i)];
        auto* button = new CPngButton(parent_);
        const QString key = QString::fromStdString(keys::SkinKeyOf(entry));
        button->setObjectName(key);
        Place(button, key);
        connect(button, &QAbstractButton::clicked, this, [this, i] { Q_EMIT KeyClicked(i); });
        keys_[static_cast<std::size_t>(i)] = button;
    }
    fn_ = new CPngButton(parent_);
    fn_->setObjectName(QString::fromLatin1(keys::kFnSkinKey));
    Place(fn_, fn_->objectName());
}

void CKeyGrid::SetFace(CPngButton* button, bool assigned) {
    button->setProperty(kAssignedProperty, assigned);
    button->SetStateSheets(&sheets_, assigned ? assigned_ : unassigned_);
}

bool CKeyGrid::Assigned(const CPngButton* button) const {
    return button->property(kAssignedProperty).toBool();
}

void CKeyGrid::Refresh(const macros::Configuration& config, int profile, bool bankB, bool withFaces) {
    if (profile < 0 || profile > 2) return;
    const auto block = config.image.Block(profile);
    const keys::MacroNameLookup macroName = [&config](std::uint16_t id) -> std::optional<std::string> {
        const macros::MacroRecord* macro = config.MacroOfId(id);
        if (!macro) return std::nullopt;
        return text::Utf16ToUtf8(macro->Name());
    };
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        const auto& record = block[static_cast<std::size_t>(keys::GButtonSlot(n, bankB))];
        auto* button = gs_[static_cast<std::size_t>(n)];
        button->SetTip(QString::fromStdString(keys::AssignmentSummaryOfG(n + 1, record, macroName)));
        if (withFaces) SetFace(button, keys::ShowsAssignedFace(record));
    }
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        const auto& entry = keys::kKeyButtons[static_cast<std::size_t>(i)];
        const auto& record = block[entry.keyIndex];
        auto* button = keys_[static_cast<std::size_t>(i)];
        button->SetTip(QString::fromStdString(keys::AssignmentSummaryOfKey(entry.code, record, macroName)));
        if (withFaces) SetFace(button, keys::ShowsAssignedFace(record));
    }
}

void CKeyGrid::ShowKeyAsDefault(int slot, bool bankB) {
    const keys::KeyAssignment unassigned{};
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        if (keys::GButtonSlot(n, bankB) != slot) continue;
        auto* button = gs_[static_cast<std::size_t>(n)];
        button->SetTip(QString::fromStdString(keys::AssignmentSummaryOfG(n + 1, unassigned, {})));
        SetFace(button, false);
        return;
    }
    for (int i = 0; i < keys::kKeyButtonCount; ++i) {
        const auto& entry = keys::kKeyButtons[static_cast<std::size_t>(i)];
        if (entry.keyIndex != slot) continue;
        auto* button = keys_[static_cast<std::size_t>(i)];
        button->SetTip(QString::fromStdString(keys::AssignmentSummaryOfKey(entry.code, unassigned, {})));
        SetFace(button, false);
        return;
    }
}

void CKeyGrid::ResetKeyAssignments(macros::Configuration& config, int profile, bool bankB) {
    if (profile < 0 || profile > 2) return;
    keys::ResetKeyAssignments(config.image.Block(profile), bankB);
    for (auto* button : gs_) SetFace(button, false);
    for (auto* button : keys_) SetFace(button, false);
}

void CKeyGrid::SetBankLabels(bool bankB) {
    for (int n = 0; n < keys::kGButtonCount; ++n) {
        const QString label = n < 5 ? QStringLiteral("%1%2").arg(QChar(bankB ? u'B' : u'A')).arg(n + 1)
                                    : QStringLiteral("G%1").arg(n + 1);
        gs_[static_cast<std::size_t>(n)]->setText(label);
    }
}

}  // namespace talvenix::gui
