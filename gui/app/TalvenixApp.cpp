#include "gui/app/TalvenixApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/device/DeviceLink.h"
#include "core/text/LanguageSettings.h"
#include "core/text/LanguageTable.h"
#include "gui/app/AppPaths.h"
#include "gui/app/SingleInstance.h"
#include "gui/common/Prompt.h"
#include "gui/common/QtTranslations.h"
#include "gui/main/TalvenixDlg.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinFile.h"
#include "platform/ServiceLibraryLoader.h"
#include "platform/UserFolders.h"

namespace talvenix::gui {

namespace {

constexpr int kExitMissingResource = 2;

// One line on stderr, and a box when there is a screen to show it on.
int ReportStartupFailure(const QString& message) {
    std::fprintf(stderr, "talvenix: %s\n", message.toLocal8Bit().constData());
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Talvenix"), message);
    return kExitMissingResource;
}

}  // namespace

int RunTalvenix(const QStringList& arguments) {
    QApplication::setQuitOnLastWindowClosed(false);
    const AppPaths paths = AppPaths::FromPlatform();
    const CommandLine commandLine = ParseCommandLine(arguments);

    // Language: settle the stored choice, then load every text.
    const int languageIndex = text::LanguageIndex(QFile::encodeName(paths.configFolder).toStdString(),
                                                  platform::SystemLanguageString());
    // Without the language file every text reads as a single space; the program still runs,
    // but the terminal is told why it looks empty.
    if (!QFileInfo::exists(paths.LanguageFile()))
        std::fprintf(stderr, "talvenix: missing language file %s\n",
                     paths.LanguageFile().toLocal8Bit().constData());
    text::LoadLanguageTable(QFile::encodeName(paths.LanguageFile()).toStdString(), languageIndex);
    if (!UseQtTranslations(languageIndex))
        std::fprintf(stderr, "talvenix: Qt's Chinese translations were not found in %s\n",
                     QtTranslationsFolder().toLocal8Bit().constData());

    // Single instance: the command line first, then the instance socket.
    QString runtimeError;
    const QString instanceSocket = InstanceSocketPath(&runtimeError);
    if (instanceSocket.isEmpty()) return ReportStartupFailure(runtimeError);
    InstanceServer server(instanceSocket);
    // SIGTERM, SIGINT and SIGHUP quit without questions; the socket and lock file go at once.
    bool signalled = false;
    const QuitOnSignals quitOnSignals([&server, &signalled](int) {
        signalled = true;
        server.Close();
        QCoreApplication::exit(0);
    });
    const QString socketPath = server.SocketPath();
    const QString ownName = paths.ownFileName;
    const InstanceOutcome instance = ResolveInstance(
        commandLine, server, [&ownName] { return FindInstanceProcess(ownName) != 0; },
        [&socketPath](const QByteArray& tag) { return SendInstanceTag(socketPath, tag); });
    if (instance.exitNow) return 0;

    // The companion program is started when it is there; nothing depends on it.
    if (QFileInfo(paths.companion).isExecutable()) QProcess::startDetached(paths.companion, {});

    // The service library: the simulator with --simulate (its environment configures it).
    if (commandLine.simulate) platform::PrepareSimulatorEnvironment();
    const auto libraryPath = platform::ServiceLibraryPath(commandLine.simulate);
    platform::LoadedServiceLibrary library = platform::LoadServiceLibrary(libraryPath);
    if (!library.ok()) return ReportStartupFailure(QString::fromStdString(library.error));
    int exitCode = 0;
    {
        device::DeviceLink link(library.link);
        if (!link.Ready()) {
            exitCode = ReportStartupFailure(QStringLiteral("the service library %1 did not initialise")
                                                .arg(QString::fromStdString(libraryPath.string())));
        } else {
            // A window larger than the screen (a large scale factor on a small screen) is
            // shrunk to fit; on ordinary screens the zoom stays 1.
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                SetSkinZoom(FitZoom(paths.MainSkin(), screen->availableGeometry().size()));
            MessageBoxPrompt prompt;
            MainWindowContext context;
            context.paths = paths;
            context.link = &link;
            context.prompt = &prompt;
            context.initialOpenDone = instance.initialOpenDone;
            CTalvenixDlg window(std::move(context));
            prompt.SetParent(&window);
            try {
                window.BringUp();
            } catch (const SkinError& e) {
                exitCode =
                    ReportStartupFailure(QStringLiteral("missing or unreadable skin file: %1").arg(e.File()));
            }
            if (exitCode == 0) {
                QObject::connect(&server, &InstanceServer::OpenRequested, &window, &CTalvenixDlg::Show);
                QObject::connect(&server, &InstanceServer::KillRequested, &window, &CTalvenixDlg::Quit);
                QObject::connect(&window, &CTalvenixDlg::Finished, qApp, [&server] {
                    server.Close();
                    QCoreApplication::quit();
                });
                if (!signalled) QApplication::exec();
            }
        }
    }
    platform::UnloadServiceLibrary(library.link);
    return exitCode;
}

}  // namespace talvenix::gui
