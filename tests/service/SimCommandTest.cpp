// The simulated keyboard's answers to each command and their effect on its memory.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/service/SimHarness.h"

namespace talvenix::service::test {
namespace {

class SimCommandTest : public SimTest {
protected:
    // Sends and returns the reply; fails the test when none comes.
    Frame Send(const Frame& frame) {
        auto reply = Exchange(frame);
        EXPECT_TRUE(reply.has_value()) << "no reply to command " << int(frame[3]);
        return reply.value_or(Frame{});
    }
    static std::vector<std::uint8_t> Data(const Frame& reply, std::size_t n) {
        return {reply.begin() + 8, reply.begin() + 8 + static_cast<std::ptrdiff_t>(n)};
    }
    static std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed) {
        std::vector<std::uint8_t> v(n);
        for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 7);
        return v;
    }
};

TEST_F(SimCommandTest, FactoryMemory) {
    const auto config = Memory(PELLORAN_SIM_CONFIG, 0, 44);
    EXPECT_EQ(config[10], 0);
    EXPECT_EQ(config[11], 128);
    std::vector<std::uint8_t> effects(config.begin() + 12, config.end());
    std::vector<std::uint8_t> expected(32, 0);
    std::iota(expected.begin(), expected.begin() + 18, 1);
    expected[18] = 20;
    EXPECT_EQ(effects, expected);

    const std::vector<std::uint8_t> reset = {0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08,
                                             0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00,
                                             0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF,
                                             0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    for (std::uint32_t p = 0; p < 3; ++p) {
        auto record = Memory(PELLORAN_SIM_LIGHTING, p * 42, 42);
        EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.begin() + 35), reset) << "profile " << p;
        EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 35, record.end()),
                  std::vector<std::uint8_t>(7, 0));
    }

    const auto layout = Memory(PELLORAN_SIM_LAYOUT, 0, 378);
    auto entry = [&](int slot) {
        return std::vector<std::uint8_t>(layout.begin() + slot * 3, layout.begin() + slot * 3 + 3);
    };
    using E = std::vector<std::uint8_t>;
    EXPECT_EQ(entry(0), (E{0x02, 0x02, 0x29}));    // Esc
    EXPECT_EQ(entry(64), (E{0x02, 0x02, 0x04}));   // A
    EXPECT_EQ(entry(16), (E{0x02, 0x02, 0x48}));   // Pause
    EXPECT_EQ(entry(38), (E{0x02, 0x02, 0x53}));   // Num Lock
    EXPECT_EQ(entry(104), (E{0x02, 0x02, 0x58}));  // keypad Enter
    EXPECT_EQ(entry(105), (E{0x02, 0x01, 0x01}));  // left Ctrl
    EXPECT_EQ(entry(97), (E{0x02, 0x01, 0x20}));   // right Shift
    EXPECT_EQ(entry(109), (E{0x02, 0x01, 0x40}));  // right Alt
    EXPECT_EQ(entry(112), (E{0x02, 0x01, 0x80}));  // right Win
    EXPECT_EQ(entry(110), (E{0, 0, 0}));           // Fn
    EXPECT_EQ(entry(125), (E{0, 0, 0}));           // the G keys' shared slot
    EXPECT_EQ(entry(13), (E{0, 0, 0}));            // empty cell
    int keys = 0;
    for (int slot = 0; slot < 126; ++slot) keys += entry(slot)[0] == 0x02;
    EXPECT_EQ(keys, 104);

    const auto blocks = Memory(PELLORAN_SIM_KEYBLOCKS, 0, 1134);
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(std::equal(layout.begin(), layout.end(), blocks.begin() + p * 378)) << "key block " << p;
    }
    EXPECT_EQ(Memory(PELLORAN_SIM_COLOURS, 0, 1536), std::vector<std::uint8_t>(1536, 0));
    const auto macros = Memory(PELLORAN_SIM_MACROS, 0, 16);
    EXPECT_NE(macros[0] | (macros[1] << 8), 0x55AA);
}

TEST_F(SimCommandTest, RepliesEchoTheHeaderAndCarryReadDataAtOffset8) {
    const Frame request = MakeFrame(3, 44, 0);
    const Frame reply = Send(request);
    EXPECT_EQ(reply[0], 0x04);
    EXPECT_EQ(reply[3], 3);
    EXPECT_EQ(reply[4], 44);
    EXPECT_EQ(reply[7], 0x00);
    EXPECT_EQ(Data(reply, 44), Memory(PELLORAN_SIM_CONFIG, 0, 44));
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 52, reply.end()), std::vector<std::uint8_t>(12, 0));

    for (std::uint8_t control : {1, 2}) {
        const Frame r = Send(MakeFrame(control, 0, 0));
        EXPECT_EQ(r[3], control);
        EXPECT_EQ(r[7], 0x00);
    }
}

TEST_F(SimCommandTest, BadFrameChecksumAnswers0xFFAndChangesNothing) {
    Frame bad = MakeFrame(4, 44, 0, std::vector<std::uint8_t>(44, 0x77));
    bad[1] ^= 0x01;
    const Frame reply = Send(bad);
    EXPECT_EQ(reply[3], 4);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(Memory(PELLORAN_SIM_CONFIG, 11, 1)[0], 128);

    // A command the keyboard does not know gets the same answer.
    EXPECT_EQ(Send(MakeFrame(0x33, 0, 0))[7], 0xFF);
}

TEST_F(SimCommandTest, AddressOrLengthOutsideTheAreaAnswers0xFE) {
    const auto before = Memory(PELLORAN_SIM_KEYBLOCKS, 0, 1134);
    EXPECT_EQ(Send(MakeFrame(8, 56, 1134 - 55, Pattern(56, 1)))[7], 0xFE);  // one byte past the end
    EXPECT_EQ(Memory(PELLORAN_SIM_KEYBLOCKS, 0, 1134), before);
    EXPECT_EQ(Send(MakeFrame(8, 56, 1134 - 56, Pattern(56, 1)))[7], 0x00);  // exactly fits
    EXPECT_EQ(Send(MakeFrame(6, 10, 120, Pattern(10, 2)))[7], 0xFE);
    EXPECT_EQ(Send(MakeFrame(4, 44, 1, Pattern(44, 3)))[7], 0xFE);
    EXPECT_EQ(Send(MakeFrame(7, 57, 0))[7], 0xFE);     // more than a frame holds
    EXPECT_EQ(Send(MakeFrame(15, 56, 336))[7], 0xFE);  // layout ends at 378
    EXPECT_EQ(Send(MakeFrame(17, 54, 1536 - 53, Pattern(54, 4)))[7], 0xFE);
    EXPECT_EQ(Send(MakeFrame(5, 56, 126))[7], 0xFE);
}

TEST_F(SimCommandTest, LightingReadAlwaysAnswers56BytesFromItsAddress) {
    std::vector<std::uint8_t> record = Pattern(42, 9);
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_LIGHTING, 84, record.data(), 42), 1);
    // Profile 2's record: the window runs past the area, which reads as zero.
    const Frame reply = Send(MakeFrame(5, 56, 84));
    ASSERT_EQ(reply[7], 0x00);
    EXPECT_EQ(Data(reply, 42), record);
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 50, reply.end()), std::vector<std::uint8_t>(14, 0));
    // Profile 0 with a short length byte still gets 56 bytes.
    const Frame first = Send(MakeFrame(5, 42, 0));
    EXPECT_EQ(Data(first, 56), Memory(PELLORAN_SIM_LIGHTING, 0, 56));
}

TEST_F(SimCommandTest, EveryWriteCommandLandsAtItsAddress) {
    struct Case {
        std::uint8_t command;
        int area;
        std::uint16_t address;
        std::uint8_t length;
    };
    const Case cases[] = {
        {4, PELLORAN_SIM_CONFIG, 0, 44},           {6, PELLORAN_SIM_LIGHTING, 84 + 15, 1},
        {6, PELLORAN_SIM_LIGHTING, 42, 35},        {8, PELLORAN_SIM_KEYBLOCKS, 378 + 336, 42},
        {10, PELLORAN_SIM_MACROS, 65480, 56},      {17, PELLORAN_SIM_COLOURS, 1324, 3},
        {17, PELLORAN_SIM_COLOURS, 512 + 378, 54},
    };
    std::uint8_t seed = 10;
    for (const Case& c : cases) {
        const auto data = Pattern(c.length, seed += 13);
        const Frame reply = Send(MakeFrame(c.command, c.length, c.address, data));
        EXPECT_EQ(reply[3], c.command);
        EXPECT_EQ(reply[7], 0x00) << "command " << int(c.command);
        EXPECT_EQ(Memory(c.area, c.address, c.length), data) << "command " << int(c.command);
    }
    // Neighbours of a one-byte lighting write are untouched.
    EXPECT_EQ(Memory(PELLORAN_SIM_LIGHTING, 84 + 14, 1)[0], 0x00);
    EXPECT_EQ(Memory(PELLORAN_SIM_LIGHTING, 84 + 16, 1)[0], 0xFF);
}

TEST_F(SimCommandTest, EveryReadCommandReturnsItsArea) {
    const auto blocks = Pattern(1134, 5);
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_KEYBLOCKS, 0, blocks.data(), 1134), 1);
    const auto macros = Pattern(200, 77);
    ASSERT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_MACROS, 100, macros.data(), 200), 1);

    EXPECT_EQ(Data(Send(MakeFrame(7, 42, 2 * 378 + 336)), 42),
              std::vector<std::uint8_t>(blocks.begin() + 2 * 378 + 336, blocks.begin() + 3 * 378));
    EXPECT_EQ(Data(Send(MakeFrame(9, 56, 100)), 56),
              std::vector<std::uint8_t>(macros.begin(), macros.begin() + 56));
    EXPECT_EQ(Data(Send(MakeFrame(15, 42, 336)), 42), Memory(PELLORAN_SIM_LAYOUT, 336, 42));
    // Only `length` bytes are data; the rest of the reply stays zero.
    const Frame shortRead = Send(MakeFrame(9, 16, 100));
    EXPECT_EQ(Data(shortRead, 16), std::vector<std::uint8_t>(macros.begin(), macros.begin() + 16));
    EXPECT_EQ(std::vector<std::uint8_t>(shortRead.begin() + 24, shortRead.end()),
              std::vector<std::uint8_t>(40, 0));
}

TEST_F(SimCommandTest, TestApiRefusesOutOfRangeAccess) {
    std::uint8_t buf[64] = {};
    EXPECT_EQ(PelloranSimReadMemory(PELLORAN_SIM_CONFIG, 0, buf, 44), 1);
    EXPECT_EQ(PelloranSimReadMemory(PELLORAN_SIM_CONFIG, 1, buf, 44), 0);
    EXPECT_EQ(PelloranSimReadMemory(PELLORAN_SIM_LED, 0, buf, 3), 0);
    EXPECT_EQ(PelloranSimReadMemory(7, 0, buf, 1), 0);
    EXPECT_EQ(PelloranSimReadMemory(-1, 0, buf, 1), 0);
    EXPECT_EQ(PelloranSimWriteMemory(PELLORAN_SIM_MACROS, 65536 - 4, buf, 8), 0);
    EXPECT_EQ(PelloranSimReadMemory(PELLORAN_SIM_MACROS, 0xFFFFFFFFu, buf, 2), 0);
    EXPECT_EQ(PelloranSimFrameAt(0, buf), 0);
}

TEST_F(SimCommandTest, FrameLogKeepsWhatWasReceivedUntilCleared) {
    const Frame a = MakeFrame(1, 0, 0);
    const Frame b = MakeFrame(3, 44, 0);
    ASSERT_TRUE(Exchange(a));
    ASSERT_TRUE(Exchange(b));
    const auto frames = ReceivedFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], a);
    EXPECT_EQ(frames[1], b);
    PelloranSimClearFrames();
    EXPECT_EQ(PelloranSimFrameCount(), 0u);
}

TEST_F(SimCommandTest, ResetRestoresFactoryMemoryAndKeepsLatency) {
    ASSERT_TRUE(Exchange(MakeFrame(8, 56, 0, Pattern(56, 3))));
    ASSERT_EQ(Control("latency 1234"), 0);
    ASSERT_EQ(Control("unplug"), 0);
    ASSERT_EQ(Control("fault drop 3"), 0);
    PelloranSimReset();
    EXPECT_EQ(Memory(PELLORAN_SIM_KEYBLOCKS, 0, 378), Memory(PELLORAN_SIM_LAYOUT, 0, 378));
    std::string status;
    ASSERT_EQ(Control("status", &status), 0);
    EXPECT_EQ(status, "ok plugged=1 profile=0 latency=1234 faults=none");
}

}  // namespace
}  // namespace talvenix::service::test
