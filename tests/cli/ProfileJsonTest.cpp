// The JSON form of profile files, in process: lossless round trips and refusals that name the field.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliError.h"
#include "cli/ProfileJson.h"
#include "core/profiles/ProfileFile.h"
#include "tests/cli/CliRunner.h"

namespace talvenix::cli {
namespace {

std::vector<std::uint8_t> Bytes(macros::Configuration c) { return profiles::SerializeProfileFile(c); }

std::string ErrorOf(const std::string& json) {
    try {
        ProfileFileFromJson(json);
    } catch (const CliError& e) {
        EXPECT_EQ(e.ExitCode(), kExitBadInput);
        return e.what();
    }
    return "";
}

TEST(ProfileJsonTest, RoundTripOfEveryFieldIsByteIdentical) {
    const auto bytes = Bytes(test::RichConfig());
    const std::string json = ProfileFileToJson(bytes);
    EXPECT_EQ(ProfileFileFromJson(json), bytes);
    // And the JSON of the result is the same text.
    EXPECT_EQ(ProfileFileToJson(ProfileFileFromJson(json)), json);
}

// UTF-8 has no form for an unpaired surrogate; such strings must still come back unchanged.
TEST(ProfileJsonTest, StringsWithUnpairedSurrogatesSurvive) {
    macros::Configuration c = test::RichConfig();
    c.strings.Set(0x3F, std::u16string(u"C:\\x") + char16_t(0xD800) + u".exe");
    c.macros[0].SetName(std::u16string(u"half ") + char16_t(0xDC01));
    c.RefreshHeader();
    const auto bytes = Bytes(c);
    const std::string json = ProfileFileToJson(bytes);
    EXPECT_NE(json.find("\"pathUtf16\": \"43003a005c007800"), std::string::npos) << json;
    EXPECT_NE(json.find("\"nameUtf16\": "), std::string::npos) << json;
    EXPECT_EQ(ProfileFileFromJson(json), bytes);
    EXPECT_NE(ErrorOf(R"({"format":"talvenix-profile","version":1,"macros":[{"nameUtf16":"41"}]})")
                  .find("macros[0].nameUtf16: must be hex digits, four per UTF-16 unit"),
              std::string::npos);
}

TEST(ProfileJsonTest, HeaderFlagAndReservedBytesSurvive) {
    auto bytes = Bytes(test::KeyboardRepresentableConfig());
    bytes[30] = 1;
    bytes[22] = 0x77;
    std::uint8_t sum = 0;
    for (int i = 0; i < 31; ++i) sum = static_cast<std::uint8_t>(sum + bytes[static_cast<std::size_t>(i)]);
    bytes[31] = sum;
    ASSERT_EQ(profiles::CheckProfileFileBytes(bytes), profiles::ProfileFileCheck::Valid);
    EXPECT_EQ(ProfileFileFromJson(ProfileFileToJson(bytes)), bytes);
}

TEST(ProfileJsonTest, UsesNamesAndWords) {
    const auto j = nlohmann::json::parse(ProfileFileToJson(Bytes(test::RichConfig())));
    EXPECT_EQ(j["profiles"][0]["keys"]["A"], (nlohmann::json{{"kind", "key"}, {"target", "B"}}));
    EXPECT_EQ(j["profiles"][0]["keys"]["CAPS"]["kind"], "disabled");
    EXPECT_EQ(j["profiles"][0]["keys"]["F5"]["path"], "/usr/bin/xterm -e top");
    EXPECT_EQ(j["profiles"][0]["keys"]["G3A"],
              (nlohmann::json{{"kind", "macro"}, {"cycles", 5}, {"macro", 2}}));
    EXPECT_EQ(j["profiles"][0]["keys"]["R"]["target"], "0x136");  // right Shift's second code
    EXPECT_EQ(j["profiles"][0]["keys"]["E"]["function"], "a3");
    EXPECT_EQ(j["profiles"][1]["keys"]["F3"]["media"], "volume-up");
    EXPECT_EQ(j["profiles"][1]["keys"]["RALT"]["target"], "LCTRL");
    EXPECT_EQ(j["profiles"][1]["keys"]["G9B"]["media"], "mail");
    EXPECT_EQ(j["profiles"][1]["keys"]["T"]["extra"], "0102030405060708");
    EXPECT_EQ(j["profiles"][2]["keys"]["slot300"]["value"], 7);
    EXPECT_EQ(j["profiles"][3]["gKeyNumbers"], false);
    EXPECT_EQ(j["macros"][0]["actions"][4],
              (nlohmann::json{{"delay", 40000}, {"key", "MEDIA_V_ADD_7"}, {"dir", "down"}}));
    EXPECT_EQ(j["macros"][1]["playMode"], "until-key-down-again");
    EXPECT_EQ(j["macros"][3]["actions"][0]["dir"], 3);
    EXPECT_EQ(j["macros"][3]["actions"][0]["key"], "0x055");
}

TEST(ProfileJsonTest, HandWrittenJsonBuildsAValidFile) {
    const std::string json = R"({
      "format": "talvenix-profile", "version": 1,
      "profiles": [ { "keys": { "capS": {"kind": "disabled"}, "G1A": {"kind": "stop-macro"} } } ],
      "macros": [ { "name": "Copy", "actions": [ {"key": "LCTRL"}, {"key": "C", "delay": 20},
                                                 {"key": "C", "dir": "up"}, {"key": "LCTRL", "dir": "up"} ] } ]
    })";
    const auto bytes = ProfileFileFromJson(json);
    ASSERT_EQ(profiles::CheckProfileFileBytes(bytes), profiles::ProfileFileCheck::Valid);
    const auto parse = profiles::ParseProfileFile(bytes);
    EXPECT_EQ(parse.config.AssignmentOf(0, 0x3A).kind, 1);
    EXPECT_EQ(parse.config.AssignmentOf(0, 256).kind, 5);
    EXPECT_EQ(parse.config.AssignmentOf(0, 256).tag, 0x0301);  // keeps its G-key number
    EXPECT_EQ(parse.config.AssignmentOf(1, 256).tag, 0);       // blocks not given are default
    ASSERT_EQ(parse.config.macros.size(), 1u);
    EXPECT_EQ(parse.config.macros[0].id, 1);
    EXPECT_EQ(parse.config.macros[0].actionCount, 4);
    EXPECT_EQ(parse.config.macros[0].actions[1].delayMs, 20u);
    EXPECT_EQ(parse.config.macros[0].actions[3].direction, 1);
}

TEST(ProfileJsonTest, RefusalsNameTheField) {
    const std::string head = R"({"format":"talvenix-profile","version":1,)";
    EXPECT_NE(ErrorOf("{").find("not valid JSON"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"format":"other","version":1})").find("format"), std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("profiles":[{"keys":{"NOKEY":{"kind":"disabled"}}}]})")
                  .find("profiles[0].keys.NOKEY: unknown key"),
              std::string::npos);
    EXPECT_NE(
        ErrorOf(head + R"("profiles":[{"keys":{"A":{"kind":"flying"}}}]})").find("unknown kind 'flying'"),
        std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("profiles":[{"keys":{"A":{"kind":"key","media":"mute"}}}]})")
                  .find("media needs kind 'media'"),
              std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("profiles":[{"keys":{"A":{"kind":"media","media":18}}}]})")
                  .find("keys.A.media: must be at most 17"),
              std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("profiles":[{"keys":{"A":{"kind":"key","taget":"B"}}}]})")
                  .find("unknown field 'taget'"),
              std::string::npos);
    EXPECT_NE(
        ErrorOf(head + R"("profiles":[{"keys":{"A":{"kind":1},"0x01E":{"kind":1}}}]})").find("given twice"),
        std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("profiles":[{},{},{},{},{}]})").find("more than 4"), std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("flag":2})").find("flag: must be at most 1"), std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("macros":[{"name":"x","cycles":256}]})").find("macros[0].cycles"),
              std::string::npos);
    EXPECT_NE(ErrorOf(head + R"("macros":[{"actions":[{"key":"A","dir":"sideways"}]}]})")
                  .find("macros[0].actions[0].dir"),
              std::string::npos);
    std::string many = head + R"("macros":[)";
    for (int i = 0; i < 101; ++i) many += std::string(i ? "," : "") + "{}";
    EXPECT_NE(ErrorOf(many + "]}").find("more than 100 macros"), std::string::npos);
    // An id given to one macro and left to its default (position + 1) on the next collides.
    EXPECT_NE(
        ErrorOf(head + R"("macros":[{"id":2},{}]})").find("macros[1].id: 2 is already the id of macros[0]"),
        std::string::npos);
    std::string longName(250, 'x');
    EXPECT_NE(ErrorOf(head + R"("macros":[{"name":")" + longName + R"("}]})").find("longer than 249"),
              std::string::npos);
}

TEST(ProfileJsonTest, InvalidProfileFileIsRefused) {
    auto bytes = Bytes(test::KeyboardRepresentableConfig());
    bytes[4] = 2;  // version
    EXPECT_THROW(ProfileFileToJson(bytes), CliError);
}

}  // namespace
}  // namespace talvenix::cli
