#include "tests/gui/profiles/ProfileWindowsFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include "core/device/Commands.h"
#include "core/profiles/ProfileSettings.h"
#include "core/profiles/ReadBack.h"
#include "core/text/LanguageTable.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::test {

void MakeDialogSkin(const QString& skins, const QString& layout, const QStringList& pictures) {
    const QString source = QStringLiteral(TALVENIX_SOURCE_DIR "/skins/layout/") + layout;
    ASSERT_TRUE(QFile::copy(source, QDir(skins).filePath(layout))) << layout.toStdString();
    const gui::SkinFile skin(QDir(skins).filePath(layout));
    const gui::SkinRect size = gui::ParseSkinRect(skin.Get(QStringLiteral("SCREEN"), QStringLiteral("Size")));
    auto save = [&](const QString& name, QColor colour) {
        QImage image(QSize(size.x, size.y), QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QDir(skins).filePath(name))) << name.toStdString();
    };
    save(skin.BackgroundName(), QColor(0x15, 0x17, 0x1C));
    save(skin.MaskName(), Qt::black);
    for (const QString& picture : pictures) save(picture, TestSkin::ColourOf(picture));
}

void MakeProfileSkins(const QString& skins) {
    MakeDialogSkin(skins, QStringLiteral("Profile.ini"),
                   {QStringLiteral("Profile_normal.jpg"), QStringLiteral("Profile_over.jpg"),
                    QStringLiteral("Profile_down.jpg")});
    MakeDialogSkin(skins, QStringLiteral("UpdateDlg.ini"),
                   {QStringLiteral("update_normal.jpg"), QStringLiteral("update_over.jpg")});
}

void ProfileWindowsTest::SetUp() {
    home_ = std::make_unique<TempHome>();
    sim_ = std::make_unique<SimKeyboard>();
    skinFolder_ = QString::fromStdString((home_->Path() / "Skins").string());
    QDir().mkpath(skinFolder_);
    ASSERT_TRUE(QFile::copy(QStringLiteral(TALVENIX_SOURCE_DIR "/skins/language.ini"),
                            QDir(skinFolder_).filePath(QStringLiteral("language.ini"))));
    MakeProfileSkins(skinFolder_);
    text::LoadLanguageTable(QFile::encodeName(SkinFile("language.ini")).toStdString(), text::kEnglish);

    store_ = std::make_unique<profiles::ProfileStore>(home_->DocumentsFolder());
    ASSERT_TRUE(keyboard_.OnKeyboardArrived(sim_->Transport()).LayoutOk());
    ASSERT_TRUE(profiles::ReadBackAndLoad(*store_, keyboard_, sim_->Transport(), working_).fromKeyboard);
    sim_->ClearFrames();
}

void ProfileWindowsTest::TearDown() {
    sim_.reset();
    home_.reset();
}

QString ProfileWindowsTest::SkinFile(const char* name) const {
    return QDir(skinFolder_).filePath(QString::fromLatin1(name));
}

QString ProfileWindowsTest::StoreFile() const { return QString::fromStdString(store_->StoreFile().string()); }

QString ProfileWindowsTest::SettingsFile() const {
    return QString::fromStdString(
        profiles::ProfileSettings::FileFor(home_->ConfigFolder(), "Talvenix").string());
}

std::size_t ProfileWindowsTest::ConfigWrites() const {
    return sim_->FramesOf(device::kCmdWriteConfig).size();
}

}  // namespace talvenix::test
