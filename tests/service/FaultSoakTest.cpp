// The fault soak: real operations (restore, backup, lighting writes, read-back) against the
// simulated keyboard while it drops, mis-echoes, refuses, delays and forgets at random. Every
// operation that reports success is checked against the keyboard's memory; a success that does
// not match it is a wrong success, and there must be none. TALVENIX_SOAK_EXCHANGES sets the
// length (default 100000 exchanges).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/DeviceLink.h"
#include "core/device/VerifyWrites.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/macros/MacroDownload.h"
#include "core/macros/ProfileImage.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ReadBack.h"
#include "service/simulator/PelloranSim.h"
#include "tests/support/SimKeyboard.h"

namespace talvenix::soak {
namespace {

using Clock = std::chrono::steady_clock;

std::string Control(const std::string& line) {
    char reply[256];
    PelloranSimControl(line.c_str(), reply, sizeof reply);
    return reply;
}

std::vector<std::uint8_t> SimMemory(int area, std::uint32_t offset, std::uint32_t length) {
    std::vector<std::uint8_t> bytes(length);
    if (PelloranSimReadMemory(area, offset, bytes.data(), length) != 1) ADD_FAILURE() << "sim memory";
    return bytes;
}

macros::MacroRecord Macro(std::uint16_t id, int actions, unsigned seed) {
    macros::MacroRecord m;
    m.id = id;
    m.SetName(u"Soak" + std::u16string(1, static_cast<char16_t>(u'A' + id)));
    m.cycles = 1;
    for (int i = 0; i < actions; ++i) {
        m.actions[static_cast<std::size_t>(i)] = macros::MacroAction{
            static_cast<std::uint32_t>(10 * ((seed + i) % 50)),
            static_cast<std::uint16_t>(0x10 + (seed + i) % 20), static_cast<std::uint16_t>(i % 2)};
    }
    m.actionCount = static_cast<std::uint16_t>(actions);
    return m;
}

// Configurations the keyboard stores whole, different enough that a stale chunk shows.
macros::Configuration Config(unsigned variant) {
    macros::Configuration c;
    c.image = macros::DefaultProfileImage();
    for (unsigned m = 0; m < 2 + variant; ++m)
        c.macros.push_back(
            Macro(static_cast<std::uint16_t>(m + 1), 30 + 20 * static_cast<int>(variant), variant * 7 + m));
    keys::KeyAssignment r;
    r.kind = 2;
    r.value = static_cast<std::uint16_t>(0x30 + variant);
    c.StoreAssignment(static_cast<int>(variant % 3), 0x1E, r);
    c.RefreshHeader();
    return c;
}

struct Figures {
    std::uint64_t operations = 0, succeeded = 0, failed = 0, wrongSuccesses = 0;
    double slowestOperationMs = 0;
};

TEST(FaultSoak, RandomFaultsNeverGiveAWrongSuccess) {
    std::uint64_t target = 100'000;
    if (const char* n = std::getenv("TALVENIX_SOAK_EXCHANGES")) target = std::strtoull(n, nullptr, 10);

    ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
    ::unsetenv("TALVENIX_SIM_STATE");
    ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
    device::TransportTiming timing;
    timing.attemptWait = std::chrono::milliseconds(25);
    timing.retryPause = std::chrono::milliseconds(0);
    timing.busyBackoff = std::chrono::milliseconds(5);
    timing.endUpdatePause = std::chrono::milliseconds(0);
    timing.staleReplyWindow = std::chrono::milliseconds(100);
    device::DeviceLink link(test::SimulatorLink(), timing);
    ASSERT_TRUE(link.Ready());
    link.RegisterStandingReads();
    PelloranSimReset();
    device::ReportTransport& t = link.Transport();

    profiles::KeyboardState state;
    const auto arrival = state.OnKeyboardArrived(t);
    ASSERT_TRUE(arrival.LayoutOk());
    const device::KeyBlock layout = *state.DefaultLayout();

    // Late replies come after the wait ran out but well within the stale window.
    Control("late-delay 30");
    Control("chaos 10 20261208");  // 1 % of frames

    std::mt19937 random(7);
    Figures f;
    const auto before = t.Stats();
    // The longest any one exchange may take: a wait for an earlier reply with its echo, three
    // waits and pauses, and a back-off.
    const double exchangeBoundMs = static_cast<double>(timing.staleReplyWindow.count()) +
                                   3.0 * (timing.attemptWait.count() + timing.retryPause.count()) +
                                   timing.busyBackoff.count() + 50;
    auto exchanges = [&] { return t.Stats().exchanges - before.exchanges; };
    macros::WorkingConfig working;
    macros::DownloadSnapshot snapshot;

    while (exchanges() < target) {
        const auto opStart = Clock::now();
        const auto opExchangesBefore = t.Stats().exchanges;
        bool ok = false;
        bool right = true;
        const unsigned op = random() % 4;
        if (op == 0) {  // restore: image and all three key blocks, verified
            const macros::Configuration c = Config(random() % 3);
            *working.Lock() = c;
            macros::DownloadTarget where;
            where.transport = &t;
            where.macroSpace = 16384;
            where.defaultLayout = &layout;
            where.allProfiles = true;
            const auto out = macros::DownloadConfiguration(working, snapshot, where);
            ok = out.Ok();
            if (ok) {
                const auto image = macros::EncodeMacroImage(c.macros, !out.namesDropped);
                right = image && SimMemory(PELLORAN_SIM_MACROS, 0,
                                           static_cast<std::uint32_t>(image->size())) == *image;
                const auto position = [&c](std::uint16_t id) {
                    return static_cast<std::uint8_t>(c.MacroPositionOfId(id));
                };
                for (int p = 0; p < 3 && right; ++p) {
                    const device::KeyBlock block = keys::EncodeKeyBlock(c.image.Block(p), layout, position);
                    right = SimMemory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(p * 378), 378) ==
                            std::vector<std::uint8_t>(block.begin(), block.end());
                }
            }
        } else if (op == 1) {  // backup: the whole configuration read back
            macros::Configuration back;
            ok = profiles::ReadKeyboardConfiguration(state, t, back).Ok();
            if (ok) {
                const std::uint32_t size = static_cast<std::uint32_t>(
                    macros::MacroImageReadSize(SimMemory(PELLORAN_SIM_MACROS, 0, 16)));
                const auto truth = macros::DecodeMacroImage(
                    SimMemory(PELLORAN_SIM_MACROS, 0, std::max<std::uint32_t>(size, 16)));
                right = truth.Ok() && truth.macros == back.macros;
                for (int p = 0; p < 3 && right; ++p) {
                    const auto block = keys::DecodeKeyBlock(
                        SimMemory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(p * 378), 378), layout);
                    right = block && std::equal(block->begin(), block->end(), back.image.Block(p).begin());
                }
            }
        } else if (op == 2) {  // a lighting write of one profile, verified
            const int profile = static_cast<int>(random() % 3);
            std::vector<std::uint8_t> bytes(35);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            const auto address = static_cast<std::uint16_t>(profile * 42);
            ok = device::RunWriteSequence(t, [&] { return device::WriteLighting(t, bytes, address); }) == 1 &&
                 device::VerifyLighting(t, bytes, address).Ok();
            if (ok) right = SimMemory(PELLORAN_SIM_LIGHTING, address, 35) == bytes;
        } else {  // read-back of a lighting record
            const int profile = static_cast<int>(random() % 3);
            std::array<std::uint8_t, 56> out{};
            ok = device::ReadLighting(t, out, 56, static_cast<std::uint16_t>(profile * 42)) == 1;
            if (ok)
                right = SimMemory(PELLORAN_SIM_LIGHTING, static_cast<std::uint32_t>(profile * 42), 42) ==
                        std::vector<std::uint8_t>(out.begin(), out.begin() + 42);
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - opStart).count();
        const auto opExchanges = t.Stats().exchanges - opExchangesBefore;
        f.slowestOperationMs = std::max(f.slowestOperationMs, ms);
        EXPECT_LE(ms, exchangeBoundMs * static_cast<double>(std::max<std::uint64_t>(opExchanges, 1)))
            << "operation " << op << " took " << ms << " ms for " << opExchanges << " exchanges";
        ++f.operations;
        if (ok) {
            ++f.succeeded;
            if (!right) {
                ++f.wrongSuccesses;
                ADD_FAILURE() << "wrong success in operation " << op << " after " << exchanges()
                              << " exchanges";
            }
        } else {
            ++f.failed;
        }
    }
    const std::string status = Control("status");
    Control("chaos 0");
    const auto stats = t.Stats();
    std::printf(
        "soak: %llu exchanges, %llu operations (%llu succeeded, %llu failed), %s, %llu stale replies "
        "dropped, %llu foreign replies, %llu timeouts, %llu waits for a same-echo reply, wrong successes "
        "%llu, "
        "slowest operation %.0f ms\n",
        static_cast<unsigned long long>(stats.exchanges - before.exchanges),
        static_cast<unsigned long long>(f.operations), static_cast<unsigned long long>(f.succeeded),
        static_cast<unsigned long long>(f.failed), status.c_str(),
        static_cast<unsigned long long>(stats.staleDiscarded - before.staleDiscarded),
        static_cast<unsigned long long>(stats.foreignReplies - before.foreignReplies),
        static_cast<unsigned long long>(stats.timeouts - before.timeouts),
        static_cast<unsigned long long>(stats.echoWaits - before.echoWaits),
        static_cast<unsigned long long>(f.wrongSuccesses), f.slowestOperationMs);
    EXPECT_EQ(f.wrongSuccesses, 0u);
    EXPECT_GT(f.succeeded, f.operations / 2);  // the faults are rare: most operations get through
}

}  // namespace
}  // namespace talvenix::soak
