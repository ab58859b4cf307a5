// The profile file: its exact bytes, the validation of imports field by field, and loads that
// stay within the file whatever its header claims.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/profiles/ProfileFile.h"

using namespace talvenix;
using namespace talvenix::macros;
using namespace talvenix::profiles;

namespace {

MacroRecord Macro(int id, std::u16string_view name, int actions) {
    MacroRecord m;
    m.id = static_cast<std::uint16_t>(id);
    m.SetName(name);
    m.cycles = 2;
    m.playMode = 1;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (int i = 0; i < actions; ++i)
        m.actions[static_cast<std::size_t>(i)] = {static_cast<std::uint32_t>(i * 10), 0x1E,
                                                  static_cast<std::uint16_t>(i % 2)};
    return m;
}

Configuration Sample() {
    Configuration c;
    c.macros = {Macro(1, u"First", 3), Macro(4, u"Second", 0)};
    c.image.keys[10].kind = 4;
    c.image.keys[10].value = 4;
    c.image.keys[512 + 30].kind = 6;
    c.strings.Set(512 + 30, u"Hello");
    c.image.keys[1024 + 31].kind = 3;
    c.strings.Set(1024 + 31, u"/usr/bin/xterm");
    return c;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

void Restamp(std::vector<std::uint8_t>& b) {
    unsigned sum = 0;
    for (int i = 0; i < 31; ++i) sum += b[static_cast<std::size_t>(i)];
    b[31] = static_cast<std::uint8_t>(sum);
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tvx-profile-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Write(const std::filesystem::path& p, const std::vector<std::uint8_t>& b) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    std::vector<std::uint8_t> Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path dir;
};

}  // namespace

TEST(ProfileFileBytes, EmptyConfigurationIsExactly32832Bytes) {
    Configuration c;
    const auto b = SerializeProfileFile(c);
    ASSERT_EQ(b.size(), 32832u);
    EXPECT_EQ(b[0], 0x46);
    EXPECT_EQ(b[1], 0x44);
    EXPECT_EQ(U16(b, 2), 32);
    EXPECT_EQ(U16(b, 4), 3);
    EXPECT_EQ(U16(b, 6), 1);
    EXPECT_EQ(U32(b, 8), 32832u);
    EXPECT_EQ(U16(b, 12), 2048);
    EXPECT_EQ(U16(b, 14), 0);
    EXPECT_EQ(U32(b, 16), 0u);
    EXPECT_EQ(b[30], 0);
    unsigned sum = 0;
    for (int i = 0; i < 31; ++i) sum += b[static_cast<std::size_t>(i)];
    EXPECT_EQ(b[31], sum % 256);
    // The key section header.
    EXPECT_EQ(b[32], 0x4B);
    EXPECT_EQ(b[33], 0x48);
    EXPECT_EQ(U16(b, 34), 32);
    EXPECT_EQ(U16(b, 36), 32800);
    EXPECT_EQ(U16(b, 40), 4);
    EXPECT_EQ(U16(b, 42), 512);
    EXPECT_EQ(U16(b, 48), 0x0C45);
    EXPECT_EQ(U16(b, 50), 0x5204);
    EXPECT_EQ(U16(b, 52), 0x1C4F);
    EXPECT_EQ(U16(b, 54), 0x000E);
    // The default key table: G-key numbers in block 0 only.
    EXPECT_EQ(U16(b, 64 + 16 * 256 + 2), 0x0301);
    EXPECT_EQ(U16(b, 64 + 16 * 264 + 2), 0x0309);
    EXPECT_EQ(U16(b, 64 + 16 * 265 + 2), 0x1301);
    EXPECT_EQ(U16(b, 64 + 16 * 273 + 2), 0x1309);
    EXPECT_EQ(U16(b, 64 + 16 * (512 + 256) + 2), 0);
    EXPECT_EQ(CheckProfileFileBytes(b), ProfileFileCheck::Valid);
}

TEST(ProfileFileBytes, MacrosAndStringsFollowTheImage) {
    Configuration c = Sample();
    const auto b = SerializeProfileFile(c);
    ASSERT_EQ(b.size(), 32832u + 2 * 16512u + 12u + 30u);
    EXPECT_EQ(U16(b, 14), 2);
    EXPECT_EQ(U32(b, 16), 42u);
    EXPECT_EQ(U32(b, 8), b.size());
    EXPECT_EQ(U16(b, 32832 + 506), 1);          // first macro's id
    EXPECT_EQ(U16(b, 32832 + 16512 + 506), 4);  // second macro's id
    const std::size_t strings = 32832 + 2 * 16512;
    EXPECT_EQ(b[strings], 'H');
    EXPECT_EQ(U32(b, 64 + 16 * (512 + 30) + 4), 0u);
    EXPECT_EQ(U32(b, 64 + 16 * (1024 + 31) + 4), 12u);
    EXPECT_EQ(b[strings + 12], '/');
    // The configuration itself now carries the saved header and offsets.
    EXPECT_EQ(c.image.header.macroCount, 2);
    EXPECT_EQ(std::memcmp(&c.image, b.data(), 32832), 0);
}

TEST(ProfileFileBytes, RoundTripKeepsEverything) {
    Configuration c = Sample();
    const auto b = SerializeProfileFile(c);
    const ProfileFileParse p = ParseProfileFile(b);
    ASSERT_TRUE(p.Ok());
    EXPECT_FALSE(p.repairs.Any());
    EXPECT_TRUE(p.config == c);
}

class Validation : public ::testing::Test {
protected:
    void SetUp() override {
        Configuration c = Sample();
        bytes = SerializeProfileFile(c);
    }
    ProfileFileCheck Check() const { return CheckProfileFileBytes(bytes); }
    std::vector<std::uint8_t> bytes;
};

TEST_F(Validation, ChecksumOffByOneIsRejected) {
    bytes[31] = static_cast<std::uint8_t>(bytes[31] + 1);
    EXPECT_EQ(Check(), ProfileFileCheck::BadChecksum);
    EXPECT_EQ(ValidateResultCode(Check()), 0);
}

TEST_F(Validation, MacroCountAbove100IsRejectedEvenWhenSizesAddUp) {
    bytes.resize(32832 + 101 * 16512, 0);
    bytes[14] = 101;
    bytes[15] = 0;
    const std::uint32_t total = 32832 + 101 * 16512;
    std::memcpy(&bytes[8], &total, 4);
    std::memset(&bytes[16], 0, 4);
    Restamp(bytes);
    EXPECT_EQ(Check(), ProfileFileCheck::TooManyMacros);
}

TEST_F(Validation, FlagOneIsAcceptedTwoIsNot) {
    bytes[30] = 1;
    Restamp(bytes);
    EXPECT_EQ(Check(), ProfileFileCheck::Valid);
    bytes[30] = 2;
    Restamp(bytes);
    EXPECT_EQ(Check(), ProfileFileCheck::BadFlag);
}

TEST_F(Validation, EachHeaderFieldIsNamed) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
        ProfileFileCheck expected;
    };
    const Case cases[] = {
        {0, 0x47, ProfileFileCheck::BadMagic},
        {2, 31, ProfileFileCheck::BadHeaderSize},
        {4, 2, ProfileFileCheck::BadVersion},
        {6, 0, ProfileFileCheck::BadHeaderKind},
        {13, 0x07, ProfileFileCheck::BadKeyRecordCount},
        {16, 43, ProfileFileCheck::SizeMismatch},
    };
    const auto good = bytes;
    for (const auto& c : cases) {
        bytes = good;
        bytes[c.offset] = c.value;
        Restamp(bytes);
        EXPECT_EQ(Check(), c.expected) << "offset " << c.offset;
    }
    bytes = good;
    const std::uint32_t small = 100;
    std::memcpy(&bytes[8], &small, 4);
    Restamp(bytes);
    EXPECT_EQ(Check(), ProfileFileCheck::BadTotalSize);
}

TEST_F(Validation, FileShorterThanItsHeaderSaysIsRejected) {
    bytes.pop_back();
    EXPECT_EQ(Check(), ProfileFileCheck::Truncated);
    bytes.resize(32831);
    EXPECT_EQ(Check(), ProfileFileCheck::TooShort);
}

TEST_F(Validation, TrailingBytesAreAccepted) {
    bytes.push_back(0);
    EXPECT_EQ(Check(), ProfileFileCheck::Valid);
}

TEST(ProfileFileParse, HeaderIsNeverTrusted) {
    Configuration c = Sample();
    auto b = SerializeProfileFile(c);
    // More macros than 100 and more than the file holds.
    b[14] = 0xFF;
    b[15] = 0xFF;
    // A name without terminator and an absurd action count in the first record.
    for (std::size_t i = 0; i < 500; i += 2) b[32832 + i] = 'x', b[32832 + i + 1] = 0;
    b[32832 + 508] = 0xFF;
    b[32832 + 509] = 0xFF;
    const ProfileFileParse p = ParseProfileFile(b);
    ASSERT_TRUE(p.Ok());
    EXPECT_TRUE(p.repairs.macrosCapped);
    EXPECT_TRUE(p.repairs.macrosTruncated);
    EXPECT_TRUE(p.repairs.actionsCapped);
    EXPECT_TRUE(p.repairs.namesTerminated);
    ASSERT_EQ(p.config.macros.size(), 2u);  // the records that are really there
    EXPECT_EQ(p.config.macros[0].actionCount, kMaxActions);
    EXPECT_EQ(p.config.macros[0].Name().size(), 249u);
    // The string block lies past the end of the file for 65535 macros: no strings.
    EXPECT_TRUE(p.repairs.stringsTruncated);
    EXPECT_FALSE(p.config.strings.Has(512 + 30));
}

TEST(ProfileFileParse, StringOffsetsOutsideTheBlockLeaveNoString) {
    Configuration c = Sample();
    auto b = SerializeProfileFile(c);
    const std::uint32_t far = 1000;
    std::memcpy(&b[64 + 16 * (1024 + 31) + 4], &far, 4);
    const ProfileFileParse p = ParseProfileFile(b);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.repairs.stringsDropped, 1);
    EXPECT_FALSE(p.config.strings.Has(1024 + 31));
    EXPECT_EQ(p.config.strings.Text(512 + 30), u"Hello");
}

TEST(ProfileFileParse, ShortStringBlockIsCutToTheFile) {
    Configuration c = Sample();
    auto b = SerializeProfileFile(c);
    b.resize(b.size() - 10);  // the path loses its end and its NUL
    const ProfileFileParse p = ParseProfileFile(b);
    ASSERT_TRUE(p.Ok());
    EXPECT_TRUE(p.repairs.stringsTruncated);
    EXPECT_EQ(p.config.strings.Text(512 + 30), u"Hello");
    EXPECT_FALSE(p.config.strings.Has(1024 + 31));
}

TEST(ProfileFileParse, LessThanAnImageIsRefused) {
    std::vector<std::uint8_t> b(32831, 0);
    EXPECT_EQ(ParseProfileFile(b).status, ProfileFileParse::Status::TooShort);
}

TEST_F(TempDir, SaveThenLoadGivesTheSameConfiguration) {
    Configuration c = Sample();
    ASSERT_TRUE(SaveProfileFile(dir / "a.tvx", c));
    EXPECT_EQ(ValidateProfileFile(dir / "a.tvx"), ProfileFileCheck::Valid);
    const ProfileFileLoad l = ReadProfileFile(dir / "a.tvx");
    ASSERT_TRUE(l.Ok());
    EXPECT_TRUE(l.config == c);
}

TEST_F(TempDir, SaveReplacesAtomicallyAndLeavesNoTemporaryFiles) {
    Configuration c = Sample();
    Write(dir / "a.tvx", std::vector<std::uint8_t>(5, 0xEE));
    ASSERT_TRUE(SaveProfileFile(dir / "a.tvx", c));
    EXPECT_EQ(Read(dir / "a.tvx").size(), 32832u + 2 * 16512u + 42u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(TempDir, FailedSaveLeavesTheOldFile) {
    Configuration c = Sample();
    // The target is a non-empty folder: the rename cannot replace it.
    std::filesystem::create_directories(dir / "busy" / "inside");
    EXPECT_FALSE(SaveProfileFile(dir / "busy", c));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "busy" / "inside"));
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(SaveProfileFile(dir / "missing" / "a.tvx", c));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(TempDir, ValidationResultCodes) {
    EXPECT_EQ(ValidateProfileFile(dir / "none.tvx"), ProfileFileCheck::Missing);
    EXPECT_EQ(ValidateResultCode(ProfileFileCheck::Missing), 0);
    Write(dir / "short.tvx", std::vector<std::uint8_t>(100, 0));
    EXPECT_EQ(ValidateProfileFile(dir / "short.tvx"), ProfileFileCheck::TooShort);
    EXPECT_EQ(ValidateProfileFile(dir), ProfileFileCheck::CannotOpen);
    EXPECT_EQ(ValidateResultCode(ProfileFileCheck::CannotOpen), -2);
    EXPECT_EQ(ValidateResultCode(ProfileFileCheck::OutOfMemory), -3);
    EXPECT_EQ(ValidateResultCode(ProfileFileCheck::Valid), 1);
}

TEST_F(TempDir, CreateDefaultWritesTheEmptyImage) {
    ASSERT_TRUE(CreateDefaultProfileFile(dir / "new.tvx"));
    const auto b = Read(dir / "new.tvx");
    ASSERT_EQ(b.size(), 32832u);
    Configuration fresh;
    CreateDefaultProfileFile(fresh);
    EXPECT_EQ(std::memcmp(b.data(), &fresh.image, 32832), 0);
    EXPECT_EQ(CheckProfileFileBytes(b), ProfileFileCheck::Valid);
}

TEST_F(TempDir, CreateDefaultWithoutPathClearsTheConfiguration) {
    Configuration c = Sample();
    CreateDefaultProfileFile(c);
    EXPECT_TRUE(c.macros.empty());
    EXPECT_EQ(c.strings.TotalSize(), 0u);
    EXPECT_TRUE(c.image == DefaultProfileImage());
}

TEST_F(TempDir, FailedLoadLeavesTheWorkingConfigurationAsItWas) {
    WorkingConfig working;
    working.Replace(Sample());
    Write(dir / "short.tvx", std::vector<std::uint8_t>(32000, 0));
    EXPECT_EQ(LoadProfileFile(dir / "short.tvx", working), ProfileFileLoad::Status::TooShort);
    EXPECT_EQ(LoadProfileFile(dir / "none.tvx", working), ProfileFileLoad::Status::Missing);
    EXPECT_TRUE(working.Copy() == Sample());

    Configuration other;
    other.macros = {Macro(2, u"Other", 1)};
    ASSERT_TRUE(SaveProfileFile(dir / "other.tvx", other));
    EXPECT_EQ(LoadProfileFile(dir / "other.tvx", working), ProfileFileLoad::Status::Ok);
    EXPECT_EQ(working.Copy().macros.at(0).Name(), u"Other");
}

TEST_F(TempDir, LoadReadsOnlyWhatTheHeaderAccountsFor) {
    Configuration c = Sample();
    auto b = SerializeProfileFile(c);
    b.resize(b.size() + 100000, 0xAB);  // junk after the counted bytes
    Write(dir / "big.tvx", b);
    const ProfileFileLoad l = ReadProfileFile(dir / "big.tvx");
    ASSERT_TRUE(l.Ok());
    EXPECT_TRUE(l.config == c);
}

TEST(ProfileFileParse, BadOrRepeatedMacroIdsGetFreeOnes) {
    Configuration c;
    c.macros = {Macro(3, u"a", 0), Macro(3, u"b", 0), Macro(0, u"c", 0), Macro(250, u"d", 0),
                Macro(1, u"e", 0)};
    auto b = SerializeProfileFile(c);
    const ProfileFileParse p = ParseProfileFile(b);
    ASSERT_TRUE(p.Ok());
    EXPECT_TRUE(p.repairs.idsRenumbered);
    std::vector<int> ids;
    for (const auto& m : p.config.macros) ids.push_back(m.id);
    EXPECT_EQ(ids, (std::vector<int>{3, 2, 4, 5, 1}));
    // The repaired list can be committed as it is.
    Configuration loaded = p.config;
    EXPECT_EQ(loaded.CommitMacroList(p.config.macros).result, CommitOutcome::Result::Committed);
}
