#include "gui/app/SingleInstance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

#include "platform/Process.h"
#include "platform/RuntimeDir.h"

namespace talvenix::gui {

QString InstanceSocketPath(QString* error) {
    // Only a folder that no other user can write to: anyone who could pre-create the socket or
    // the lock there would receive our tags or take our single-instance protection.
    const platform::RuntimeDirResult runtime = platform::PrivateRuntimeDir();
    if (!runtime.Ok()) {
        if (error) *error = QString::fromStdString(runtime.error);
        return {};
    }
    const QString folder = QString::fromStdString(runtime.folder.string());
    return QDir(folder).filePath(
        QStringLiteral("%1-%2").arg(QLatin1String(kInstanceName)).arg(platform::CurrentUserId()));
}

long FindInstanceProcess(const QString& fileName) {
    return platform::FindProcessByExecutable(QFile::encodeName(fileName).toStdString());
}

bool SendInstanceTag(const QString& socketPath, const QByteArray& tag, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(tag);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The instance answers with the same tag once it has taken it.
    QByteArray answer;
    while (answer.size() < tag.size() && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
    return answer.startsWith(tag);
}

InstanceServer::InstanceServer(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)), lock_(path_ + QStringLiteral(".lock")) {
    lock_.setStaleLockTime(0);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::OnConnection);
}

InstanceServer::~InstanceServer() { Close(); }

bool InstanceServer::Listen() {
    if (server_.isListening()) return true;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // The lock file is the instance's mutex: Qt replaces an existing socket file when it
    // listens with access options, so the socket alone cannot tell who came first. A lock
    // left by a crashed process is stale and taken over.
    if (!lock_.isLocked() && !lock_.tryLock(0)) return false;
    QLocalServer::removeServer(path_);  // a socket file left by a crash
    if (server_.listen(path_)) return true;
    lock_.unlock();
    return false;
}

void InstanceServer::Close() {
    if (server_.isListening()) server_.close();
    if (lock_.isLocked()) lock_.unlock();
}

void InstanceServer::OnConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Tags are four bytes; anything else is ignored, as a message with a wrong tag is.
            if (socket->bytesAvailable() < 4) return;
            const QByteArray tag = socket->read(4);
            socket->readAll();
            if (tag == kTagOpen || tag == kTagKill) {
                socket->write(tag);
                socket->flush();
            }
            socket->disconnectFromServer();
            if (tag == kTagOpen)
                Q_EMIT OpenRequested();
            else if (tag == kTagKill)
                Q_EMIT KillRequested();
        });
    }
}

namespace {

constexpr std::array<int, 3> kQuitSignals = {SIGTERM, SIGINT, SIGHUP};
// One handler set per process: the write end of the pipe and the handlers it replaced.
int g_signalPipe[2] = {-1, -1};
struct sigaction g_previous[kQuitSignals.size()];

void WriteSignalByte(int signal) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // Async-signal-safe: one write to a non-blocking socket; a full pipe already has a wake-up.
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

QuitOnSignals::QuitOnSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (g_signalPipe[0] >= 0) return;  // another object owns the handlers
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::OnReadable);
    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i)
        ::sigaction(kQuitSignals[i], &action, &g_previous[i]);
}

QuitOnSignals::~QuitOnSignals() {
    if (!notifier_) return;
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i)
        ::sigaction(kQuitSignals[i], &g_previous[i], nullptr);
    delete notifier_;
    notifier_ = nullptr;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void QuitOnSignals::OnReadable() {
    unsigned char bytes[16];
    const ssize_t n = ::read(g_signalPipe[0], bytes, sizeof bytes);
    if (n <= 0) return;
    if (onSignal_) onSignal_(bytes[n - 1]);
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    for (const QString& arg : arguments) {
        if (arg.compare(QStringLiteral("/Kill"), Qt::CaseInsensitive) == 0)
            result.actions.push_back(CommandLine::Action::Kill);
        else if (arg.compare(QStringLiteral("/Start"), Qt::CaseInsensitive) == 0)
            result.actions.push_back(CommandLine::Action::Start);
        else if (arg == QStringLiteral("--simulate"))
            result.simulate = true;
    }
    return result;
}

InstanceOutcome ResolveInstance(const CommandLine& commandLine, InstanceServer& server,
                                const std::function<bool()>& findRunning,
                                const std::function<bool(const QByteArray&)>& send) {
    InstanceOutcome outcome;
    for (const auto action : commandLine.actions) {
        if (action == CommandLine::Action::Start) {
            outcome.initialOpenDone = true;
        } else if (findRunning()) {
            // The running instance is told to quit; this start ends here whether or not it answered.
            send(kTagKill);
            outcome.exitNow = true;
            return outcome;
        }
    }
    if (server.Listen()) return outcome;
    // The socket is held by a live instance: show it and end. If it does not take the tag
    // (it is going away), start normally; the socket stays with its owner.
    if (findRunning() && send(kTagOpen)) outcome.exitNow = true;
    return outcome;
}

}  // namespace talvenix::gui
