// Shared pieces of the profile and firmware window tests: a skin folder with the real Profile
// and UpdateDlg layouts and plain pictures, the English language table, a throw-away home and
// the in-process simulated keyboard with the core state the windows' contexts talk to.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>

#include "core/macros/WorkingConfig.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileStore.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/SimKeyboard.h"
#include "tests/support/TempHome.h"

namespace talvenix::test {

// The Profile and UpdateDlg layouts with plain pictures, into a skin folder.
void MakeDialogSkin(const QString& skins, const QString& layout, const QStringList& pictures);
void MakeProfileSkins(const QString& skins);

class ProfileWindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString SkinFile(const char* name) const;
    QString StoreFile() const;
    QString SettingsFile() const;
    // ConfigBlock writes (command 4) the keyboard received since the last ClearFrames().
    std::size_t ConfigWrites() const;

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<SimKeyboard> sim_;
    ScriptedPrompt prompt_;
    QString skinFolder_;
    std::unique_ptr<profiles::ProfileStore> store_;
    profiles::KeyboardState keyboard_;
    macros::WorkingConfig working_;
    macros::DownloadSnapshot snapshot_;
};

}  // namespace talvenix::test
