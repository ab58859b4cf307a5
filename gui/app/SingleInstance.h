// One running configurator per user. The first instance listens on a per-user local socket
// named from "QT27M05B" (user-only permissions); a later start finds it and sends one
// four-character tag: OPEN (show your window) or KILL (quit).
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QSocketNotifier;

namespace talvenix::gui {

inline constexpr const char* kInstanceName = "QT27M05B";
inline const QByteArray kTagOpen = QByteArrayLiteral("OPEN");
inline const QByteArray kTagKill = QByteArrayLiteral("KILL");

// The socket path for this user: <runtime folder>/QT27M05B-<uid>.
// Empty, with `error` set, when that folder is missing or not private to this user.
QString InstanceSocketPath(QString* error = nullptr);

// Pid of another running process whose executable file name equals `fileName` (compared
// case-insensitively), searched under /proc; never our own pid. 0 when none.
long FindInstanceProcess(const QString& fileName);

// Delivers `tag` to the instance listening at `socketPath` and waits for its acknowledgement.
// True when the running instance took the tag.
bool SendInstanceTag(const QString& socketPath, const QByteArray& tag, int timeoutMs = 3000);

// The running side: owns the socket while the program runs.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QString socketPath, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Takes the instance lock and the socket. What a crashed instance left behind is taken
    // over. False when another live instance holds them.
    bool Listen();
    bool Listening() const { return server_.isListening(); }
    void Close();
    const QString& SocketPath() const { return path_; }

Q_SIGNALS:
    void OpenRequested();
    void KillRequested();

private:
    void OnConnection();

    QString path_;
    QLockFile lock_;
    QLocalServer server_;
};

// SIGTERM, SIGINT and SIGHUP end the program as a quit does, so the instance socket and lock
// file go with it. The handler only writes a byte to a pipe; `onSignal` runs later on the
// thread that owns this object (the UI thread), from its event loop. The previous handlers
// come back when the object is destroyed.
class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~QuitOnSignals() override;
    // False when the pipe or the handlers could not be set up (the signals then keep their
    // default action).
    bool Installed() const { return notifier_ != nullptr; }

private:
    void OnReadable();

    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

// What the command line asks for. Arguments are matched whole and case-insensitively;
// anything else (apart from our own --simulate) is ignored.
struct CommandLine {
    enum class Action { Kill, Start };
    std::vector<Action> actions;  // in command-line order
    bool simulate = false;
};
CommandLine ParseCommandLine(const QStringList& arguments);  // without the program name

// The single-instance decision at start-up.
struct InstanceOutcome {
    bool exitNow = false;          // another instance took OPEN or KILL: end with exit code 0
    bool initialOpenDone = false;  // "/Start" seen
};

// Runs the command-line actions in order, then the single-instance check. `findRunning`
// says whether another instance of this program runs; `send` delivers a tag to it.
// On a normal start `server` ends up listening.
InstanceOutcome ResolveInstance(const CommandLine& commandLine, InstanceServer& server,
                                const std::function<bool()>& findRunning,
                                const std::function<bool(const QByteArray&)>& send);

}  // namespace talvenix::gui
