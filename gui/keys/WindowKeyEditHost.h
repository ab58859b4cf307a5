// The key dialogs' host as the main window provides it: the working configuration, the prompt,
// the keyboard's state as last read (no keyboard traffic), the settings file and two callbacks.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "gui/keys/KeyEditHost.h"

namespace talvenix::profiles {
class KeyboardState;
}

namespace talvenix::gui {

struct KeyEditServices {
    macros::WorkingConfig* working = nullptr;
    Prompt* prompt = nullptr;
    const profiles::KeyboardState* keyboard = nullptr;
    QString skinFolder;
    std::filesystem::path settingsFile;  // section "PROFILES" holds the record-delay value
    std::function<int()> shownProfile;
    std::function<void(const std::vector<int>&)> keysChanged;
};

struct WindowContext;

// The services from a window's context: the working configuration, the prompt, the keyboard's
// state, the skin folder and the settings file; `shownProfile` and `refreshKeys` come from the
// window that shows the keys.
KeyEditServices ServicesFromContext(const WindowContext& context, std::function<int()> shownProfile,
                                    std::function<void()> refreshKeys);

class WindowKeyEditHost : public KeyEditHost {
public:
    explicit WindowKeyEditHost(KeyEditServices services) : s_(std::move(services)) {}

    macros::WorkingConfig& Working() override { return *s_.working; }
    int CurrentProfile() const override;
    int ShownProfile() const override;
    std::size_t MacroSpace() const override;
    Prompt& Ask() override { return *s_.prompt; }
    QString SkinFolder() const override { return s_.skinFolder; }
    bool RecordDelay() override;
    void SetRecordDelay(bool on) override;
    void KeysChanged(const std::vector<int>& unbound) override {
        if (s_.keysChanged) s_.keysChanged(unbound);
    }

private:
    KeyEditServices s_;
};

}  // namespace talvenix::gui
