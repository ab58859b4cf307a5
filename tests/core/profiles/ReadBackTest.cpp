// Reading the keyboard back: a full download / read-back round trip on the simulated keyboard,
// the store file it writes, and the default configuration on every kind of failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/keys/KeyBlockCodec.h"
#include "core/keys/KeyTable.h"
#include "core/profiles/ReadBack.h"
#include "tests/support/SimKeyboard.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
using namespace talvenix::macros;
using namespace talvenix::profiles;

namespace {

MacroRecord Macro(int id, std::u16string_view name, int cycles, std::vector<MacroAction> actions) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(name);
    m.cycles = static_cast<std::uint8_t>(cycles);
    m.playMode = 2;
    m.actionCount = static_cast<std::uint16_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.actions.begin());
    return m;
}

keys::KeyAssignment Assign(keys::AssignmentKind kind, std::uint32_t value = 0) {
    keys::KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(kind);
    r.value = value;
    return r;
}

class ReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.OnKeyboardArrived(sim.Transport()).LayoutOk());
        const auto layout = *keyboard.DefaultLayout();
        for (std::size_t i = 0; i < 126; ++i) {
            const keys::KeyCode c = keys::CodeOfEntry(layout[3 * i], layout[3 * i + 1], layout[3 * i + 2]);
            if (c != 0 && keys::KeyIndexOf(c) != 0) codes.push_back(c);
        }
        ASSERT_GE(codes.size(), 20u);
    }
    int Slot(std::size_t i) const { return keys::KeyIndexOf(codes.at(i)); }

    // A configuration using every assignment kind, different in each profile, and macros.
    Configuration Rich() const {
        Configuration c;
        c.macros = {
            Macro(4, u"Four", 3, {{100, 0x1E, 0}, {40000, 0x1E, 1}, {0, 0x138, 0}, {10, 0x138, 1}}),
            Macro(9, u"\u4e5d", 0, {{20, 0x122, 0}, {30, 0x122, 1}, {0, 0x1D, 0}, {990, 0x1D, 1}}),
            Macro(2, u"Empty", 1, {}),
        };
        for (int p = 0; p < 3; ++p) {
            const std::size_t o = static_cast<std::size_t>(p);
            c.StoreAssignment(p, Slot(o + 0), Assign(keys::AssignmentKind::Disabled));
            c.StoreAssignment(p, Slot(o + 1), Assign(keys::AssignmentKind::Key, 0x138));
            c.StoreAssignment(p, Slot(o + 2), Assign(keys::AssignmentKind::Key, 0x1E));
            c.StoreAssignment(p, Slot(o + 3), Assign(keys::AssignmentKind::Macro, 9));
            c.StoreAssignment(p, Slot(o + 4), Assign(keys::AssignmentKind::StopMacro));
            c.StoreAssignment(p, Slot(o + 5), Assign(keys::AssignmentKind::Media, 3));
            c.StoreAssignment(p, Slot(o + 6), Assign(keys::AssignmentKind::Function, 10));
            c.StoreAssignment(p, Slot(o + 7), Assign(keys::AssignmentKind::Launch));
            c.strings.Set(p * 512 + Slot(o + 7), u"/usr/bin/xterm");
            c.StoreAssignment(p, Slot(o + 8), Assign(keys::AssignmentKind::Text));
            c.strings.Set(p * 512 + Slot(o + 8), u"hello");
            c.StoreAssignment(p, Slot(o + 9), Assign(keys::AssignmentKind::Macro, 4));
            c.StoreAssignment(p, Slot(o + 10), Assign(keys::AssignmentKind::Macro, 2));
        }
        return c;
    }

    test::SimKeyboard sim;
    test::TempHome home;
    KeyboardState keyboard;
    std::vector<keys::KeyCode> codes;
};

// What the keyboard carries of an assignment: launch-program keys keep their default function,
// text blocks become disabled keys, macro ids become list positions (read back as position + 1).
keys::KeyAssignment AsCarried(const keys::KeyAssignment& r, const Configuration& c) {
    keys::KeyAssignment out;
    switch (static_cast<keys::AssignmentKind>(r.kind)) {
        case keys::AssignmentKind::Launch:
            return out;
        case keys::AssignmentKind::Text:
            out.kind = 1;
            return out;
        case keys::AssignmentKind::Macro:
            out.kind = 4;
            out.value =
                static_cast<std::uint32_t>(c.MacroPositionOfId(static_cast<int>(r.value & 0xFFFF)) + 1);
            return out;
        default:
            out.kind = r.kind;
            out.value = r.value;
            return out;
    }
}

}  // namespace

TEST_F(ReadBack, DownloadThenReadBackKeepsEverythingTheKeyboardCarries) {
    WorkingConfig working;
    DownloadSnapshot snapshot;
    const Configuration original = Rich();
    working.Replace(Configuration(original));
    ASSERT_TRUE(DownloadToKeyboard(working, snapshot, keyboard, sim.Transport(), true).Ok());

    Configuration back;
    const ReadBackOutcome r = ReadKeyboardConfiguration(keyboard, sim.Transport(), back);
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.result);

    ASSERT_EQ(back.macros.size(), original.macros.size());
    for (std::size_t i = 0; i < back.macros.size(); ++i) {
        const MacroRecord& a = original.macros[i];
        const MacroRecord& b = back.macros[i];
        EXPECT_EQ(b.id, i + 1);
        EXPECT_EQ(b.Name(), a.Name());
        EXPECT_EQ(b.cycles, a.cycles);
        EXPECT_EQ(b.playMode, 0);
        ASSERT_EQ(b.actionCount, a.actionCount);
        for (int k = 0; k < a.actionCount; ++k)
            EXPECT_EQ(b.actions[static_cast<std::size_t>(k)], a.actions[static_cast<std::size_t>(k)])
                << i << "/" << k;
    }
    for (int p = 0; p < 3; ++p) {
        for (int s = 0; s < 256; ++s) {
            const auto want = AsCarried(original.AssignmentOf(p, s), original);
            const auto got = back.AssignmentOf(p, s);
            EXPECT_EQ(got.kind, want.kind) << "profile " << p << " slot " << s;
            EXPECT_EQ(got.value, want.value) << "profile " << p << " slot " << s;
        }
    }
    EXPECT_EQ(back.strings.TotalSize(), 0u);
    EXPECT_EQ(back.image.header.macroCount, 3);
    EXPECT_EQ(back.image.header.stringSize, 0u);
    EXPECT_TRUE(back.image.Block(3)[256] == keys::KeyAssignment{});
}

TEST_F(ReadBack, ImageWithoutNamesReadsBackAsMacro1ToMacroN) {
    keyboard.SetMacroSpace(static_cast<int>(MacroImageSize(Rich().macros).withoutNames));
    WorkingConfig working;
    DownloadSnapshot snapshot;
    working.Replace(Rich());
    const DownloadOutcome d = DownloadToKeyboard(working, snapshot, keyboard, sim.Transport(), false);
    ASSERT_TRUE(d.Ok());
    ASSERT_TRUE(d.namesDropped);
    Configuration back;
    ASSERT_TRUE(ReadKeyboardConfiguration(keyboard, sim.Transport(), back, u"Macro").Ok());
    ASSERT_EQ(back.macros.size(), 3u);
    EXPECT_EQ(back.macros[0].Name(), u"Macro1");
    EXPECT_EQ(back.macros[1].Name(), u"Macro2");
    EXPECT_EQ(back.macros[2].Name(), u"Macro3");
}

TEST_F(ReadBack, FactoryKeyboardHasNoMacrosAndDefaultKeys) {
    Configuration back;
    ASSERT_TRUE(ReadKeyboardConfiguration(keyboard, sim.Transport(), back).Ok());
    EXPECT_TRUE(back.macros.empty());
    for (int p = 0; p < 3; ++p)
        for (int s = 0; s < 256; ++s) EXPECT_EQ(back.AssignmentOf(p, s).kind, 0) << p << "/" << s;
    EXPECT_EQ(back.AssignmentOf(1, 256).tag, 0x0301);
}

TEST_F(ReadBack, StoreFileIsAValidProfileFile) {
    const ProfileStore store(home.DocumentsFolder());
    ASSERT_NE(store.EnsureFolder(), ProfileStore::FolderResult::Failed);
    WorkingConfig working;
    DownloadSnapshot snapshot;
    working.Replace(Rich());
    ASSERT_TRUE(DownloadToKeyboard(working, snapshot, keyboard, sim.Transport(), true).Ok());
    ASSERT_TRUE(ReadBackToStore(store.StoreFile(), keyboard, sim.Transport()).Ok());
    EXPECT_EQ(std::filesystem::file_size(store.StoreFile()), 32832u + 3u * 16512u);
    EXPECT_EQ(ValidateProfileFile(store.StoreFile()), ProfileFileCheck::Valid);
}

TEST_F(ReadBack, AndLoadInstallsTheKeyboardsConfiguration) {
    const ProfileStore store(home.DocumentsFolder());
    WorkingConfig working;
    DownloadSnapshot snapshot;
    working.Replace(Rich());
    ASSERT_TRUE(DownloadToKeyboard(working, snapshot, keyboard, sim.Transport(), true).Ok());
    working.Replace(Configuration{});

    const ReadBackLoadOutcome out = ReadBackAndLoad(store, keyboard, sim.Transport(), working);
    ASSERT_TRUE(out.readBack.Ok());
    EXPECT_TRUE(out.fromKeyboard);
    EXPECT_EQ(out.folder, ProfileStore::FolderResult::Created);
    EXPECT_EQ(working.Copy().MacroCount(), 3);
    const ProfileFileLoad stored = ReadProfileFile(store.StoreFile());
    ASSERT_TRUE(stored.Ok());
    EXPECT_TRUE(stored.config == working.Copy());
}

TEST_F(ReadBack, NoKeyboardInstallsTheDefaultAndLeavesTheStoreAlone) {
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    { std::ofstream(store.StoreFile(), std::ios::binary) << "previous"; }
    WorkingConfig working;
    working.Replace(Rich());
    sim.Control("unplug");
    keyboard.OnKeyboardRemoved();

    const ReadBackLoadOutcome out = ReadBackAndLoad(store, keyboard, sim.Transport(), working);
    EXPECT_EQ(out.readBack.result, ReadBackOutcome::Result::ProfileUnknown);
    EXPECT_FALSE(out.fromKeyboard);
    const Configuration now = working.Copy();
    EXPECT_TRUE(now.macros.empty());
    EXPECT_TRUE(now.image == DefaultProfileImage());
    EXPECT_EQ(test::ReadFileBytes(store.StoreFile()), "previous");
}

TEST_F(ReadBack, DamagedMacroImageIsAFailedReadBackNeverAReadPastIt) {
    const ProfileStore store(home.DocumentsFolder());
    // Signature, size 40, 3 macros, but the third entry's offset points past the image.
    std::vector<std::uint8_t> image(40, 0);
    image[0] = 0xAA;
    image[1] = 0x55;
    image[2] = 40;
    image[4] = 3;
    image[16] = 22;
    image[18] = 26;
    image[20] = 200;
    sim.SetMemory(PELLORAN_SIM_MACROS, 0, image);
    WorkingConfig working;
    working.Replace(Rich());

    const ReadBackLoadOutcome out = ReadBackAndLoad(store, keyboard, sim.Transport(), working);
    EXPECT_EQ(out.readBack.result, ReadBackOutcome::Result::MacroImageDamaged);
    EXPECT_EQ(out.readBack.imageStatus, MacroImageDecode::Status::EntryOutOfRange);
    EXPECT_EQ(out.readBack.badMacro, 2);
    EXPECT_FALSE(out.fromKeyboard);
    EXPECT_TRUE(working.Copy().macros.empty());
    EXPECT_FALSE(store.StoreExists());
}

TEST_F(ReadBack, FailingKeyBlockReadIsReported) {
    keyboard.GetCurrentProfile(sim.Transport());
    sim.Control("fault status-fe 3");
    Configuration back;
    const ReadBackOutcome r = ReadKeyboardConfiguration(keyboard, sim.Transport(), back);
    EXPECT_EQ(r.result, ReadBackOutcome::Result::KeyBlockReadFailed);
    EXPECT_EQ(r.deviceResult, -103);
}

TEST_F(ReadBack, UnwritableStoreStillInstallsTheKeyboardsConfiguration) {
    const ProfileStore store(home.DocumentsFolder());
    std::filesystem::create_directories(store.StoreFile() / "blocker");  // the store path is a folder
    WorkingConfig working;
    DownloadSnapshot snapshot;
    working.Replace(Rich());
    ASSERT_TRUE(DownloadToKeyboard(working, snapshot, keyboard, sim.Transport(), true).Ok());
    const ReadBackLoadOutcome out = ReadBackAndLoad(store, keyboard, sim.Transport(), working);
    EXPECT_EQ(out.readBack.result, ReadBackOutcome::Result::StoreWriteFailed);
    EXPECT_TRUE(out.fromKeyboard);
    EXPECT_EQ(working.Copy().MacroCount(), 3);
}

TEST_F(ReadBack, WithoutAFactoryLayoutNothingIsDecoded) {
    KeyboardState fresh;  // the layout was never read
    Configuration back;
    EXPECT_EQ(ReadKeyboardConfiguration(fresh, sim.Transport(), back).result,
              ReadBackOutcome::Result::NoDefaultLayout);
}

TEST_F(ReadBack, ProfileNumberTheKeyboardDoesNotHaveReadsNothingBack) {
    // A keyboard reporting profile 3 is not in a state the configuration can be read from.
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    { std::ofstream(store.StoreFile(), std::ios::binary) << "previous"; }
    sim.SetMemory(PELLORAN_SIM_CONFIG, 10, {3});
    keyboard.ForgetCurrentProfile();
    ASSERT_EQ(keyboard.GetCurrentProfile(sim.Transport()), 3);
    const ReadBackOutcome r = ReadBackToStore(store.StoreFile(), keyboard, sim.Transport());
    EXPECT_EQ(r.result, ReadBackOutcome::Result::ProfileUnknown);
    EXPECT_TRUE(test::ReadFileBytes(store.StoreFile()) == "previous");

    sim.SetMemory(PELLORAN_SIM_CONFIG, 10, {2});
    keyboard.ForgetCurrentProfile();
    EXPECT_TRUE(ReadBackToStore(store.StoreFile(), keyboard, sim.Transport()).Ok());
}
