#include "gui/common/Prompt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/common/Texts.h"

namespace talvenix::gui {

namespace {

QString Title(const QString& caption) {
    return caption.trimmed().isEmpty() ? QString::fromLatin1(kPromptTitle) : caption;
}

// The language table's caption for a standard button where it has one; Qt's own (translated)
// text otherwise. A missing entry reads as a single space, which must not become a label.
void NameButton(QMessageBox& box, QMessageBox::StandardButton which, const char* key) {
    const QString name = FileText(key).trimmed();
    if (auto* button = box.button(which); button && !name.isEmpty()) button->setText(name);
}

}  // namespace

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
    QMessageBox box(boxIcon, Title(caption), text, QMessageBox::Ok, parent_);
    NameButton(box, QMessageBox::Ok, "PROFILE_OK");
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool MessageBoxPrompt::AskYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, Title(caption), text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxPrompt::RunChooser(QDialog& dialog) {
    chooser_ = &dialog;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    chooser_ = nullptr;
    auto& files = static_cast<QFileDialog&>(dialog);
    if (!accepted || files.selectedFiles().isEmpty()) return {};
    return files.selectedFiles().front();
}

QString MessageBoxPrompt::ChooseOpenFile(const QString& caption, const QString& folder,
                                         const QString& filter) {
    QFileDialog dialog(parent_, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunChooser(dialog);
}

QString MessageBoxPrompt::ChooseSaveFile(const QString& caption, const QString& suggestedPath,
                                         const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent_, caption, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setFileMode(QFileDialog::AnyFile);
    // QFileDialog asks before overwriting by default in save mode.
    return RunChooser(dialog);
}

void MessageBoxPrompt::DismissFileChooser() {
    if (chooser_) chooser_->reject();
}

}  // namespace talvenix::gui
