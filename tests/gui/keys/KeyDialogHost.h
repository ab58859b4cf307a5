// The key dialogs' tests: a host over a real working configuration and the generated skin,
// scripted answers, and native key events built with their scan codes.
#pragma once

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QWidget>
#include <memory>
#include <vector>

#include "core/macros/WorkingConfig.h"
#include "gui/keys/KeyEditHost.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::test {

class TestKeyEditHost : public gui::KeyEditHost {
public:
    macros::WorkingConfig working;
    ScriptedPrompt prompt;
    int currentProfile = 0;
    int shownProfile = 0;
    std::size_t macroSpace = 16384;
    bool recordDelay = false;
    int keysChangedCalls = 0;
    std::vector<int> lastUnbound;

    macros::WorkingConfig& Working() override { return working; }
    int CurrentProfile() const override { return currentProfile; }
    int ShownProfile() const override { return shownProfile; }
    std::size_t MacroSpace() const override { return macroSpace; }
    gui::Prompt& Ask() override { return prompt; }
    QString SkinFolder() const override;
    bool RecordDelay() override { return recordDelay; }
    void SetRecordDelay(bool on) override { recordDelay = on; }
    void KeysChanged(const std::vector<int>& unbound) override {
        ++keysChangedCalls;
        lastUnbound = unbound;
    }
};

// Loads the English texts of the generated skin once per test.
class KeyDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    TestKeyEditHost host_;
};

// A key event as the desktop delivers it: X11/Wayland scan code (evdev code + 8) and keysym.
void SendKey(QWidget* target, std::uint32_t evdev, bool release, bool autoRepeat = false,
             std::uint32_t keysym = 0);
// Press and release.
void TapKey(QWidget* target, std::uint32_t evdev);

// evdev codes used by the tests.
inline constexpr std::uint32_t kEvEsc = 1, kEvA = 30, kEvCapsLock = 58, kEvPrint = 99, kEvVolumeUp = 115,
                               kEvLeftShift = 42;

macros::MacroRecord MacroNamed(int id, const std::u16string& name, int actions = 0);

}  // namespace talvenix::test
