// talvenix-cli doctor's verdicts: what it says and how it exits for each state of the system.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/CliError.h"
#include "cli/Doctor.h"

namespace talvenix::cli {
namespace {

using service::HidInterface;

DoctorNode Node(std::string path, std::set<HidInterface> carried, std::string problem = "",
                bool tagged = true) {
    DoctorNode n;
    n.path = std::move(path);
    n.layout.carried = std::move(carried);
    n.layout.carriesOthers = n.layout.carried.empty();
    n.openProblem = std::move(problem);
    n.tagged = tagged;
    return n;
}

// A healthy system: the rule installed and applied, one node per interface, the typing one private.
DoctorFacts Healthy() {
    DoctorFacts f;
    f.ruleFiles = {"/usr/lib/udev/rules.d/70-talvenix.rules"};
    f.nodes = {Node("/dev/hidraw0", {}, "permission denied", false),
               Node("/dev/hidraw1", {HidInterface::Consumer}), Node("/dev/hidraw2", {HidInterface::Led}),
               Node("/dev/hidraw3", {HidInterface::Control})};
    return f;
}

bool Says(const DoctorVerdict& v, const std::string& text) {
    return std::any_of(v.lines.begin(), v.lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

TEST(DoctorTest, HealthySystemPassesAndNamesEachNode) {
    const DoctorVerdict v = Diagnose(Healthy());
    EXPECT_EQ(v.exitCode, kExitOk);
    EXPECT_TRUE(
        Says(v, "control interface (reading and writing the keyboard's configuration): /dev/hidraw3"));
    EXPECT_TRUE(Says(v, "/dev/hidraw0 (typing keyboard): not needed, and private"));
    EXPECT_TRUE(Says(v, "the udev rule is active"));
    EXPECT_FALSE(Says(v, "problem:"));
}

TEST(DoctorTest, EachProblemFailsWithItsFix) {
    DoctorFacts none = Healthy();
    none.nodes = {Node("/dev/hidraw0", {}, "permission denied", false)};  // only the typing keyboard
    EXPECT_EQ(Diagnose(none).exitCode, kExitNoKeyboard);
    EXPECT_TRUE(Says(Diagnose(none), "no keyboard attached"));

    // No rule: the nodes are root's only; the fix names the rule and the retrigger.
    DoctorFacts noRule = Healthy();
    noRule.ruleFiles.clear();
    for (auto& n : noRule.nodes) n = Node(n.path, n.layout.carried, "permission denied", false);
    const DoctorVerdict a = Diagnose(noRule);
    EXPECT_EQ(a.exitCode, kExitKeyboardError);
    EXPECT_TRUE(Says(a, "sudo cp packaging/udev/70-talvenix.rules /etc/udev/rules.d/"));

    // Rule installed but the keyboard was plugged in before: replug or retrigger.
    DoctorFacts stale = Healthy();
    for (auto& n : stale.nodes) n = Node(n.path, n.layout.carried, "permission denied", false);
    const DoctorVerdict b = Diagnose(stale);
    EXPECT_EQ(b.exitCode, kExitKeyboardError);
    EXPECT_TRUE(Says(b, "installed but not active"));
    EXPECT_TRUE(Says(b, "udevadm trigger --subsystem-match=hidraw"));

    // Only the LED node is refused: the G-bank light is named as what will not work.
    DoctorFacts led = Healthy();
    led.nodes[2].openProblem = "permission denied";
    const DoctorVerdict c = Diagnose(led);
    EXPECT_EQ(c.exitCode, kExitKeyboardError);
    EXPECT_TRUE(Says(c, "the G-bank light will not work"));

    // Tagged but refused: not the seat's active session.
    DoctorFacts remote = Healthy();
    remote.nodes[3].openProblem = "permission denied";
    EXPECT_TRUE(Says(Diagnose(remote), "active local session"));

    DoctorFacts noUdevd = Healthy();
    noUdevd.udevdRuns = false;
    EXPECT_EQ(Diagnose(noUdevd).exitCode, kExitKeyboardError);

    DoctorFacts noLibrary = Healthy();
    noLibrary.libraryProblem = "/usr/lib/talvenix/libPelloran.so is missing";
    EXPECT_EQ(Diagnose(noLibrary).exitCode, kExitKeyboardError);
}

TEST(DoctorTest, ATypingKeyboardOpenToTheUserIsReportedButNeedsNoFixFromUs) {
    DoctorFacts f = Healthy();
    f.nodes[0].openProblem.clear();
    const DoctorVerdict v = Diagnose(f);
    EXPECT_EQ(v.exitCode, kExitOk);
    EXPECT_TRUE(Says(v, "can read typed keys"));
}

}  // namespace
}  // namespace talvenix::cli
