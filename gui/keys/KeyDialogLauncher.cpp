#include "gui/keys/KeyDialogLauncher.h"

#include <QMenu>
#include <QWidget>

#include "core/keys/KeyButtons.h"
#include "core/keys/KeyTable.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/SingleKeyDialog.h"
#include "gui/macros/MacroEditorDialog.h"

namespace talvenix::gui {

KeyDialogLauncher::KeyDialogLauncher(KeyEditServices services, Hooks hooks, QWidget* window)
    : QObject(window), host_(std::move(services)), hooks_(std::move(hooks)), window_(window) {}

KeyDialogLauncher::~KeyDialogLauncher() = default;

void KeyDialogLauncher::Run(CBaseDialog& dialog) {
    if (hooks_.dialogOpen) hooks_.dialogOpen(&dialog, true);
    if (hooks_.modal) {
        dialog.exec();
        if (hooks_.dialogOpen) hooks_.dialogOpen(&dialog, false);
    } else {
        connect(
            &dialog, &QDialog::finished, this,
            [this, d = &dialog] {
                if (hooks_.dialogOpen) hooks_.dialogOpen(d, false);
            },
            Qt::SingleShotConnection);
        dialog.show();
    }
}

int KeyDialogLauncher::Open(const keys::DialogTarget& target, const QString& name, QWidget* button) {
    if (hooks_.switchMode && hooks_.switchMode()) {
        {
            auto cfg = host_.Working().Lock();
            const int profile = host_.ShownProfile();
            auto& record =
                cfg->image.keys[static_cast<std::size_t>(keys::RecordIndex(profile, target.buttonPosition))];
            keys::ToggleButtonFlag(record);
        }
        host_.KeysChanged({});
        return 0;
    }
    if (IsOpen()) return -1;
    if (!composite_) composite_ = std::make_unique<Talvenix_DlgComposite>(host_, window_);
    composite_->Open(target, name);
    if (button) composite_->PlaceBeside(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()));
    Run(*composite_);
    return 1;
}

int KeyDialogLauncher::OpenForKey(int position, QWidget* button) {
    if (position < 0 || position >= keys::kKeyButtonCount) return -1;
    const keys::KeyCode code = keys::kKeyButtons[static_cast<std::size_t>(position)].code;
    const auto target = keys::TargetOfKeyButton(code, position);
    if (!target) return -1;
    return Open(*target, QString::fromStdString(keys::KeyNameOf(code)), button);
}

int KeyDialogLauncher::OpenForG(int n, bool bankB, QWidget* button) {
    const auto target = keys::TargetOfGButton(n, bankB);
    if (!target) return -1;
    return Open(*target, QStringLiteral("G%1").arg(n + 1), button);
}

int KeyDialogLauncher::OpenMacroCommand(bool bankB, QWidget* button) {
    if (IsOpen()) return -1;
    return Open(keys::MacroEditTarget(bankB), QStringLiteral("G9"), button);
}

void KeyDialogLauncher::OpenSingleKey(const keys::DialogTarget& target, const QString& name) {
    if (IsOpen()) return;
    if (!single_) single_ = std::make_unique<CTalvenix_DlgKey>(host_, window_);
    single_->Open(target, name);
    Run(*single_);
}

void KeyDialogLauncher::OpenMacroEditor() {
    if (IsOpen()) return;
    if (!editor_) editor_ = std::make_unique<CTalvenix_DlgMacro>(host_, window_);
    editor_->Open();
    Run(*editor_);
}

void KeyDialogLauncher::ShowKeyMenu(const keys::DialogTarget& target, const QString& name,
                                    const QPoint& globalPos) {
    if (IsOpen()) return;
    QMenu menu(window_);
    menu.setObjectName(QStringLiteral("KeyContextMenu"));
    QAction* more = menu.addAction(kit::Fx("KEY_MENU_MORE", "More key functions..."));
    QAction* editor = menu.addAction(kit::Fx("MACRO_EDITOR_TITLE", "Macro editor"));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == more)
        OpenSingleKey(target, name);
    else if (chosen == editor)
        OpenMacroEditor();
}

bool KeyDialogLauncher::IsOpen() const {
    return (composite_ && composite_->isVisible()) || (single_ && single_->isVisible()) ||
           (editor_ && editor_->isVisible());
}

void KeyDialogLauncher::CloseIfOpen() {
    if (composite_ && composite_->isVisible()) composite_->Cancel();
    if (single_ && single_->isVisible()) single_->reject();
    if (editor_ && editor_->isVisible()) editor_->reject();
}

}  // namespace talvenix::gui
