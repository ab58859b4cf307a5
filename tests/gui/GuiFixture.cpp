#include "tests/gui/GuiFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "core/text/IniFile.h"
#include "core/text/LanguageTable.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::test {

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

void ScriptedPrompt::ShowMessage(const QString& text, const QString&, gui::PromptIcon) { messages << text; }

bool ScriptedPrompt::AskYesNo(const QString& text, const QString&) {
    questions << text;
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text.toStdString();
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedPrompt::ChooseOpenFile(const QString&, const QString&, const QString&) { return openFile; }
QString ScriptedPrompt::ChooseSaveFile(const QString&, const QString&, const QString&, const QString&) {
    return saveFile;
}

namespace {

const char* const kStatePictures[] = {"main_normal.jpg",  "main_over.jpg", "main_down.jpg",
                                      "main_disable.jpg", "Arrow.jpg",     "main_color0.jpg",
                                      "main_color1.jpg"};
const char* const kBitmaps[] = {
    "dengup.bmp",  "dengdown.bmp",   "leftup.bmp",  "leftdown.bmp",  "rightup.bmp", "rightdown.bmp",
    "upup.bmp",    "updown.bmp",     "downup.bmp",  "downdown.bmp",  "julong.bmp",  "julongdown.bmp",
    "kuosan.bmp",  "kuosandown.bmp", "hong.bmp",    "hongok.bmp",    "huang.bmp",   "huangok.bmp",
    "lv.bmp",      "lvok.bmp",       "lan.bmp",     "lanok.bmp",     "sjsup.bmp",   "sjsdown.bmp",
    "user1up.bmp", "user1down.bmp",  "user2up.bmp", "user2down.bmp",
};

}  // namespace

QColor TestSkin::ColourOf(const QString& picture) {
    const auto hash = qHash(picture);
    return QColor::fromHsv(static_cast<int>(hash % 360), 160, 160);
}

TestSkin::TestSkin() {
    programFolder_ = QDir::tempPath() + QStringLiteral("/talvenix-gui-test-") +
                     QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-") +
                     QString::number(reinterpret_cast<quintptr>(this), 16);
    QDir(programFolder_).removeRecursively();
    const QString skins = SkinFolder();
    QDir().mkpath(skins);
    const QString source = QStringLiteral(TALVENIX_SOURCE_DIR "/skins");
    QFile::copy(source + QStringLiteral("/layout/Main.ini"), skins + QStringLiteral("/Main.ini"));
    QFile::copy(source + QStringLiteral("/language.ini"), skins + QStringLiteral("/language.ini"));

    // The window is as large as the layout's furthest control.
    const text::IniFile ini(QFile::encodeName(skins + QStringLiteral("/Main.ini")).toStdString());
    int width = 200;
    int height = 200;
    for (const auto& key : ini.Keys("BUTTONINFO")) {
        const gui::SkinRect r =
            gui::ParseSkinRect(QString::fromStdString(ini.Get("BUTTONINFO", key, "1,1,1,1,x")));
        width = std::max(width, r.x + r.w + 4);
        height = std::max(height, r.y + r.h + 4);
    }
    const gui::SkinFile skin(skins + QStringLiteral("/Main.ini"));
    auto save = [&](const QString& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QDir(skins).filePath(name))) << name.toStdString();
    };
    save(skin.BackgroundName(), QSize(width, height), QColor(0x15, 0x17, 0x1C));
    if (skin.MaskName() != skin.BackgroundName()) save(skin.MaskName(), QSize(width, height), Qt::black);
    for (const char* name : kStatePictures)
        save(QString::fromLatin1(name), QSize(width, height), ColourOf(QString::fromLatin1(name)));
    for (const char* name : kBitmaps)
        save(QString::fromLatin1(name), QSize(32, 32), ColourOf(QString::fromLatin1(name)));
    for (int i = 1; i <= 10; ++i) save(QStringLiteral("jdt%1.bmp").arg(i), QSize(24, 24), Qt::cyan);
    for (int i = 0; i <= 25; ++i) save(QStringLiteral("%1.bmp").arg(i), QSize(120, 16), Qt::darkCyan);
}

void TestSkin::Remove(const QString& name) const { QFile::remove(QDir(SkinFolder()).filePath(name)); }

void MainWindowTest::SetUp() {
    home_ = std::make_unique<TempHome>();
    skin_ = std::make_unique<TestSkin>();
    sim_ = std::make_unique<SimKeyboard>(Timing());
    // From here on the UI thread must never talk to the keyboard; TearDown checks.
    WatchKeyboardCallsOn(std::this_thread::get_id());
    text::LoadLanguageTable(
        QFile::encodeName(skin_->SkinFolder() + QStringLiteral("/language.ini")).toStdString(),
        text::kEnglish);
}

void MainWindowTest::TearDown() {
    if (window_) {
        window_->Quit();
        window_.reset();
    }
    EXPECT_EQ(KeyboardCallsOnWatchedThread(), 0)
        << "the UI thread talked to the keyboard, first through " << FirstKeyboardCallOnWatchedThread();
    WatchKeyboardCallsOn({});
    sim_.reset();
    QDir(skin_->ProgramFolder()).removeRecursively();
    skin_.reset();
    home_.reset();
}

void MainWindowTest::Start(bool startFlag) {
    gui::MainWindowContext context;
    context.paths = gui::AppPaths::ForProgramFolder(skin_->ProgramFolder());
    context.link = &sim_->Link();
    context.prompt = &prompt_;
    context.initialOpenDone = startFlag;
    window_ = std::make_unique<gui::CTalvenixDlg>(std::move(context));
    window_->BringUp();
    ASSERT_TRUE(WaitIdle());
}

bool MainWindowTest::WaitIdle(int timeoutMs) {
    return WaitFor([this] { return window_->WindowReady() && window_->PresenceWorkersRunning() == 0; },
                   timeoutMs);
}

}  // namespace talvenix::test
