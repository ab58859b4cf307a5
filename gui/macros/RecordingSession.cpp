#include "gui/macros/RecordingSession.h"

#include "core/keys/KeyTable.h"
#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"
#include "gui/macros/ActionListView.h"

namespace talvenix::gui {

RecordingSession::RecordingSession(macros::RecorderStyle style, QWidget* window, ActionListView* list,
                                   Prompt* prompt, QObject* parent)
    : QObject(parent),
      recorder_(style),
      filter_(window, [this](std::uint32_t vk, std::uint32_t flags) { return HandleKey(vk, flags); }),
      list_(list),
      prompt_(prompt) {
    clock_.start();
}

void RecordingSession::Start() {
    if (recorder_.Recording()) return;
    recorder_.Start(static_cast<std::uint64_t>(clock_.elapsed()));
    filter_.SetActive(true);
    Q_EMIT RecordingChanged(true);
}

bool RecordingSession::Stop() {
    if (!recorder_.Recording()) return true;
    const auto left = macros::KeysLeftPressed(list_->List().Rows());
    if (!left.empty() && prompt_) {
        QString text =
            kit::Fx("MACRO_LEFT_PRESSED", "These keys are still held down at the end of the macro:");
        text += QLatin1Char(' ');
        for (keys::KeyCode code : left)
            text += QStringLiteral("[%1] ").arg(QString::fromStdString(keys::KeyNameOf(code)));
        text += QLatin1Char('\n') + kit::Fx("MACRO_LEFT_PRESSED_ASK", "Stop recording anyway?");
        if (!prompt_->AskYesNo(text)) return false;
    }
    Abort();
    return true;
}

void RecordingSession::Abort() {
    if (!recorder_.Recording()) return;
    filter_.SetActive(false);
    recorder_.Stop();
    Q_EMIT RecordingChanged(false);
}

bool RecordingSession::HandleKey(std::uint32_t vk, std::uint32_t flags) {
    const auto out = recorder_.OnKeyEvent(vk, flags, static_cast<std::uint64_t>(clock_.elapsed()));
    for (const macros::MacroAction& a : out.actions) {
        if (!list_->Insert(a)) break;  // 2000 actions: the rest is dropped
    }
    return out.swallow;
}

}  // namespace talvenix::gui
