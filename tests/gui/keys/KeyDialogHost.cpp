#include "tests/gui/keys/KeyDialogHost.h"

#include <QApplication>
#include <QDir>

#include "core/text/LanguageTable.h"

namespace talvenix::test {

QString TestKeyEditHost::SkinFolder() const { return QStringLiteral(TALVENIX_BIN_DIR "/Skins"); }

void KeyDialogTest::SetUp() {
    const QString language = QDir(host_.SkinFolder()).filePath(QStringLiteral("language.ini"));
    ASSERT_TRUE(QFile::exists(language)) << "the generated skin is missing: " << language.toStdString();
    text::LoadLanguageTable(QFile::encodeName(language).toStdString(), text::kEnglish);
}

void SendKey(QWidget* target, std::uint32_t evdev, bool release, bool autoRepeat, std::uint32_t keysym) {
    QKeyEvent event(release ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    evdev + 8, keysym, 0, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
}

void TapKey(QWidget* target, std::uint32_t evdev) {
    SendKey(target, evdev, false);
    SendKey(target, evdev, true);
}

macros::MacroRecord MacroNamed(int id, const std::u16string& name, int actions) {
    macros::MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(name);
    m.cycles = 1;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (int i = 0; i < actions; ++i)
        m.actions[static_cast<std::size_t>(i)] = {10, 0x1E, static_cast<std::uint16_t>(i % 2)};
    return m;
}

}  // namespace talvenix::test
