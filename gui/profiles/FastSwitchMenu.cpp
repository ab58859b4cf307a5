#include "gui/profiles/FastSwitchMenu.h"

#include "gui/profiles/ProfileTexts.h"

namespace talvenix::gui {

FastSwitchMenu::FastSwitchMenu(FastSwitchMenuContext context, QWidget* parent)
    : QMenu(parent), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("FastSwitchMenu"));
    setStyleSheet(QStringLiteral(
        "QMenu{background:#1B1E24;color:#E4E4E4;border:1px solid #3A3F4A;padding:3px;}"
        "QMenu::item{padding:4px 18px 4px 24px;}QMenu::item:selected{background:#2F5D8A;}"
        "QMenu::item:disabled{color:#5C626E;}QMenu::separator{height:1px;background:#3A3F4A;margin:3px 6px;}"
        "QMenu::indicator{width:8px;height:8px;left:8px;border-radius:4px;}"
        "QMenu::indicator:checked{background:#3A8FE0;}"));
}

void FastSwitchMenu::Rebuild() {
    clear();
    std::array<std::string, 3> names;
    const std::array<QString, 3> shown = ctx_.profileNames();
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = shown[i].toStdString();
    model_ = profiles::BuildFastSwitchMenu(ctx_.currentProfile(), names,
                                           text::LanguageText(text::TextId::DEFAULT_PROFILE_NAME),
                                           text::LanguageText(text::TextId::PROFILE_TIP));
    for (const auto& item : model_.items) {
        if (item.IsSeparator()) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString::fromStdString(item.text));
        action->setCheckable(true);
        action->setChecked(item.checked);
        action->setData(item.command);
        const int command = item.command;
        // Queued: the switch rebuilds the menu, which deletes the action whose signal this is.
        connect(
            action, &QAction::triggered, this, [this, command] { RunCommand(command); },
            Qt::QueuedConnection);
    }
    if (ctx_.renameCurrent) {
        addSeparator();
        QAction* rename = addAction(FileTextOr("PROFILE_RENAME", "Rename Current Profile..."));
        rename->setObjectName(QStringLiteral("RenameProfile"));
        // Only a known profile can be named.
        rename->setEnabled(ctx_.currentProfile() >= 0 && ctx_.currentProfile() <= 2);
        connect(
            rename, &QAction::triggered, this, [this] { ctx_.renameCurrent(); }, Qt::QueuedConnection);
    }
    if (label_) {
        label_->setText(QString::fromStdString(model_.label));
        label_->setToolTip(QString::fromStdString(model_.tooltip));
    }
}

void FastSwitchMenu::RunCommand(int command) {
    const auto request = profiles::FastSwitchRequest(command);
    if (!request) return;
    // The check mark follows the keyboard, not the click: a refused switch leaves it where it was.
    Rebuild();
    ctx_.switchProfile(*request);
}

}  // namespace talvenix::gui
