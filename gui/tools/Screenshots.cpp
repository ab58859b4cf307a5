// Renders the program's windows to PNG files against the simulated keyboard, for the README
// and for looking at a skin without a display:
//   talvenix-screenshots <output folder> [--language 0|1] [--screen <file>]
// Run it on the offscreen platform (QT_QPA_PLATFORM=offscreen) with a throw-away HOME.
// --screen fits the window to the screen as the program does, shows it and saves the whole
// screen to <file> (run it on a real or virtual display, e.g. under xvfb-run).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <cstdio>

#include "core/device/DeviceLink.h"
#include "core/keys/KeyAssignment.h"
#include "core/text/IniFile.h"
#include "core/text/LanguageTable.h"
#include "gui/app/AppPaths.h"
#include "gui/common/Prompt.h"
#include "gui/lighting/LightingPanel.h"
#include "gui/main/TalvenixDlg.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinFile.h"
#include "gui/tools/KeyDialogShots.h"
#include "gui/tools/ProfileScreenshots.h"
#include "platform/ServiceLibraryLoader.h"

namespace {

using namespace talvenix;

// Screenshots never wait on a box: messages go to stderr, questions are answered No.
class LogPrompt : public gui::Prompt {
public:
    void ShowMessage(const QString& text, const QString&, gui::PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
};

void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const QString& file) {
    const bool ok = widget.grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: talvenix-screenshots <output folder> [--language 0|1]\n");
        return 2;
    }
    const QString out = args[0];
    QDir().mkpath(out);
    int language = text::kEnglish;
    if (const int i = static_cast<int>(args.indexOf(QStringLiteral("--language")));
        i >= 0 && i + 1 < args.size())
        language = args[i + 1].toInt();

    QString screenFile;
    if (const int i = static_cast<int>(args.indexOf(QStringLiteral("--screen")));
        i >= 0 && i + 1 < args.size())
        screenFile = args[i + 1];

    const gui::AppPaths paths = gui::AppPaths::FromPlatform();
    // The picture files show the skin at its own size (the offscreen screen is only 800 x 600);
    // the whole-screen shot fits the window to its screen as the program does.
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && !screenFile.isEmpty())
        gui::SetSkinZoom(gui::FitZoom(paths.MainSkin(), screen->availableGeometry().size()));
    text::LoadLanguageTable(QFile::encodeName(paths.LanguageFile()).toStdString(), language);
    auto library = platform::LoadServiceLibrary(platform::ServiceLibraryPath(true));
    if (!library.ok()) {
        std::fprintf(stderr, "%s\n", library.error.c_str());
        return 2;
    }
    int result = 0;
    {
        device::DeviceLink link(library.link);
        LogPrompt prompt;
        gui::MainWindowContext context;
        context.paths = paths;
        context.link = &link;
        context.prompt = &prompt;
        context.initialOpenDone = true;
        context.useTray = false;
        gui::CTalvenixDlg window(std::move(context));
        try {
            window.BringUp();
        } catch (const gui::SkinError& e) {
            std::fprintf(stderr, "missing skin file: %s\n", e.File().toLocal8Bit().constData());
            return 2;
        }
        Settle(1500);
        // A few assignments so both key faces and a tooltip text show.
        {
            auto cfg = window.Working().Lock();
            keys::KeyAssignment toB;
            toB.kind = 2;
            toB.value = 0x030;
            cfg->StoreAssignment(0, 0x01E, toB);
            keys::KeyAssignment media;
            media.kind = 7;
            media.value = 1;
            cfg->StoreAssignment(0, 0x03B, media);
            keys::KeyAssignment off;
            off.kind = 1;
            cfg->StoreAssignment(0, 0x0DB, off);  // left Windows: its slot is its key index
            cfg->StoreAssignment(0, keys::kGSlotBankA, off);
        }
        window.Grid().Refresh(*window.Working().Lock(), 0, false, true);
        window.Show();
        Settle(300);
        if (!screenFile.isEmpty()) {
            QScreen* screen = window.screen();
            const QRect frame = window.frameGeometry();
            const qreal ratio = window.devicePixelRatio();
            std::fprintf(stderr, "screen %dx%d pixels, window %dx%d at %d,%d pixels, zoom %.3f\n",
                         qRound(screen->geometry().width() * ratio),
                         qRound(screen->geometry().height() * ratio), qRound(frame.width() * ratio),
                         qRound(frame.height() * ratio), qRound(frame.x() * ratio), qRound(frame.y() * ratio),
                         gui::SkinZoom());
            const bool ok = screen->grabWindow(0).save(screenFile);
            std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "FAILED", screenFile.toLocal8Bit().constData());
            if (!ok || !screen->availableGeometry().contains(frame)) result = 1;
        }
        if (!Save(window, QDir(out).filePath(QStringLiteral("main-window.png")))) result = 1;
        if (screenFile.isEmpty()) {
            window.SetApplyPending(true);
            Settle(50);
            if (!Save(window, QDir(out).filePath(QStringLiteral("main-window-apply-pending.png"))))
                result = 1;
            window.HandleConsumerUsage(0x02FF);  // bank B
            Settle(100);
            if (!Save(window, QDir(out).filePath(QStringLiteral("main-window-bank-b.png")))) result = 1;
            // The lighting panel as the colour-keys mode shows it.
            text::WriteProfileString(QFile::encodeName(paths.UserSettingsFile()).toStdString(), "KEYCOLOR",
                                     "DengCheck", "1");
            window.HandleConsumerUsage(0x0401);
            Settle(500);
            if (!Save(window, QDir(out).filePath(QStringLiteral("main-window-lighting.png")))) result = 1;
            // --- lighting panel: one picture per effect, the per-key colours with painted keys ---
            {
                gui::LightingPanel& panel = window.Lighting();
                auto* combo = window.findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
                auto idle = [&window] {
                    for (int i = 0; i < 200 && !window.Jobs().Idle(); ++i) Settle(10);
                };
                for (int code : {1, 12, 17, 18, 20}) {
                    const int index = combo ? combo->findData(code) : -1;
                    if (index < 0) continue;
                    combo->setCurrentIndex(index);
                    Q_EMIT combo->activated(index);
                    idle();
                    if (code == 20) {
                        // W A S D in cyan, the arrows in orange, Esc in green.
                        auto* tool =
                            window.findChild<gui::CPngButton*>(QStringLiteral("CONTROL_USERgjStaPic1"));
                        if (tool) tool->click();
                        panel.ChooseColour(gui::LightingPanel::ColourTarget::UserPaint, QColor(0, 220, 255));
                        idle();
                        panel.PaintKeys({22, 0, 18, 3});
                        panel.ChooseColour(gui::LightingPanel::ColourTarget::UserPaint, QColor(255, 140, 0));
                        idle();
                        panel.PaintKeys({72, 73, 74, 75});
                        panel.ChooseColour(gui::LightingPanel::ColourTarget::UserPaint, QColor(0, 255, 64));
                        idle();
                        panel.PaintKeys({37});
                        idle();
                    }
                    Settle(400);
                    if (!Save(window, QDir(out).filePath(QStringLiteral("lighting-effect-%1.png").arg(code))))
                        result = 1;
                }
                if (panel.ColourKeysMode()) panel.ToggleColourKeysMode();
                idle();
            }
            text::WriteProfileString(QFile::encodeName(paths.UserSettingsFile()).toStdString(), "KEYCOLOR",
                                     "DengCheck", "0");

            window.ShowAbout();
            Settle(100);
            if (auto* about = window.findChild<QDialog*>(QStringLiteral("AboutBox"))) {
                if (!Save(*about, QDir(out).filePath(QStringLiteral("about-box.png")))) result = 1;
            }
        }
        // --- profile manager, quick-switch menu, firmware update ---
        if (screenFile.isEmpty() && gui::ShootProfileWindows(paths, link, prompt, out, Save, Settle) != 0)
            result = 1;
        // --- key assignment dialogs and macro editor ---
        if (screenFile.isEmpty() && !gui::SaveKeyDialogShots(out, paths.skinFolder)) result = 1;
        window.SetApplyPending(false);
        window.Quit();
    }
    platform::UnloadServiceLibrary(library.link);
    return result;
}
