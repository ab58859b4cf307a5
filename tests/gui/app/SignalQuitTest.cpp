// The program ended by a signal (a logout, a service manager, Ctrl+C in its terminal) leaves no
// instance socket or lock file behind, and the next start works.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <memory>

#include "tests/gui/GuiFixture.h"

namespace talvenix::test {
namespace {

class SignalQuitTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::make_unique<TempHome>();
        skin_ = std::make_unique<TestSkin>();
        QFile::link(QStringLiteral(TALVENIX_BIN_DIR "/libPelloranSim.so"),
                    skin_->ProgramFolder() + QStringLiteral("/libPelloranSim.so"));
    }
    void TearDown() override { QDir(skin_->ProgramFolder()).removeRecursively(); }

    void Start(QProcess& program) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALVENIX_PROGRAM_DIR"), skin_->ProgramFolder());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TALVENIX_SIM_SOCKET"), QStringLiteral("none"));
        env.insert(QStringLiteral("TALVENIX_SIM_LATENCY_US"), QStringLiteral("0"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TALVENIX_BIN_DIR "/talvenix"),
                      {QStringLiteral("--simulate"), QStringLiteral("/Start")});
    }
    QString Socket() const {
        return QString::fromStdString(home_->RuntimeFolder().string()) +
               QStringLiteral("/QT27M05B-%1").arg(::getuid());
    }

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<TestSkin> skin_;
};

TEST_F(SignalQuitTest, EachQuitSignalRemovesTheSocketAndLockAndTheNextStartWorks) {
    const QString socket = Socket(), lock = Socket() + QStringLiteral(".lock");
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(::testing::Message() << "signal " << signal);
        QProcess program;
        Start(program);
        ASSERT_TRUE(program.waitForStarted());
        ASSERT_TRUE(WaitFor([&] { return QFile::exists(socket) && QFile::exists(lock); }, 20000))
            << program.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        ASSERT_TRUE(program.waitForFinished(15000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_FALSE(QFile::exists(socket));
        EXPECT_FALSE(QFile::exists(lock));
    }
}

}  // namespace
}  // namespace talvenix::test
