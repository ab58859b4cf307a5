#include "gui/common/Prompt.h"

#include <QFileDialog>
#include <QMessageBox>

namespace talvenix::gui {

void MessageBoxPrompt::ShowMessage(const QString& text, const QString& caption, PromptIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
        case PromptIcon::Information:
            boxIcon = QMessageBox::Information;
            break;
        case PromptIcon::Question:
            boxIcon = QMessageBox::Question;
            break;
        case PromptIcon::Warning:
            boxIcon = QMessageBox::Warning;
            break;
        case PromptIcon::Critical:
            boxIcon = QMessageBox::Critical;
            break;
        case PromptIcon::None:
            break;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, parent_);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool MessageBoxPrompt::AskYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxPrompt::ChooseOpenFile(const QString& caption, const QString& folder,
                                         const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, folder, filter);
}

QString MessageBoxPrompt::ChooseSaveFile(const QString& caption, const QString& suggestedPath,
                                         const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent_, caption, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setFileMode(QFileDialog::AnyFile);
    // QFileDialog asks before overwriting by default in save mode.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace talvenix::gui
