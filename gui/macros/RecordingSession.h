// Recording key strokes into an action list: the recorder's rules fed by the window's key
// filter, and the question about keys left pressed when recording stops. The key dialog's macro
// page and the macro editor each own one.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "core/macros/MacroRecorder.h"
#include "gui/macros/KeyEventFilter.h"

namespace talvenix::gui {

class ActionListView;
class Prompt;

class RecordingSession : public QObject {
    Q_OBJECT
public:
    RecordingSession(macros::RecorderStyle style, QWidget* window, ActionListView* list, Prompt* prompt,
                     QObject* parent = nullptr);

    bool Recording() const { return recorder_.Recording(); }
    void SetRecordDelay(bool on) { recorder_.SetRecordDelay(on); }
    bool RecordDelay() const { return recorder_.RecordDelay(); }

    void Start();
    // Asks about keys left pressed first; false when the user keeps recording.
    bool Stop();
    // Stops without asking (the window goes away, or a page without the list is shown).
    void Abort();

    // The recorder's handling of one key event in the Windows form; true = swallowed.
    bool HandleKey(std::uint32_t vk, std::uint32_t flags);

Q_SIGNALS:
    void RecordingChanged(bool recording);

private:
    macros::MacroRecorder recorder_;
    KeyEventFilter filter_;
    ActionListView* list_;
    Prompt* prompt_;
    QElapsedTimer clock_;
};

}  // namespace talvenix::gui
