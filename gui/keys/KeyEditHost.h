// What the key dialogs and the macro editor need from the window that opens them, and nothing
// more: the working configuration, what is known of the keyboard, the prompt, the record-delay
// setting and a way to say that keys changed.
#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "core/macros/WorkingConfig.h"

namespace talvenix::gui {

class Prompt;

class KeyEditHost {
public:
    virtual ~KeyEditHost() = default;

    virtual macros::WorkingConfig& Working() = 0;
    // The keyboard's current profile as last read; -1 when unknown (no keyboard).
    virtual int CurrentProfile() const = 0;
    // The profile whose keys the window shows and the key dialogs edit (0..2).
    virtual int ShownProfile() const = 0;
    // The keyboard's macro memory in bytes as last read; 0 when unknown.
    virtual std::size_t MacroSpace() const = 0;
    virtual Prompt& Ask() = 0;
    // The folder holding the layout files and pictures.
    virtual QString SkinFolder() const = 0;

    virtual bool RecordDelay() = 0;
    virtual void SetRecordDelay(bool on) = 0;

    // Key records changed: `unbound` are records (512 * profile + slot) whose macro binding was
    // dropped. The window refreshes its buttons and marks Apply pending.
    virtual void KeysChanged(const std::vector<int>& unbound) = 0;
};

}  // namespace talvenix::gui
