// packaging/udev/70-talvenix.rules: which hidraw nodes it opens up to the user at the seat.
// udevd is not available to these tests (the VM suite runs the rule under a real udevd), so the
// rule's parent matches are checked for the pitfall that makes a rule skip every device, and its
// report-descriptor matcher is run for real.
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
    EXPECT_NE(tagging.find("PROGRAM="), std::string::npos)
        << "only the keyboard's own collections are opened up";
}

class UdevDescriptorTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("talvenix-udev-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "device");
        const std::string line = TaggingLine();
        std::smatch m;
        ASSERT_TRUE(std::regex_search(line, m, std::regex(R"re(PROGRAM="([^"]*)")re")));
        // udev expands %p to the node's devpath (here the "sysfs" is a temporary folder) and
        // $$ to $.
        const std::string raw = m[1];
        const auto at = raw.find("/sys%p");
        ASSERT_NE(at, std::string::npos);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (i == at) {
                program_ += root_.string();
                i += 5;
            } else if (raw.compare(i, 2, "$$") == 0) {
                program_ += '$';
                ++i;
            } else {
                program_ += raw[i];
            }
        }
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

TEST_F(UdevDescriptorTest, TheKeyboardsOwnCollectionsButNeverItsTypingOne) {
    const std::vector<unsigned char> control = {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x15, 0x00, 0xC0};
    const std::vector<unsigned char> consumer = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0xC0};
    const std::vector<unsigned char> led = {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0xC0};
    const std::vector<unsigned char> keyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0xC0};
    auto join = [](std::vector<unsigned char> a, const std::vector<unsigned char>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    EXPECT_TRUE(Accepts(control));
    EXPECT_TRUE(Accepts(consumer));
    EXPECT_TRUE(Accepts(led));
    // All three on one node, in any order.
    EXPECT_TRUE(Accepts(join(join(consumer, led), control)));
    // The typing keyboard, alone or sharing a node with any of ours: typed keys stay private.
    EXPECT_FALSE(Accepts(keyboard));
    EXPECT_FALSE(Accepts(join(control, keyboard)));
    EXPECT_FALSE(Accepts(join(keyboard, join(consumer, led))));
    // Another vendor page, a system-control collection, and the right digits split across byte
    // boundaries.
    EXPECT_FALSE(Accepts({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0}));
    EXPECT_FALSE(Accepts({0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0xC0}));
    EXPECT_FALSE(Accepts({0x00, 0x61, 0xCF, 0xF0}));
    EXPECT_FALSE(Accepts({}));
    // A node whose descriptor cannot be read.
    std::filesystem::remove(root_ / "device" / "report_descriptor");
    EXPECT_FALSE(std::system(program_.c_str()) == 0);
}

}  // namespace
}  // namespace talvenix::service::test
