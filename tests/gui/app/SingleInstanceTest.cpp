// One instance per user: the command line, the instance socket and its tags, the process search.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <future>
#include <thread>

#include "gui/app/SingleInstance.h"
#include "tests/gui/GuiFixture.h"

namespace talvenix::gui {
namespace {

using talvenix::test::WaitFor;

TEST(CommandLine, MatchesWholeArgumentsWithoutRegardToCase) {
    using A = CommandLine::Action;
    EXPECT_EQ(ParseCommandLine({QStringLiteral("/kill")}).actions, std::vector<A>{A::Kill});
    EXPECT_EQ(ParseCommandLine({QStringLiteral("/KILL")}).actions, std::vector<A>{A::Kill});
    EXPECT_EQ(ParseCommandLine({QStringLiteral("/sTaRt")}).actions, std::vector<A>{A::Start});
    EXPECT_TRUE(ParseCommandLine({QStringLiteral("/Killer"), QStringLiteral("x/Kill"), QStringLiteral("/Kil"),
                                  QStringLiteral("Kill"), QStringLiteral("/Start ")})
                    .actions.empty());
    const CommandLine both =
        ParseCommandLine({QStringLiteral("/Start"), QStringLiteral("other"), QStringLiteral("/Kill")});
    EXPECT_EQ(both.actions, (std::vector<A>{A::Start, A::Kill}));
    EXPECT_FALSE(both.simulate);
    EXPECT_TRUE(ParseCommandLine({QStringLiteral("--simulate")}).simulate);
}

class InstanceSocket : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString SocketPath() const { return dir_.filePath(QStringLiteral("QT27M05B-test")); }
    // The sending side blocks, so it runs on its own thread while this one serves the socket.
    bool SendFromOtherThread(const QByteArray& tag) {
        auto result = std::async(std::launch::async,
                                 [path = SocketPath(), tag] { return SendInstanceTag(path, tag, 2000); });
        WaitFor([&] { return result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
                5000);
        return result.get();
    }
    QTemporaryDir dir_;
};

TEST_F(InstanceSocket, OpenAndKillReachTheRunningInstance) {
    InstanceServer server(SocketPath());
    ASSERT_TRUE(server.Listen());
    QSignalSpy open(&server, &InstanceServer::OpenRequested);
    QSignalSpy kill(&server, &InstanceServer::KillRequested);
    EXPECT_TRUE(SendFromOtherThread(kTagOpen));
    EXPECT_TRUE(WaitFor([&] { return open.count() == 1; }));
    EXPECT_EQ(kill.count(), 0);
    EXPECT_TRUE(SendFromOtherThread(kTagKill));
    EXPECT_TRUE(WaitFor([&] { return kill.count() == 1; }));
    EXPECT_EQ(open.count(), 1);
}

TEST_F(InstanceSocket, AWrongTagIsIgnored) {
    InstanceServer server(SocketPath());
    ASSERT_TRUE(server.Listen());
    QSignalSpy open(&server, &InstanceServer::OpenRequested);
    QSignalSpy kill(&server, &InstanceServer::KillRequested);
    EXPECT_FALSE(SendFromOtherThread(QByteArrayLiteral("OPEX")));
    QCoreApplication::processEvents();
    EXPECT_EQ(open.count() + kill.count(), 0);
}

TEST_F(InstanceSocket, NobodyListeningMeansNoInstance) {
    EXPECT_FALSE(SendInstanceTag(SocketPath(), kTagOpen, 200));
}

TEST_F(InstanceSocket, OnlyOneServerHoldsTheSocketAndOnlyForThisUser) {
    InstanceServer first(SocketPath());
    ASSERT_TRUE(first.Listen());
    const QFileInfo info(SocketPath());
    EXPECT_FALSE(info.permissions() &
                 (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
    InstanceServer second(SocketPath());
    EXPECT_FALSE(second.Listen());
    first.Close();
    EXPECT_TRUE(second.Listen());
}

TEST_F(InstanceSocket, ASocketLeftByACrashIsTakenOver) {
    QFile stale(SocketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    InstanceServer server(SocketPath());
    EXPECT_TRUE(server.Listen());
}

TEST_F(InstanceSocket, KillWithoutARunningInstanceStartsNormally) {
    InstanceServer server(SocketPath());
    std::vector<QByteArray> sent;
    const auto outcome = ResolveInstance(
        ParseCommandLine({QStringLiteral("/Kill")}), server, [] { return false; },
        [&](const QByteArray& tag) {
            sent.push_back(tag);
            return true;
        });
    EXPECT_FALSE(outcome.exitNow);
    EXPECT_FALSE(outcome.initialOpenDone);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(server.Listening());
}

TEST_F(InstanceSocket, StartThenKillSetsTheFlagAndEndsAfterTellingTheRunningInstance) {
    InstanceServer running(SocketPath());
    ASSERT_TRUE(running.Listen());
    InstanceServer starting(SocketPath());
    std::vector<QByteArray> sent;
    const auto outcome = ResolveInstance(
        ParseCommandLine({QStringLiteral("/Start"), QStringLiteral("/Kill")}), starting, [] { return true; },
        [&](const QByteArray& tag) {
            sent.push_back(tag);
            return true;
        });
    EXPECT_TRUE(outcome.exitNow);
    EXPECT_TRUE(outcome.initialOpenDone);
    EXPECT_EQ(sent, std::vector<QByteArray>{kTagKill});
    EXPECT_FALSE(starting.Listening());
}

TEST_F(InstanceSocket, ASecondStartShowsTheRunningInstanceAndEnds) {
    InstanceServer running(SocketPath());
    ASSERT_TRUE(running.Listen());
    InstanceServer starting(SocketPath());
    std::vector<QByteArray> sent;
    const auto outcome = ResolveInstance(
        ParseCommandLine({}), starting, [] { return true; },
        [&](const QByteArray& tag) {
            sent.push_back(tag);
            return true;
        });
    EXPECT_TRUE(outcome.exitNow);
    EXPECT_EQ(sent, std::vector<QByteArray>{kTagOpen});
}

TEST_F(InstanceSocket, AnInstanceThatDoesNotAnswerLetsTheNewOneRunWithoutStealingItsSocket) {
    InstanceServer running(SocketPath());
    ASSERT_TRUE(running.Listen());
    InstanceServer starting(SocketPath());
    const auto outcome = ResolveInstance(
        ParseCommandLine({}), starting, [] { return true; }, [](const QByteArray&) { return false; });
    EXPECT_FALSE(outcome.exitNow);
    EXPECT_TRUE(running.Listening());
    EXPECT_FALSE(starting.Listening());
}

// Another local user who can write to the runtime folder could pre-create our socket and lock;
// such a folder is refused rather than trusted.
TEST(InstanceSocketFolder, OnlyAFolderPrivateToThisUserIsUsed) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));

    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString error;
    const QString path = InstanceSocketPath(&error);
    EXPECT_TRUE(path.startsWith(dir.path())) << path.toStdString();
    EXPECT_TRUE(error.isEmpty());

    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::WriteOther |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther);
    EXPECT_TRUE(InstanceSocketPath(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());

    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(InstanceProcess, TheSearchNeverFindsItself) {
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_NE(FindInstanceProcess(own), static_cast<long>(::getpid()));
    EXPECT_EQ(FindInstanceProcess(QStringLiteral("no-such-program-name-xyz")), 0);
}

TEST(InstanceProcess, TheSearchFindsAnotherProcessByNameWithoutRegardToCase) {
    // `sleep` stands in for a running copy of the program.
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("5")});
    ASSERT_TRUE(other.waitForStarted());
    const QString name =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(other.processId()))).fileName();
    ASSERT_FALSE(name.isEmpty());
    EXPECT_NE(FindInstanceProcess(name.toUpper()), 0);
    other.kill();
    other.waitForFinished();
}

}  // namespace
}  // namespace talvenix::gui
