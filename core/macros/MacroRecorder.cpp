#include "core/macros/MacroRecorder.h"

#include <array>

#include "core/keys/KeyCapture.h"

namespace talvenix::macros {

namespace {
constexpr std::uint32_t kFixedDelayMs = 50;  // the key dialog's delay with recording off
constexpr std::uint32_t kSuppliedPressMs = 2;
}  // namespace

void MacroRecorder::Start(std::uint64_t nowMs) {
    recording_ = true;
    lastMs_ = nowMs;
    down_.reset();
}

void MacroRecorder::Stop() {
    recording_ = false;
    down_.reset();
}

std::uint32_t MacroRecorder::DelaySince(std::uint64_t nowMs) const {
    const std::uint64_t elapsed = nowMs > lastMs_ ? nowMs - lastMs_ : 0;
    return elapsed > kMaxEditorDelayMs ? kMaxEditorDelayMs : static_cast<std::uint32_t>(elapsed);
}

MacroRecorder::Outcome MacroRecorder::OnKeyEvent(std::uint32_t vk, std::uint32_t flags, std::uint64_t nowMs) {
    Outcome out;
    if (!recording_) return out;

    keys::KeyCode code = keys::kNoKey;
    if (style_ == RecorderStyle::KeyDialog) code = keys::CodeOfSystemKeyVk(vk);
    if (code == keys::kNoKey || code == 0x15D) code = keys::ResolveKeyEvent(vk, flags);
    if (code == keys::kNoKey) return out;
    if (style_ == RecorderStyle::KeyDialog && keys::IsMediaCaptureExcluded(code)) return out;

    out.swallow = true;
    const bool release = keys::IsReleaseFlags(flags);
    const bool releaseOnly = keys::ReportsOnlyRelease(code);
    const std::size_t index = keys::KeyIndexOf(code);
    if (releaseOnly && !release) return out;  // its press is supplied with the release
    if (!release && (keys::IsRepeatFlags(flags) || down_.test(index))) return out;  // held key

    const bool editor = style_ == RecorderStyle::MacroEditor;
    if (releaseOnly) {
        const std::uint32_t supplied = recordDelay_ ? kSuppliedPressMs : (editor ? 0 : kFixedDelayMs);
        out.actions.push_back({supplied, code, static_cast<std::uint16_t>(Direction::Press)});
    }
    std::uint32_t delay = DelaySince(nowMs);
    if (!recordDelay_) delay = editor ? 0 : kFixedDelayMs;
    out.actions.push_back(
        {delay, code, static_cast<std::uint16_t>(release ? Direction::Release : Direction::Press)});
    lastMs_ = nowMs;
    down_.set(index, !release && !releaseOnly);
    return out;
}

std::vector<keys::KeyCode> KeysLeftPressed(std::span<const MacroAction> actions) {
    std::array<int, keys::kKeyTableSize> last{};  // 0 none, 1 press, 2 release
    for (const MacroAction& a : actions) {
        last[keys::KeyIndexOf(a.keyCode)] = a.IsRelease() ? 2 : 1;
    }
    std::vector<keys::KeyCode> out;
    for (int i = 1; i < keys::kKeyTableSize; ++i) {  // index 0 is "no key"
        if (last[static_cast<std::size_t>(i)] == 1)
            out.push_back(keys::KeyCodeOf(static_cast<keys::KeyIndex>(i)));
    }
    return out;
}

}  // namespace talvenix::macros
