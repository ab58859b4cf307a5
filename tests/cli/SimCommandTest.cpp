// sim: the binary drives a simulated keyboard running in another process (here: this test's
// in-process simulator) through its control socket.
#include <gtest/gtest.h>

#include <cstdlib>

#include "service/simulator/PelloranSim.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/SimKeyboard.h"

namespace talvenix::test {
namespace {

class SimCommandTest : public CliTest {
protected:
    SimCommandTest() {
        if (const char* old = std::getenv("TALVENIX_SIM_SOCKET")) saved_ = old;
        setenv("TALVENIX_SIM_SOCKET", (home_.RuntimeFolder() / "sim.sock").c_str(), 1);
        keyboard_ = std::make_unique<SimKeyboard>();
    }
    ~SimCommandTest() override {
        keyboard_.reset();
        if (saved_)
            setenv("TALVENIX_SIM_SOCKET", saved_->c_str(), 1);
        else
            unsetenv("TALVENIX_SIM_SOCKET");
    }
    std::optional<std::string> saved_;
    std::unique_ptr<SimKeyboard> keyboard_;
};

TEST_F(SimCommandTest, PlugAndUnplugReachTheRunningKeyboard) {
    const CliResult status = Run({"sim", "status"});
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out.rfind("ok plugged=1", 0), 0u) << status.out;

    ASSERT_EQ(Run({"sim", "unplug"}).exitCode, 0);
    EXPECT_EQ(keyboard_->Transport().DeviceCount(), 0);
    ASSERT_EQ(Run({"sim", "plug"}).exitCode, 0);
    EXPECT_EQ(keyboard_->Transport().DeviceCount(), 1);
}

TEST_F(SimCommandTest, SwitchProfileChangesTheConfigurationBlock) {
    ASSERT_EQ(Run({"sim", "switch-profile", "2"}).exitCode, 0);
    EXPECT_EQ(keyboard_->Memory(PELLORAN_SIM_CONFIG, 10, 1).at(0), 2);
}

TEST_F(SimCommandTest, FaultsAndLatencyAreForwarded) {
    const CliResult fault = Run({"sim", "fault", "drop", "2"});
    ASSERT_EQ(fault.exitCode, 0) << fault.err;
    EXPECT_NE(fault.out.find("drop x2"), std::string::npos) << fault.out;
    EXPECT_NE(Run({"sim", "status"}).out.find("drop"), std::string::npos);
    EXPECT_EQ(Run({"sim", "fault", "clear"}).exitCode, 0);
    EXPECT_EQ(Run({"sim", "latency", "250"}).exitCode, 0);
    EXPECT_NE(Run({"sim", "status"}).out.find("latency=250"), std::string::npos);
}

TEST_F(SimCommandTest, BadArgumentsAreRefusedBeforeAnythingIsSent) {
    EXPECT_EQ(Run({"sim", "fault", "sideways"}).exitCode, 1);
    EXPECT_EQ(Run({"sim", "fault", "clear", "3"}).exitCode, 2);
    EXPECT_EQ(Run({"sim", "switch-profile", "3"}).exitCode, 1);
    EXPECT_EQ(Run({"sim", "latency", "-5"}).exitCode, 1);
    EXPECT_EQ(Run({"sim"}).exitCode, 2);
    EXPECT_NE(Run({"sim", "status"}).out.find("faults=none"), std::string::npos);
}

}  // namespace
}  // namespace talvenix::test
