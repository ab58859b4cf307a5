// Import writes the whole file's configuration into all three profiles of the keyboard;
// a file that fails validation changes nothing anywhere. Export writes what import reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/device/Commands.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/profiles/ProfileTransfer.h"
#include "tests/support/SimKeyboard.h"
#include "tests/support/TempHome.h"

using namespace talvenix;
using namespace talvenix::macros;
using namespace talvenix::profiles;

namespace {

class Import : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.OnKeyboardArrived(sim.Transport()).LayoutOk());
        sim.ClearFrames();
    }
    // Profile p: the key with key index 0x1E + p is disabled and 0x10 plays macro 1.
    Configuration FileConfig() const {
        Configuration c;
        MacroRecord m;
        m.id = 1;
        m.SetName(u"Imported");
        m.actionCount = 1;
        m.actions[0] = {50, 0x1E, 0};
        c.macros = {m};
        for (int p = 0; p < 3; ++p) {
            keys::KeyAssignment off;
            off.kind = 1;
            c.StoreAssignment(p, 0x1E + p, off);
            keys::KeyAssignment macro;
            macro.kind = 4;
            macro.value = 1;
            c.StoreAssignment(p, 0x10, macro);
        }
        return c;
    }
    std::vector<std::uint8_t> Block(int p) {
        return sim.Memory(PELLORAN_SIM_KEYBLOCKS, static_cast<std::uint32_t>(378 * p), 378);
    }

    test::SimKeyboard sim;
    test::TempHome home;
    KeyboardState keyboard;
    WorkingConfig working;
    DownloadSnapshot snapshot;
};

}  // namespace

TEST_F(Import, WritesAllThreeKeyBlocksAndTheStoreWhenItExists) {
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    ASSERT_TRUE(CreateDefaultProfileFile(store.StoreFile()));
    Configuration file = FileConfig();
    const auto path = home.Path() / "in.tvx";
    ASSERT_TRUE(SaveProfileFile(path, file));

    const ImportOutcome out = ImportProfileFile(path, working, snapshot, store, keyboard, sim.Transport());
    ASSERT_TRUE(out.Ok()) << static_cast<int>(out.result) << " " << out.download.deviceResult;
    EXPECT_TRUE(out.storeWritten);
    EXPECT_TRUE(working.Copy() == file);

    const device::KeyBlock layout = *keyboard.DefaultLayout();
    const auto position = [](std::uint16_t) { return std::uint8_t{0}; };
    for (int p = 0; p < 3; ++p) {
        const device::KeyBlock want = keys::EncodeKeyBlock(file.image.Block(p), layout, position);
        EXPECT_EQ(Block(p), std::vector<std::uint8_t>(want.begin(), want.end())) << "profile " << p;
        EXPECT_NE(Block(p), std::vector<std::uint8_t>(layout.begin(), layout.end())) << "profile " << p;
    }
    EXPECT_EQ(sim.FramesOf(device::kCmdWriteKeyBlock).size(), 21u);
    const ProfileFileLoad stored = ReadProfileFile(store.StoreFile());
    ASSERT_TRUE(stored.Ok());
    EXPECT_TRUE(stored.config == file);
}

TEST_F(Import, NeverCreatesAMissingStoreFile) {
    const ProfileStore store(home.DocumentsFolder());
    Configuration file = FileConfig();
    const auto path = home.Path() / "in.tvx";
    ASSERT_TRUE(SaveProfileFile(path, file));
    const ImportOutcome out = ImportProfileFile(path, working, snapshot, store, keyboard, sim.Transport());
    EXPECT_TRUE(out.Ok());
    EXPECT_FALSE(out.storeWritten);
    EXPECT_FALSE(store.StoreExists());
}

TEST_F(Import, InvalidFileChangesNothing) {
    const ProfileStore store(home.DocumentsFolder());
    Configuration file = FileConfig();
    const auto path = home.Path() / "bad.tvx";
    auto bytes = SerializeProfileFile(file);
    bytes[31] = static_cast<std::uint8_t>(bytes[31] + 1);
    test::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
    Configuration before;
    before.macros.resize(1);
    before.macros[0].id = 42;
    working.Replace(Configuration(before));

    const ImportOutcome out = ImportProfileFile(path, working, snapshot, store, keyboard, sim.Transport());
    EXPECT_EQ(out.result, ImportOutcome::Result::Invalid);
    EXPECT_EQ(out.check, ProfileFileCheck::BadChecksum);
    EXPECT_TRUE(working.Copy() == before);
    EXPECT_TRUE(sim.Frames().empty());
}

TEST_F(Import, WithoutKeyboardTheFileIsLoadedButTheFailureIsReported) {
    const ProfileStore store(home.DocumentsFolder());
    Configuration file = FileConfig();
    const auto path = home.Path() / "in.tvx";
    ASSERT_TRUE(SaveProfileFile(path, file));
    sim.Control("unplug");
    const ImportOutcome out = ImportProfileFile(path, working, snapshot, store, keyboard, sim.Transport());
    EXPECT_EQ(out.result, ImportOutcome::Result::DownloadFailed);
    EXPECT_FALSE(out.download.Ok());
    EXPECT_TRUE(working.Copy() == file);
}

TEST_F(Import, ExportThenImportIsTheSameConfiguration) {
    const ProfileStore store(home.DocumentsFolder());
    Configuration file = FileConfig();
    file.image.keys[7].kind = 6;
    file.strings.Set(7, u"some text");
    working.Replace(Configuration(file));
    const auto path = home.Path() / "out.tvx";
    ASSERT_TRUE(ExportProfileFile(path, working));
    working.Replace(Configuration{});
    ASSERT_TRUE(ImportProfileFile(path, working, snapshot, store, keyboard, sim.Transport()).Ok());
    EXPECT_EQ(working.Copy().strings.Text(7), u"some text");
    EXPECT_EQ(working.Copy().macros.at(0).Name(), u"Imported");
}

TEST_F(Import, ApplyUnderOneLockSavesAndWritesOnlyTheCurrentProfile) {
    const ProfileStore store(home.DocumentsFolder());
    store.EnsureFolder();
    ASSERT_TRUE(CreateDefaultProfileFile(store.StoreFile()));
    sim.SetMemory(PELLORAN_SIM_CONFIG, 10, {1});
    working.Replace(FileConfig());
    const auto before0 = Block(0);
    {
        auto cfg = working.Lock();
        ASSERT_TRUE(SaveToStore(store, *cfg));
        ASSERT_TRUE(DownloadToKeyboard(cfg, snapshot, keyboard, sim.Transport(), false).Ok());
    }
    EXPECT_EQ(Block(0), before0);
    EXPECT_NE(Block(1), Block(0));
    for (const auto& f : sim.FramesOf(device::kCmdWriteKeyBlock)) EXPECT_EQ(device::FrameAddress(f) / 378, 1);
    EXPECT_TRUE(ReadProfileFile(store.StoreFile()).config == working.Copy());
}
