// Recognising the keyboard's hidraw nodes from their report descriptors, and routing their input
// reports, without touching a device.
#include <gtest/gtest.h>

#include <vector>

#include "service/hidraw/DeviceMatch.h"

namespace talvenix::service::hidraw {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Collections as a keyboard declares them; `id` 0 leaves out the Report ID item.
Bytes Control(std::uint8_t id) {
    Bytes d = {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01};
    if (id) d.insert(d.end(), {0x85, id});
    d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x09,
                       0x01, 0x91, 0x02, 0xC0});
    return d;
}
Bytes Consumer(std::uint8_t id) {
    Bytes d = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01};
    if (id) d.insert(d.end(), {0x85, id});
    d.insert(d.end(), {0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0});
    return d;
}
Bytes Led(std::uint8_t id) {
    Bytes d = {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01};
    if (id) d.insert(d.end(), {0x85, id});
    d.insert(d.end(), {0x75, 0x08, 0x95, 0x01, 0x09, 0x4B, 0x91, 0x02, 0xC0});
    return d;
}
const Bytes kBootKeyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0,
                             0x29, 0xE7, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

HidrawNode Node(std::string name, const Bytes& descriptor, std::uint16_t vid = 0x0C45,
                std::uint16_t pid = 0x5204) {
    return HidrawNode{"/dev/" + name, "/sys/x/" + name, 3, vid, pid, ParseReportDescriptor(descriptor)};
}

TEST(HidrawMatchTest, DescriptorCollectionsAndReportIds) {
    const auto d = ParseReportDescriptor(Join({Consumer(3), Led(5), Control(4)}));
    EXPECT_TRUE(d.error.empty()) << d.error;
    EXPECT_TRUE(d.numbered);
    ASSERT_EQ(d.collections.size(), 3u);
    EXPECT_EQ(d.collections[0].usagePage, 0x000C);
    EXPECT_EQ(d.collections[0].inputIds, std::set<std::uint8_t>{3});
    EXPECT_EQ(d.collections[1].usage, 0x0089);
    EXPECT_TRUE(d.collections[1].inputIds.empty());
    EXPECT_EQ(d.collections[1].outputIds, std::set<std::uint8_t>{5});
    EXPECT_EQ(d.collections[2].usagePage, 0xFF1C);
    EXPECT_EQ(d.collections[2].inputIds, std::set<std::uint8_t>{4});

    const auto plain = ParseReportDescriptor(Consumer(0));
    EXPECT_FALSE(plain.numbered);
    EXPECT_EQ(plain.collections.at(0).inputIds, std::set<std::uint8_t>{0});

    // An extended (32-bit) usage names its own page; Push/Pop restore the page and the id.
    const auto extended = ParseReportDescriptor(Bytes{0x05, 0x01, 0xA4, 0x85, 0x07, 0xB4, 0x0B, 0x92, 0x00,
                                                      0x1C, 0xFF, 0xA1, 0x01, 0x81, 0x02, 0xC0});
    ASSERT_EQ(extended.collections.size(), 1u);
    EXPECT_EQ(extended.collections[0].usagePage, 0xFF1C);
    EXPECT_EQ(extended.collections[0].usage, 0x0092);
    EXPECT_EQ(extended.collections[0].inputIds, std::set<std::uint8_t>{0});
    // A long item is skipped whole.
    EXPECT_EQ(ParseReportDescriptor(Join({{0xFE, 0x02, 0x10, 0xAA, 0xBB}, Led(0)})).collections.size(), 1u);
}

TEST(HidrawMatchTest, BrokenDescriptorsSayWhyAndKeepWhatParsed) {
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0x06, 0x1C}).error.empty());  // item cut short
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0xC0}).error.empty());        // end without a collection
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0x05, 0x0C, 0xA1, 0x01}).error.empty());
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0xB4}).error.empty());        // pop without push
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0x85, 0x00}).error.empty());  // report id 0
    EXPECT_FALSE(ParseReportDescriptor(Bytes{0xFE, 0x09, 0x00}).error.empty());
    Bytes pushes(40, 0xA4);
    EXPECT_FALSE(ParseReportDescriptor(pushes).error.empty());
    const auto partial = ParseReportDescriptor(Join({Control(4), {0x06, 0x1C}}));
    EXPECT_FALSE(partial.error.empty());
    EXPECT_EQ(partial.collections.size(), 1u);
    EXPECT_TRUE(ParseReportDescriptor(Bytes{}).collections.empty());
}

TEST(HidrawMatchTest, NodesOfTheKeyboardInBothLayouts) {
    // One node per interface, plus the typing keyboard and another vendor's device.
    const auto split = MatchNodes({
        Node("hidraw0", kBootKeyboard),
        Node("hidraw1", Consumer(0)),
        Node("hidraw2", Led(5)),
        Node("hidraw3", Control(4)),
        Node("hidraw4", Control(4), 0x046D),
        Node("hidraw5", Control(4), 0x0C45, 0x5205),
    });
    EXPECT_EQ(split.nodes.size(), 3u);
    EXPECT_EQ(split.Count(HidInterface::Control), 1);
    EXPECT_EQ(split.NodeOf(HidInterface::Consumer), "/dev/hidraw1");
    EXPECT_EQ(split.NodeOf(HidInterface::Led), "/dev/hidraw2");
    EXPECT_EQ(split.NodeOf(HidInterface::Control), "/dev/hidraw3");

    const auto shared = MatchNodes({Node("hidraw7", Join({Consumer(3), Led(5), Control(4), kBootKeyboard}))});
    ASSERT_EQ(shared.nodes.size(), 1u);
    const NodeLayout& layout = shared.nodes.begin()->second.layout;
    EXPECT_EQ(layout.carried.size(), 3u);
    EXPECT_TRUE(layout.carriesOthers);
    EXPECT_EQ(MatchNodes({}).NodeOf(HidInterface::Control), "");
}

TEST(HidrawMatchTest, InputIsRoutedByReportIdAndConsumerUsagesReadAfterIt) {
    const NodeLayout shared = LayoutOf(Node("hidraw7", Join({Consumer(3), Led(5), Control(4)})));
    const std::uint8_t reply[64] = {0x04, 0x00, 0x00, 0x03};
    const std::uint8_t gbank[] = {0x03, 0xFF, 0x02};
    const std::uint8_t unknown[] = {0x09, 0xFF, 0x02};
    EXPECT_EQ(InputInterfaceOf(shared, reply), HidInterface::Control);
    EXPECT_EQ(InputInterfaceOf(shared, gbank), HidInterface::Consumer);
    EXPECT_FALSE(InputInterfaceOf(shared, unknown));
    EXPECT_FALSE(InputInterfaceOf(shared, {}));
    EXPECT_EQ(ConsumerUsageOf(shared, gbank), 0x02FF);

    // A consumer collection with no report id: the usage is the first two bytes.
    const NodeLayout plain = LayoutOf(Node("hidraw1", Consumer(0)));
    const std::uint8_t profileKey[] = {0x01, 0x04};
    EXPECT_EQ(InputInterfaceOf(plain, profileKey), HidInterface::Consumer);
    EXPECT_EQ(ConsumerUsageOf(plain, profileKey), 0x0401);
    const std::uint8_t oneByte[] = {0x01};
    EXPECT_FALSE(ConsumerUsageOf(plain, oneByte));
    // An output-only LED node delivers nothing to the reads.
    EXPECT_FALSE(InputInterfaceOf(LayoutOf(Node("hidraw2", Led(0))), profileKey));
}

}  // namespace
}  // namespace talvenix::service::hidraw
