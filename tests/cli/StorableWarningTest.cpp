// Assignments the keyboard cannot store, and keys bound to a macro the file does not hold: both
// from-json and restore name the key and what it will do, and still write what they were given.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/cli/CliRunner.h"

namespace talvenix::cli {
namespace {

namespace fs = std::filesystem;

class StorableWarningTest : public test::CliTest {
protected:
    fs::path Json(const std::string& name, const std::string& body) {
        const fs::path p = File(name);
        std::ofstream(p) << R"({"format":"talvenix-profile","version":1,)" << body << "}";
        return p;
    }
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(StorableWarningTest, FromJsonNamesKeysTheKeyboardCannotStore) {
    const fs::path in = Json("keys.json", R"("profiles":[{"keys":{
        "F3":{"kind":"key","target":"POWER"}, "F4":{"kind":"key","target":"B"},
        "F5":{"kind":"media","media":"mute"}, "F6":{"kind":"key","target":"F6"}}},
        {"keys":{"A":{"kind":"key","target":"MEDIA_V_ADD_7"}}}])");
    const fs::path out = File("keys.tvx");
    const auto r = Run({"from-json", in.string(), out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(out));
    EXPECT_TRUE(Has(r.err,
                    "warning: profile 0, key F3: set to act as POWER, which the keyboard cannot store; "
                    "on the keyboard it will do nothing (disabled)"))
        << r.err;
    EXPECT_TRUE(Has(r.err, "warning: profile 1, key A: set to act as MEDIA_V_ADD_7")) << r.err;
    // Plain keys, media and a key set to itself are stored as they are.
    EXPECT_FALSE(Has(r.err, "key F4")) << r.err;
    EXPECT_FALSE(Has(r.err, "key F5")) << r.err;
    EXPECT_FALSE(Has(r.err, "key F6")) << r.err;
}

TEST_F(StorableWarningTest, KeysBoundToAMissingMacroSayWhatTheyWillPlay) {
    const std::string keys = R"("profiles":[{"keys":{"F7":{"kind":"macro","macro":9},
        "F8":{"kind":"macro","macro":2}}}])";
    fs::path in = Json("bound.json", keys + R"(,"macros":[{"id":4,"name":"Hello"},{"id":2,"name":"Bye"}])");
    auto r = Run({"from-json", in.string(), File("bound.tvx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err,
                    "warning: profile 0, key F7: bound to macro 9, which the file does not hold; on "
                    "the keyboard it will play macro 4 \"Hello\" (the first in the file)"))
        << r.err;
    EXPECT_FALSE(Has(r.err, "key F8")) << r.err;

    r = Sim({"restore", File("bound.tvx").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "key F7: bound to macro 9")) << r.err;

    in = Json("none.json", keys);
    r = Run({"from-json", in.string(), File("none.tvx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err,
                    "key F7: bound to macro 9, which the file does not hold; on the keyboard it will "
                    "play no macro (the file holds none)"))
        << r.err;
    EXPECT_TRUE(Has(r.err, "key F8: bound to macro 2")) << r.err;
}

// Without a keyboard every key is checked; restore knows which keys this keyboard has.
TEST_F(StorableWarningTest, RestoreChecksOnlyTheKeysTheKeyboardHas) {
    const fs::path in = Json("k56.json", R"("profiles":[{"keys":{"K56":{"kind":"key","target":"POWER"},
        "F2":{"kind":"function","value":300}}}])");
    const fs::path file = File("k56.tvx");
    auto r = Run({"from-json", in.string(), file.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "key K56: set to act as POWER")) << r.err;
    EXPECT_TRUE(Has(r.err, "key F2: set to function 300")) << r.err;
    r = Sim({"restore", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Has(r.err, "K56")) << r.err;
    EXPECT_TRUE(Has(r.err,
                    "key F2: set to function 300, which the keyboard cannot store; on the keyboard it "
                    "will function 44"))
        << r.err;
}

}  // namespace
}  // namespace talvenix::cli
