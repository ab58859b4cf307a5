// Every question or message the program puts to the user goes through one interface, so the
// program shows real message boxes while tests answer from a script and never block.
#pragma once

#include <QString>

class QWidget;

namespace talvenix::gui {

enum class PromptIcon { None, Information, Question, Warning, Critical };

class Prompt {
public:
    virtual ~Prompt() = default;
    // An OK box.
    virtual void ShowMessage(const QString& text, const QString& caption = {},
                             PromptIcon icon = PromptIcon::None) = 0;
    // A Yes/No box; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption = {}) = 0;
    // File choosers; an empty result means the user cancelled.
    virtual QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filter) = 0;
    virtual QString ChooseSaveFile(const QString& caption, const QString& suggestedPath,
                                   const QString& filter, const QString& defaultSuffix) = 0;
};

// The real thing: QMessageBox and QFileDialog, parented to `parent` when given.
class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const QString& text, const QString& caption, PromptIcon icon) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filter) override;
    QString ChooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter,
                           const QString& defaultSuffix) override;

private:
    QWidget* parent_;
};

}  // namespace talvenix::gui
