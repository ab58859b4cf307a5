// The macro recorder: turns the key events seen while recording into MacroActions.
//
// Two styles share the rules: the macro editor's and the key dialog's macro page. They differ
// only in these points:
//   - with delay recording off, the editor stores 0 as every delay, the key dialog 50 ms;
//   - the key dialog leaves the multimedia keys to the desktop; the editor records them;
//   - the press supplied before a key that reports only its release waits 2 ms (0 in the editor
//     with delay recording off, 50 ms in the key dialog with it off).
// Each recorded action's delay is the time since the previous recorded event (since the start
// for the first one), bounded to the editor's 40000 ms.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

#include "core/keys/KeyTable.h"
#include "core/macros/MacroRecord.h"

namespace talvenix::macros {

enum class RecorderStyle { MacroEditor, KeyDialog };

class MacroRecorder {
public:
    explicit MacroRecorder(RecorderStyle style) : style_(style) {}

    void Start(std::uint64_t nowMs);
    void Stop();
    bool Recording() const { return recording_; }

    bool RecordDelay() const { return recordDelay_; }
    void SetRecordDelay(bool on) { recordDelay_ = on; }

    struct Outcome {
        bool swallow = false;              // the event must not reach the window
        std::vector<MacroAction> actions;  // to insert, in order (0, 1 or 2)
    };
    // One key event in the form of NativeKeys.h. Nothing happens while not recording.
    Outcome OnKeyEvent(std::uint32_t vk, std::uint32_t flags, std::uint64_t nowMs);

private:
    std::uint32_t DelaySince(std::uint64_t nowMs) const;

    RecorderStyle style_;
    bool recording_ = false;
    bool recordDelay_ = false;
    std::uint64_t lastMs_ = 0;
    std::bitset<keys::kKeyTableSize> down_;  // keys whose press was recorded and not released
};

// The keys a list leaves pressed: for every key index, the last action of that key counts; a
// press leaves it down. In key-index order.
std::vector<keys::KeyCode> KeysLeftPressed(std::span<const MacroAction> actions);

}  // namespace talvenix::macros
