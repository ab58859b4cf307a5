// Downloading to the simulated keyboard: what reaches its memory, the space rule with and
// without names, and the cases where nothing may be written at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "core/device/Commands.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/macros/MacroDownload.h"
#include "tests/support/SimKeyboard.h"

using namespace talvenix;
using namespace talvenix::macros;

namespace {

constexpr std::uint16_t kKeyA = 0x1E;

MacroRecord Macro(int id, std::u16string_view name, int actions) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(name);
    m.cycles = 1;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (int i = 0; i < actions; ++i)
        m.actions[static_cast<std::size_t>(i)] = {20, kKeyA, static_cast<std::uint16_t>(i % 2)};
    return m;
}

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device::ReadDefaultLayout(sim.Transport(), layout), 1);
        sim.ClearFrames();
    }
    DownloadTarget Target(int space, bool all = true, int current = 0) {
        DownloadTarget t;
        t.transport = &sim.Transport();
        t.macroSpace = space;
        t.defaultLayout = &layout;
        t.allProfiles = all;
        t.currentProfile = current;
        return t;
    }
    std::vector<std::uint8_t> MacroMemory(std::size_t n) {
        return sim.Memory(PELLORAN_SIM_MACROS, 0, static_cast<std::uint32_t>(n));
    }
    std::vector<std::uint8_t> KeyBlockMemory(int p) {
        return sim.Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(p * 378), 378);
    }

    test::SimKeyboard sim;
    device::KeyBlock layout{};
    WorkingConfig working;
    DownloadSnapshot snapshot;
};

}  // namespace

TEST_F(Download, ZeroMacrosStillWritesTheSixteenByteHeader) {
    const DownloadOutcome out = DownloadConfiguration(working, snapshot, Target(16384));
    ASSERT_TRUE(out.Ok()) << out.deviceResult;
    EXPECT_EQ(out.imageSize, 16u);
    const auto mem = MacroMemory(16);
    EXPECT_EQ(mem, (std::vector<std::uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const auto frames = sim.Frames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames.front()[device::kOffCommand], device::kCmdBeginUpdate);
    // End closes the writes; only the read-back of what was written follows it.
    const auto end = std::find_if(frames.begin(), frames.end(), [](const auto& f) {
        return f[device::kOffCommand] == device::kCmdEndUpdate;
    });
    ASSERT_NE(end, frames.end());
    for (auto f = end + 1; f != frames.end(); ++f) {
        EXPECT_TRUE((*f)[device::kOffCommand] == device::kCmdReadMacros ||
                    (*f)[device::kOffCommand] == device::kCmdReadKeyBlock);
    }
    EXPECT_EQ(sim.FramesOf(device::kCmdWriteMacros).size(), 1u);
    EXPECT_EQ(sim.FramesOf(device::kCmdWriteKeyBlock).size(), 3u * 7u);  // 378 bytes in 56-byte chunks
}

TEST_F(Download, ImageGoesOutInFiftySixByteChunksAndKeysPointAtPositions) {
    {
        auto cfg = working.Lock();
        cfg->macros = {Macro(7, u"Seven", 30), Macro(3, u"Three", 2)};
        keys::KeyAssignment r;
        r.kind = static_cast<std::uint16_t>(keys::AssignmentKind::Macro);
        r.value = 3;
        cfg->StoreAssignment(1, keys::KeyIndexOf(kKeyA), r);
    }
    const DownloadOutcome out = DownloadConfiguration(working, snapshot, Target(16384));
    ASSERT_TRUE(out.Ok());
    EXPECT_FALSE(out.namesDropped);
    const auto expected = *EncodeMacroImage(working.Copy().macros, true);
    EXPECT_EQ(MacroMemory(expected.size()), expected);
    const auto chunks = sim.FramesOf(device::kCmdWriteMacros);
    ASSERT_EQ(chunks.size(), (expected.size() + 55) / 56);
    EXPECT_EQ(device::FrameAddress(chunks[1]), 56);
    EXPECT_EQ(chunks.back()[device::kOffLength], expected.size() - 56 * (chunks.size() - 1));

    // Profile 1's A key plays the macro at list position 1 (id 3).
    const auto block = KeyBlockMemory(1);
    bool found = false;
    for (std::size_t i = 0; i < 126; ++i) {
        if (keys::CodeOfEntry(layout[3 * i], layout[3 * i + 1], layout[3 * i + 2]) == kKeyA) {
            EXPECT_EQ(block[3 * i], 0x05);
            EXPECT_EQ(block[3 * i + 1], 0x01);
            EXPECT_EQ(block[3 * i + 2], 1);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(KeyBlockMemory(0), std::vector<std::uint8_t>(layout.begin(), layout.end()));
}

TEST_F(Download, NamesAreDroppedWhenTheyMissByOneByte) {
    working.Lock()->macros = {Macro(1, u"Abc", 3)};
    const MacroImageSizes sizes = MacroImageSize(working.Copy().macros);
    const DownloadOutcome out =
        DownloadConfiguration(working, snapshot, Target(static_cast<int>(sizes.withNames - 1)));
    ASSERT_TRUE(out.Ok());
    EXPECT_TRUE(out.namesDropped);
    EXPECT_EQ(out.imageSize, sizes.withoutNames);
    const auto mem = MacroMemory(8);
    EXPECT_EQ(mem[6], 0);  // names flag

    sim.ClearFrames();
    const DownloadOutcome fits =
        DownloadConfiguration(working, snapshot, Target(static_cast<int>(sizes.withNames)));
    ASSERT_TRUE(fits.Ok());
    EXPECT_FALSE(fits.namesDropped);
    EXPECT_EQ(MacroMemory(8)[6], 1);
}

TEST_F(Download, TooLargeEvenWithoutNamesWritesNothing) {
    working.Lock()->macros = {Macro(1, u"Abc", 3)};
    const MacroImageSizes sizes = MacroImageSize(working.Copy().macros);
    const DownloadOutcome out =
        DownloadConfiguration(working, snapshot, Target(static_cast<int>(sizes.withoutNames - 1)));
    EXPECT_EQ(out.result, DownloadOutcome::Result::MacroSpaceExceeded);
    EXPECT_EQ(out.ResultCode(), 0);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(Download, UnknownSpaceLayoutOrProfileWritesNothing) {
    EXPECT_EQ(DownloadConfiguration(working, snapshot, Target(0)).result,
              DownloadOutcome::Result::NoMacroSpace);
    DownloadTarget noLayout = Target(16384);
    noLayout.defaultLayout = nullptr;
    EXPECT_EQ(DownloadConfiguration(working, snapshot, noLayout).result,
              DownloadOutcome::Result::NoDefaultLayout);
    const DownloadOutcome unknown = DownloadConfiguration(working, snapshot, Target(16384, false, -1));
    EXPECT_EQ(unknown.result, DownloadOutcome::Result::ProfileUnknown);
    EXPECT_EQ(unknown.deviceResult, device::kBadBlockIndex);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(Download, OneProfileWritesOnlyItsBlock) {
    const DownloadOutcome out = DownloadConfiguration(working, snapshot, Target(16384, false, 2));
    ASSERT_TRUE(out.Ok());
    const auto frames = sim.FramesOf(device::kCmdWriteKeyBlock);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(device::FrameAddress(frames[0]), 2 * 378);
}

TEST_F(Download, RefusedBeginIsReportedAndNothingElseIsSent) {
    sim.Control("fault status-ff 3");
    const DownloadOutcome out = DownloadConfiguration(working, snapshot, Target(16384));
    EXPECT_EQ(out.result, DownloadOutcome::Result::DeviceFailed);
    EXPECT_EQ(out.deviceResult, device::kStatusChecksum);
    EXPECT_TRUE(sim.FramesOf(device::kCmdWriteMacros).empty());
    EXPECT_TRUE(sim.FramesOf(device::kCmdWriteKeyBlock).empty());
}

TEST_F(Download, UnpluggedKeyboardIsAFailureNotASuccess) {
    sim.Control("unplug");
    const DownloadOutcome out = DownloadConfiguration(working, snapshot, Target(16384));
    EXPECT_EQ(out.result, DownloadOutcome::Result::DeviceFailed);
    EXPECT_NE(out.deviceResult, 1);
}

TEST_F(Download, KeyboardPulledOutMidwayFailsPromptlyAndAReplugRecovers) {
    {
        auto cfg = working.Lock();
        cfg->macros = {Macro(1, u"long", 2000)};  // about 12 KB of image: a few hundred frames
    }
    sim.Control("latency 2000");
    DownloadOutcome out;
    std::thread apply([&] { out = DownloadConfiguration(working, snapshot, Target(16384)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    const auto pulled = std::chrono::steady_clock::now();
    sim.Control("unplug");
    apply.join();
    // The exchange in flight times out; nothing after it waits for a keyboard that is gone.
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, std::chrono::seconds(5));
    EXPECT_EQ(out.result, DownloadOutcome::Result::DeviceFailed);
    EXPECT_LT(sim.FramesOf(device::kCmdWriteMacros).size(), 200u);
    EXPECT_TRUE(sim.FramesOf(device::kCmdWriteKeyBlock).empty());

    sim.Control("latency 0");
    sim.Control("plug");
    const DownloadOutcome again = DownloadConfiguration(working, snapshot, Target(16384));
    ASSERT_TRUE(again.Ok()) << again.deviceResult;
    EXPECT_EQ(MacroMemory(2)[0], 0xAA);  // the signature 0x55AA, low byte first
}

TEST_F(Download, SnapshotCarriesRefreshedHeaderAndStringOffsets) {
    {
        auto cfg = working.Lock();
        cfg->macros = {Macro(1, u"x", 0)};
        cfg->image.keys[20].kind = 6;
        cfg->strings.Set(20, u"typed text");
        cfg->image.keys[21].kind = 3;
        cfg->image.keys[21].value = 999;
        cfg->strings.Set(21, u"/bin/true");
    }
    auto cfg = working.Lock();
    DownloadConfiguration(cfg, snapshot, Target(16384));
    auto snap = snapshot.Lock();
    EXPECT_EQ(snap->image.header.macroCount, 1);
    EXPECT_EQ(snap->image.header.stringSize, 22u + 20u);
    EXPECT_EQ(snap->image.keys[21].value, 22u);
    EXPECT_EQ(snap->image.header.checksum, snap->image.header.ComputeChecksum());
    // The working configuration itself is left as it was.
    EXPECT_EQ(cfg->image.keys[21].value, 999u);
}

namespace {

// A link to the simulator that makes the keyboard refuse (status 0xFF, on every attempt) the
// n-th frame carrying a given command, so a failure can be placed anywhere in a sequence.
std::atomic<int> gFailCommand{-1};
std::atomic<int> gFailOrdinal{0};
std::atomic<int> gSeen{0};

int RefusingWriteOne(const HidUnitFilter* filter, uint32_t a2, uint32_t a3, const uint8_t* data,
                     uint32_t length, uint32_t checksum, uint32_t reserved) {
    if (length > device::kOffCommand && data[device::kOffCommand] == gFailCommand.load() &&
        ++gSeen == gFailOrdinal.load()) {
        char reply[128];
        PelloranSimControl("fault status-ff 3", reply, sizeof reply);
    }
    return ::RequestWriteOne(filter, a2, a3, data, length, checksum, reserved);
}

// The only link to the simulator in this fixture: a second registered link would receive
// every reply twice.
class DownloadFaults : public ::testing::Test {
protected:
    void SetUp() override {
        device::ServiceLibraryLink l = test::SimulatorLink();
        l.RequestWriteOne = &RefusingWriteOne;
        link = std::make_unique<device::DeviceLink>(l, test::FastTiming());
        PelloranSimReset();
        char reply[128];
        PelloranSimControl("latency 0", reply, sizeof reply);
        link->RegisterStandingReads();
        ASSERT_EQ(device::ReadDefaultLayout(link->Transport(), layout), 1);
        PelloranSimClearFrames();
        gSeen = 0;
    }
    void TearDown() override { gFailCommand = -1; }
    DownloadOutcome Run(int command, int ordinal) {
        gFailCommand = command;
        gFailOrdinal = ordinal;
        working.Lock()->macros = {Macro(1, u"Long", 40)};
        DownloadTarget t;
        t.transport = &link->Transport();
        t.macroSpace = 16384;
        t.defaultLayout = &layout;
        t.allProfiles = true;
        return DownloadConfiguration(working, snapshot, t);
    }
    static std::vector<device::DeviceReport> FramesOf(std::uint8_t command) {
        std::vector<device::DeviceReport> out;
        for (std::uint32_t i = 0; i < PelloranSimFrameCount(); ++i) {
            device::DeviceReport f{};
            PelloranSimFrameAt(i, f.data());
            if (f[device::kOffCommand] == command) out.push_back(f);
        }
        return out;
    }
    std::unique_ptr<device::DeviceLink> link;
    device::KeyBlock layout{};
    WorkingConfig working;
    DownloadSnapshot snapshot;
};

}  // namespace

TEST_F(DownloadFaults, FailedKeyBlockIsAFailureAndEndIsStillSent) {
    const DownloadOutcome out = Run(device::kCmdWriteKeyBlock, 8);  // profile 1's first chunk
    EXPECT_EQ(out.result, DownloadOutcome::Result::DeviceFailed);
    EXPECT_EQ(out.deviceResult, device::kStatusChecksum);
    EXPECT_EQ(FramesOf(device::kCmdEndUpdate).size(), 1u);
    // Profile 2's block was not attempted after profile 1's failed.
    for (const auto& f : FramesOf(device::kCmdWriteKeyBlock)) EXPECT_LT(device::FrameAddress(f), 2 * 378);
}

TEST_F(DownloadFaults, FailedImageChunkIsAFailureEvenThoughTheKeyBlocksCouldBeWritten) {
    const DownloadOutcome out = Run(device::kCmdWriteMacros, 2);
    EXPECT_EQ(out.result, DownloadOutcome::Result::DeviceFailed);
    EXPECT_EQ(out.deviceResult, device::kStatusChecksum);
    EXPECT_TRUE(FramesOf(device::kCmdWriteKeyBlock).empty());
    EXPECT_EQ(FramesOf(device::kCmdEndUpdate).size(), 1u);
}
