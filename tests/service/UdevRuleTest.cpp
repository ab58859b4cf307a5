// packaging/udev/70-talvenix.rules: which hidraw nodes it opens up to the user at the seat.
// udevd is not available to tests, so the rule's parent matches are checked for the pitfall
// that makes a rule skip every device, and its report-descriptor matcher is run for real.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace talvenix::service::test {
namespace {

std::vector<std::string> RuleLines() {
    std::ifstream in(std::string(TALVENIX_SOURCE_DIR) + "/packaging/udev/70-talvenix.rules");
    EXPECT_TRUE(in.good()) << "rules file missing";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return lines;
}

// The line that tags the node.
std::string TaggingLine() {
    for (const std::string& line : RuleLines()) {
        if (line.find("TAG+=\"uaccess\"") != std::string::npos) return line;
    }
    return {};
}

TEST(UdevRuleTest, MatchesTheKeyboardPositivelyAndNeverOpensItToEveryone) {
    for (const std::string& line : RuleLines()) {
        // A negated parent match passes on any ancestor whose value differs (the USB hub), so
        // a "skip unless ours" line written that way skips every keyboard.
        EXPECT_FALSE(
            std::regex_search(line, std::regex(R"((ATTRS|KERNELS|SUBSYSTEMS|DRIVERS)(\{[^}]*\})?\s*!=)")))
            << line;
        EXPECT_EQ(line.find("MODE"), std::string::npos) << line;
    }
    const std::string tagging = TaggingLine();
    ASSERT_FALSE(tagging.empty());
    EXPECT_NE(tagging.find("ATTRS{idVendor}==\"0c45\""), std::string::npos);
    EXPECT_NE(tagging.find("ATTRS{idProduct}==\"5204\""), std::string::npos);
    EXPECT_NE(tagging.find("PROGRAM="), std::string::npos) << "only the control interface is opened up";
}

class UdevDescriptorTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("talvenix-udev-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "device");
        const std::string line = TaggingLine();
        std::smatch m;
        ASSERT_TRUE(std::regex_search(line, m, std::regex(R"re(PROGRAM="([^"]*)")re")));
        program_ = m[1];
        // udev expands %p to the node's devpath; here the "sysfs" is a temporary folder.
        const auto at = program_.find("/sys%p");
        ASSERT_NE(at, std::string::npos);
        program_.replace(at, 6, root_.string());
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    // True when the rule's matcher accepts a node with this report descriptor.
    bool Accepts(const std::vector<unsigned char>& descriptor) {
        std::ofstream(root_ / "device" / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()),
                   static_cast<std::streamsize>(descriptor.size()));
        const int status = std::system(program_.c_str());
        return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::filesystem::path root_;
    std::string program_;
};

TEST_F(UdevDescriptorTest, OnlyTheConfigurationInterfaceIsAccepted) {
    // Usage Page (0xFF1C), Usage (0x92), Collection (Application) ...
    EXPECT_TRUE(Accepts({0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x15, 0x00, 0xC0}));
    // ... also when it is not the first collection of the node.
    EXPECT_TRUE(
        Accepts({0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0, 0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0xC0}));
    // The typing interfaces: keyboard, consumer control, LEDs.
    EXPECT_FALSE(Accepts({0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0xC0}));
    EXPECT_FALSE(Accepts({0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0}));
    EXPECT_FALSE(Accepts({0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0xC0}));
    // Another vendor page, and the right digits split across byte boundaries.
    EXPECT_FALSE(Accepts({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0}));
    EXPECT_FALSE(Accepts({0x00, 0x61, 0xCF, 0xF0}));
    EXPECT_FALSE(Accepts({}));
}

}  // namespace
}  // namespace talvenix::service::test
