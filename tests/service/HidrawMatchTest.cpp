// Recognising the keyboard's hidraw nodes from an enumeration, without touching a device.
#include <gtest/gtest.h>

#include "service/hidraw/DeviceMatch.h"

namespace talvenix::service::hidraw {
namespace {

HidEntry Entry(std::string path, std::uint16_t page, std::uint16_t usage, std::uint16_t vid = 0x0C45,
               std::uint16_t pid = 0x5204) {
    return HidEntry{std::move(path), vid, pid, page, usage};
}

TEST(HidrawMatchTest, EachInterfaceIsKnownByItsUsagePair) {
    EXPECT_EQ(MatchEntry(Entry("/dev/hidraw3", 0xFF1C, 0x0092)), HidInterface::Control);
    EXPECT_EQ(MatchEntry(Entry("/dev/hidraw2", 0x000C, 0x0001)), HidInterface::Consumer);
    EXPECT_EQ(MatchEntry(Entry("/dev/hidraw1", 0x0008, 0x0089)), HidInterface::Led);
    EXPECT_FALSE(MatchEntry(Entry("/dev/hidraw1", 0x0001, 0x0006)));  // the boot keyboard itself
    EXPECT_FALSE(MatchEntry(Entry("/dev/hidraw1", 0xFF1C, 0x0001)));  // right page, wrong usage
    EXPECT_FALSE(MatchEntry(Entry("/dev/hidraw1", 0xFF1C, 0x0092, 0x0C45, 0x5205)));  // another product
    EXPECT_FALSE(MatchEntry(Entry("/dev/hidraw1", 0xFF1C, 0x0092, 0x046D)));          // another vendor
    EXPECT_FALSE(MatchEntry(Entry("", 0xFF1C, 0x0092)));
}

TEST(HidrawMatchTest, CollectionsSharingANodeAreGroupedAndCountedOnce) {
    const auto nodes = MatchEntries({
        Entry("/dev/hidraw0", 0x0001, 0x0006),
        Entry("/dev/hidraw1", 0x000C, 0x0001),
        Entry("/dev/hidraw1", 0x0008, 0x0089),
        Entry("/dev/hidraw1", 0x0001, 0x0080),
        Entry("/dev/hidraw2", 0xFF1C, 0x0092),
        Entry("/dev/hidraw7", 0xFF1C, 0x0092, 0x1234, 0x5204),
    });
    ASSERT_EQ(nodes.nodes.size(), 2u);
    EXPECT_EQ(nodes.Count(HidInterface::Control), 1);
    EXPECT_EQ(nodes.Count(HidInterface::Consumer), 1);
    EXPECT_EQ(nodes.Count(HidInterface::Led), 1);
    EXPECT_EQ(nodes.NodeOf(HidInterface::Control), "/dev/hidraw2");
    EXPECT_EQ(nodes.NodeOf(HidInterface::Led), "/dev/hidraw1");
    EXPECT_EQ(MatchEntries({}).Count(HidInterface::Control), 0);
    EXPECT_EQ(MatchEntries({}).NodeOf(HidInterface::Control), "");
}

TEST(HidrawMatchTest, InputGoesToControlOrConsumerReads) {
    const std::uint8_t reply[64] = {0x04, 0x00, 0x00, 0x03};
    const std::uint8_t usage[] = {0x03, 0xFF, 0x02};
    EXPECT_EQ(InputInterfaceOf({HidInterface::Control}, reply), HidInterface::Control);
    EXPECT_EQ(InputInterfaceOf({HidInterface::Consumer, HidInterface::Led}, usage), HidInterface::Consumer);
    EXPECT_FALSE(InputInterfaceOf({HidInterface::Led}, usage));
    EXPECT_FALSE(InputInterfaceOf({HidInterface::Control}, {}));
    // One node carrying both: a consumer report must not be taken for a reply (and lost).
    const std::set<HidInterface> both = {HidInterface::Control, HidInterface::Consumer};
    EXPECT_EQ(InputInterfaceOf(both, reply), HidInterface::Control);
    EXPECT_EQ(InputInterfaceOf(both, usage), HidInterface::Consumer);
}

TEST(HidrawMatchTest, ConsumerUsageFollowsTheReportId) {
    const std::uint8_t gbank[] = {0x03, 0xFF, 0x02};
    EXPECT_EQ(ConsumerUsageOf(gbank), 0x02FF);
    const std::uint8_t icon[] = {0x02, 0x11, 0x18, 0x00};
    EXPECT_EQ(ConsumerUsageOf(icon), 0x1811);
    const std::uint8_t tooShort[] = {0x03, 0xFF};
    EXPECT_FALSE(ConsumerUsageOf(tooShort));
}

}  // namespace
}  // namespace talvenix::service::hidraw
