#include "cli/ProfileJson.h"

#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "cli/CliError.h"
#include "cli/Names.h"
#include "core/keys/KeyAssignment.h"
#include "core/macros/MacroRecord.h"
#include "core/macros/ProfileImage.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/ProfileFile.h"
#include "core/text/Utf.h"

namespace talvenix::cli {

namespace {

using Json = nlohmann::ordered_json;
using keys::KeyAssignment;

constexpr const char* kFormatName = "talvenix-profile";
constexpr int kFormatVersion = 1;
constexpr std::size_t kHeaderReservedOffset = 20;
constexpr std::size_t kHeaderFlagOffset = 30;
constexpr std::size_t kHeaderChecksumOffset = 31;

// ---------- helpers ----------

std::string ToHex(const std::uint8_t* bytes, std::size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(digits[bytes[i] >> 4]);
        s.push_back(digits[bytes[i] & 0xF]);
    }
    return s;
}

bool AllZero(const std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

bool IsGSlot(int slot) { return slot >= keys::kGSlotBankA && slot < keys::kUsedSlots; }

// JSON text is UTF-8, which cannot carry an unpaired surrogate: such a string (a damaged file,
// a name typed on another system) is written as its UTF-16LE units in hex instead, under the
// field name followed by "Utf16", so the round trip keeps it exactly.
bool TextFitsUtf8(std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

void PutText(Json& j, const std::string& field, const std::u16string& text) {
    if (TextFitsUtf8(text)) {
        j[field] = text::Utf16ToUtf8(text);
    } else {
        const std::string le = text::Utf16ToLeBytes(text);
        j[field + "Utf16"] = ToHex(reinterpret_cast<const std::uint8_t*>(le.data()), le.size());
    }
}

// Compact where it reads well: an object or array of plain values stays on one line.
bool IsFlat(const Json& j) {
    if (!j.is_structured()) return true;
    for (const auto& item : j) {
        if (item.is_structured()) return false;
    }
    return true;
}

std::string Scalar(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

void Pretty(const Json& j, int indent, std::string& out) {
    if (!j.is_structured() || j.empty()) {
        out += Scalar(j);
        return;
    }
    if (IsFlat(j)) {  // one line, spaced for reading: {"kind": "key", "target": "B"}
        const bool obj = j.is_object();
        out += obj ? "{" : "[";
        bool firstItem = true;
        for (auto it = j.begin(); it != j.end(); ++it) {
            if (!firstItem) out += ", ";
            firstItem = false;
            if (obj) out += Scalar(Json(it.key())) + ": ";
            out += Scalar(it.value());
        }
        out += obj ? "}" : "]";
        return;
    }
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    const bool object = j.is_object();
    out += object ? "{\n" : "[\n";
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (!first) out += ",\n";
        first = false;
        out += pad;
        if (object) out += Scalar(Json(it.key())) + ": ";
        Pretty(it.value(), indent + 2, out);
    }
    out += '\n' + std::string(static_cast<std::size_t>(indent), ' ') + (object ? "}" : "]");
}

// ---------- to JSON ----------

Json RecordToJson(const KeyAssignment& r, std::uint16_t expectedTag, const macros::KeyStringTable& strings,
                  int stringSlot) {
    Json j;
    const std::string_view kindWord = KindWord(r.kind);
    if (kindWord.empty())
        j["kind"] = r.kind;
    else
        j["kind"] = kindWord;
    if (r.tag != expectedTag) j[r.kind == 4 ? "cycles" : "tag"] = r.tag;
    bool rawValue = r.value != 0;
    switch (r.kind) {
        case 2:
            if (r.value <= 0xFFFF) {
                j["target"] = KeyCodeName(static_cast<std::uint16_t>(r.value));
                rawValue = false;
            }
            break;
        case 3:
        case 6:
            if (strings.Has(stringSlot)) {
                PutText(j, r.kind == 3 ? "path" : "text", strings.Text(stringSlot));
                rawValue = false;  // the offset follows from where the string lands
            }
            break;
        case 4:
            if (r.value <= 0xFFFF) {
                j["macro"] = r.value;
                rawValue = false;
            }
            break;
        case 7:
            if (r.value < 18) {
                j["media"] = MediaWord(static_cast<int>(r.value));
                rawValue = false;
            }
            break;
        case 8:
            if (r.value < 16) {
                j["function"] = FunctionWord(static_cast<int>(r.value));
                rawValue = false;
            }
            break;
        default:
            break;
    }
    if (rawValue) j["value"] = r.value;
    if (!AllZero(r.extra.data(), r.extra.size())) j["extra"] = ToHex(r.extra.data(), r.extra.size());
    return j;
}

Json MacroToJson(const macros::MacroRecord& m) {
    Json j;
    j["id"] = m.id;
    PutText(j, "name", m.Name());
    j["cycles"] = m.cycles;
    const std::string_view mode = PlayModeWord(m.playMode);
    if (mode.empty())
        j["playMode"] = m.playMode;
    else
        j["playMode"] = mode;
    if (m.newFlag != 0) j["new"] = m.newFlag;
    if (m.reserved1 != 0) j["reserved1"] = m.reserved1;
    if (m.reserved2 != 0) j["reserved2"] = m.reserved2;
    Json actions = Json::array();
    for (int i = 0; i < m.UsedActions(); ++i) {
        const macros::MacroAction& a = m.actions[static_cast<std::size_t>(i)];
        Json aj;
        aj["delay"] = a.delayMs;
        aj["key"] = KeyCodeName(a.keyCode);
        if (a.direction == 0)
            aj["dir"] = "down";
        else if (a.direction == 1)
            aj["dir"] = "up";
        else
            aj["dir"] = a.direction;
        actions.push_back(std::move(aj));
    }
    j["actions"] = std::move(actions);
    return j;
}

// ---------- from JSON ----------

// Parsed into std::map objects: member lookup stays logarithmic however many members a
// hostile file has (the ordered form searches linearly, which made parsing quadratic).
using InJson = nlohmann::json;

// No profile needs more: nesting of 5 levels, a few hundred members per object.
constexpr int kMaxJsonDepth = 32;
constexpr std::size_t kMaxJsonMembers = 100'000;

// One linear pass over the text before the parser sees it: the parser recurses per level (a
// deep file would overflow the stack) and the checks below walk every member.
void CheckJsonShape(const std::string& text) {
    std::vector<std::size_t> members;  // per open bracket: separators seen so far
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                break;
            case '{':
            case '[':
                members.push_back(0);
                if (members.size() > static_cast<std::size_t>(kMaxJsonDepth)) {
                    FailBadInput("JSON: nested deeper than " + std::to_string(kMaxJsonDepth) +
                                 " levels; no profile needs that");
                }
                break;
            case '}':
            case ']':
                if (!members.empty()) members.pop_back();
                break;
            case ',':
                if (!members.empty() && ++members.back() >= kMaxJsonMembers) {
                    FailBadInput("JSON: an object or array with more than " +
                                 std::to_string(kMaxJsonMembers) + " members; no profile needs that");
                }
                break;
            default:
                break;
        }
    }
}

[[noreturn]] void Bad(const std::string& where, const std::string& what) {
    FailBadInput(where + ": " + what);
}

std::uint64_t UnsignedField(const InJson& j, const std::string& where, std::uint64_t max) {
    if (!j.is_number_integer() && !j.is_number_unsigned()) Bad(where, "must be a whole number");
    // Unsigned numbers count as integers too: only a signed one can be below zero.
    if (!j.is_number_unsigned() && j.get<std::int64_t>() < 0) Bad(where, "must not be negative");
    const std::uint64_t v = j.get<std::uint64_t>();
    if (v > max) Bad(where, "must be at most " + std::to_string(max));
    return v;
}

const std::string& StringField(const InJson& j, const std::string& where) {
    if (!j.is_string()) Bad(where, "must be a string");
    return j.get_ref<const std::string&>();
}

template <std::size_t N>
std::array<std::uint8_t, N> HexField(const InJson& j, const std::string& where) {
    const std::string& s = StringField(j, where);
    if (s.size() != N * 2) Bad(where, "must be " + std::to_string(N * 2) + " hex digits");
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto v = ParseNumber("0x" + s.substr(i * 2, 2));
        if (!v) Bad(where, "must be hex digits");
        out[i] = static_cast<std::uint8_t>(*v);
    }
    return out;
}

// A string field, or its "Utf16" hex form (see PutText); nullopt when neither is given.
std::optional<std::u16string> TextField(const InJson& j, const std::string& field, const std::string& where) {
    const std::string hexField = field + "Utf16";
    if (j.contains(field) && j.contains(hexField)) Bad(where, "has both " + field + " and " + hexField);
    if (j.contains(field)) return text::Utf8ToUtf16(StringField(j[field], where + "." + field));
    if (!j.contains(hexField)) return std::nullopt;
    const std::string& hex = StringField(j[hexField], where + "." + hexField);
    if (hex.size() % 4 != 0) Bad(where + "." + hexField, "must be hex digits, four per UTF-16 unit");
    std::string le;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto v = ParseNumber("0x" + hex.substr(i, 2));
        if (!v) Bad(where + "." + hexField, "must be hex digits");
        le.push_back(static_cast<char>(*v));
    }
    return text::Utf16LeBytesToString(le);
}

// A word from a table, or a number up to `max`.
template <typename WordLookup>
std::uint64_t WordOrNumber(const InJson& j, const std::string& where, WordLookup lookup, std::uint64_t max,
                           const char* what) {
    if (j.is_string()) {
        const auto v = lookup(j.get_ref<const std::string&>());
        if (!v) Bad(where, "unknown " + std::string(what) + " '" + j.get<std::string>() + "'");
        return static_cast<std::uint64_t>(*v);
    }
    return UnsignedField(j, where, max);
}

std::uint16_t KeyField(const InJson& j, const std::string& where) {
    if (j.is_string()) {
        const auto code = KeyCodeOfName(j.get_ref<const std::string&>());
        if (!code) Bad(where, "unknown key '" + j.get<std::string>() + "'");
        return *code;
    }
    return static_cast<std::uint16_t>(UnsignedField(j, where, 0xFFFF));
}

void CheckMembers(const InJson& j, const std::string& where, std::initializer_list<const char*> allowed) {
    if (!j.is_object()) Bad(where, "must be an object");
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool ok = false;
        for (const char* a : allowed) ok = ok || it.key() == a;
        if (!ok) Bad(where, "unknown field '" + it.key() + "'");
    }
}

KeyAssignment RecordFromJson(const InJson& j, const std::string& where, std::uint16_t expectedTag,
                             macros::KeyStringTable& strings, int stringSlot) {
    CheckMembers(j, where,
                 {"kind", "tag", "cycles", "value", "target", "path", "text", "pathUtf16", "textUtf16",
                  "macro", "media", "function", "extra"});
    if (!j.contains("kind")) Bad(where, "has no kind");
    KeyAssignment r;
    r.kind = static_cast<std::uint16_t>(WordOrNumber(j["kind"], where + ".kind", KindOfWord, 0xFFFF, "kind"));
    r.tag = expectedTag;
    if (j.contains("tag") && j.contains("cycles")) Bad(where, "has both tag and cycles");
    if (j.contains("tag"))
        r.tag = static_cast<std::uint16_t>(UnsignedField(j["tag"], where + ".tag", 0xFFFF));
    if (j.contains("cycles"))
        r.tag = static_cast<std::uint16_t>(UnsignedField(j["cycles"], where + ".cycles", 0xFFFF));

    auto only = [&](const char* field, std::uint16_t kind) {
        if (j.contains(field) && r.kind != kind)
            Bad(where, std::string(field) + " needs kind '" + std::string(KindWord(kind)) + "'");
    };
    only("target", 2);
    only("path", 3);
    only("pathUtf16", 3);
    only("macro", 4);
    only("text", 6);
    only("textUtf16", 6);
    only("media", 7);
    only("function", 8);
    int meanings = 0;
    for (const char* f :
         {"value", "target", "path", "text", "pathUtf16", "textUtf16", "macro", "media", "function"}) {
        meanings += j.contains(f);
    }
    if (meanings > 1) Bad(where, "gives its value more than once");

    if (j.contains("value"))
        r.value = static_cast<std::uint32_t>(UnsignedField(j["value"], where + ".value", 0xFFFFFFFF));
    if (j.contains("target")) r.value = KeyField(j["target"], where + ".target");
    if (j.contains("macro"))
        r.value = static_cast<std::uint32_t>(UnsignedField(j["macro"], where + ".macro", 0xFFFF));
    if (j.contains("media")) {
        r.value = static_cast<std::uint32_t>(
            WordOrNumber(j["media"], where + ".media", MediaOfWord, 17, "media function"));
    }
    if (j.contains("function")) {
        r.value = static_cast<std::uint32_t>(
            WordOrNumber(j["function"], where + ".function", FunctionOfWord, 15, "office function"));
    }
    for (const char* f : {"path", "text"}) {
        const auto s = TextField(j, f, where);
        if (!s) continue;
        if (s->find(u'\0') != std::u16string::npos) Bad(where + "." + f, "must not contain NUL characters");
        strings.Set(stringSlot, *s);
    }
    if (j.contains("extra")) r.extra = HexField<8>(j["extra"], where + ".extra");
    return r;
}

macros::MacroRecord MacroFromJson(const InJson& j, const std::string& where, int position) {
    CheckMembers(
        j, where,
        {"id", "name", "nameUtf16", "cycles", "playMode", "new", "reserved1", "reserved2", "actions"});
    macros::MacroRecord m;
    m.id = static_cast<std::uint16_t>(position + 1);
    if (j.contains("id")) {
        // Keys name macros by id; the keyboard numbers them 1..100, and a file load would renumber
        // any other id and leave its keys pointing at another macro.
        const auto id = UnsignedField(j["id"], where + ".id", 0xFFFF);
        if (id < 1 || id > static_cast<std::uint64_t>(macros::kMaxMacros)) {
            Bad(where + ".id", std::to_string(id) + " is not a macro id (1.." +
                                   std::to_string(macros::kMaxMacros) +
                                   "); a key bound to it would play another macro");
        }
        m.id = static_cast<std::uint16_t>(id);
    }
    if (const auto text = TextField(j, "name", where)) {
        const std::u16string& name = *text;
        if (name.size() > static_cast<std::size_t>(macros::kMaxNameLength)) {
            Bad(where + ".name",
                "is longer than " + std::to_string(macros::kMaxNameLength) + " UTF-16 units");
        }
        if (name.find(u'\0') != std::u16string::npos) Bad(where + ".name", "must not contain NUL characters");
        m.SetName(name);
    }
    if (j.contains("cycles"))
        m.cycles = static_cast<std::uint8_t>(UnsignedField(j["cycles"], where + ".cycles", 0xFF));
    if (j.contains("playMode")) {
        m.playMode = static_cast<std::uint16_t>(
            WordOrNumber(j["playMode"], where + ".playMode", PlayModeOfWord, 0xFFFF, "play mode"));
    }
    if (j.contains("new"))
        m.newFlag = static_cast<std::uint16_t>(UnsignedField(j["new"], where + ".new", 0xFFFF));
    if (j.contains("reserved1")) {
        m.reserved1 = static_cast<std::uint8_t>(UnsignedField(j["reserved1"], where + ".reserved1", 0xFF));
    }
    if (j.contains("reserved2")) {
        m.reserved2 = static_cast<std::uint16_t>(UnsignedField(j["reserved2"], where + ".reserved2", 0xFFFF));
    }
    if (j.contains("actions")) {
        const InJson& actions = j["actions"];
        if (!actions.is_array()) Bad(where + ".actions", "must be an array");
        if (actions.size() > static_cast<std::size_t>(macros::kMaxActions)) {
            Bad(where + ".actions", "has more than " + std::to_string(macros::kMaxActions) + " actions");
        }
        for (std::size_t i = 0; i < actions.size(); ++i) {
            const std::string at = where + ".actions[" + std::to_string(i) + "]";
            const InJson& a = actions[i];
            CheckMembers(a, at, {"delay", "key", "dir"});
            if (!a.contains("key")) Bad(at, "has no key");
            macros::MacroAction& out = m.actions[i];
            if (a.contains("delay"))
                out.delayMs =
                    static_cast<std::uint32_t>(UnsignedField(a["delay"], at + ".delay", 0xFFFFFFFF));
            out.keyCode = KeyField(a["key"], at + ".key");
            if (a.contains("dir")) {
                out.direction = static_cast<std::uint16_t>(WordOrNumber(
                    a["dir"], at + ".dir",
                    [](const std::string& w) -> std::optional<int> {
                        if (w == "down") return 0;
                        if (w == "up") return 1;
                        return std::nullopt;
                    },
                    0xFFFF, "direction (down or up)"));
            }
        }
        m.actionCount = static_cast<std::uint16_t>(actions.size());
    }
    return m;
}

}  // namespace

std::string ProfileFileToJson(std::span<const std::uint8_t> bytes) {
    const auto check = profiles::CheckProfileFileBytes(bytes);
    if (check != profiles::ProfileFileCheck::Valid) {
        FailBadInput("not a valid profile file: " + std::string(profiles::DescribeProfileFileCheck(check)));
    }
    const profiles::ProfileFileParse parse = profiles::ParseProfileFile(bytes);
    if (!parse.Ok()) FailBadInput("the profile file could not be read");
    const macros::Configuration& cfg = parse.config;

    Json root;
    root["format"] = kFormatName;
    root["version"] = kFormatVersion;
    if (bytes[kHeaderFlagOffset] != 0) root["flag"] = bytes[kHeaderFlagOffset];
    if (!AllZero(bytes.data() + kHeaderReservedOffset, 10)) {
        root["headerReserved"] = ToHex(bytes.data() + kHeaderReservedOffset, 10);
    }
    const macros::KeySectionHeader standard;
    if (!(cfg.image.keySection == standard)) {
        root["keySection"] = ToHex(reinterpret_cast<const std::uint8_t*>(&cfg.image.keySection), 32);
    }
    Json profilesJson = Json::array();
    for (int b = 0; b < keys::kBlockCount; ++b) {
        const auto block = cfg.image.Block(b);
        const bool gNumbers = block[keys::kGSlotBankA].tag == keys::GKeyNumber(keys::kGSlotBankA);
        Json keysJson = Json::object();
        for (int slot = 0; slot < keys::kSlotsPerBlock; ++slot) {
            const KeyAssignment& r = block[static_cast<std::size_t>(slot)];
            const std::uint16_t expected = gNumbers && IsGSlot(slot) ? keys::GKeyNumber(slot) : 0;
            if (r.kind == 0 && r.value == 0 && r.tag == expected && AllZero(r.extra.data(), r.extra.size()))
                continue;
            keysJson[SlotName(slot)] =
                RecordToJson(r, expected, cfg.strings, b * keys::kSlotsPerBlock + slot);
        }
        Json blockJson;
        blockJson["gKeyNumbers"] = gNumbers;
        blockJson["keys"] = std::move(keysJson);
        profilesJson.push_back(std::move(blockJson));
    }
    root["profiles"] = std::move(profilesJson);
    Json macrosJson = Json::array();
    for (const auto& m : cfg.macros) macrosJson.push_back(MacroToJson(m));
    root["macros"] = std::move(macrosJson);

    std::string out;
    Pretty(root, 0, out);
    out += '\n';
    return out;
}

std::vector<std::uint8_t> ProfileFileFromJson(const std::string& text) {
    CheckJsonShape(text);
    InJson root;
    try {
        root = InJson::parse(text);
    } catch (const InJson::exception& e) {
        // Syntax errors and numbers too large for any type alike.
        FailBadInput(std::string("not valid JSON: ") + e.what());
    }
    CheckMembers(root, "JSON",
                 {"format", "version", "flag", "headerReserved", "keySection", "profiles", "macros"});
    if (!root.contains("format") || root["format"] != kFormatName) {
        FailBadInput("JSON: \"format\" must be \"" + std::string(kFormatName) + "\"");
    }
    if (!root.contains("version") || root["version"] != kFormatVersion) {
        FailBadInput("JSON: \"version\" must be " + std::to_string(kFormatVersion));
    }

    macros::Configuration cfg;
    cfg.image = macros::ProfileImage{};
    cfg.image.keySection = macros::KeySectionHeader{};
    if (root.contains("keySection")) {
        const auto raw = HexField<32>(root["keySection"], "keySection");
        std::memcpy(&cfg.image.keySection, raw.data(), raw.size());
    }

    const InJson empty = InJson::array();
    const InJson& profilesJson = root.contains("profiles") ? root["profiles"] : empty;
    if (!profilesJson.is_array()) FailBadInput("profiles: must be an array");
    if (profilesJson.size() > static_cast<std::size_t>(keys::kBlockCount)) {
        FailBadInput("profiles: has more than " + std::to_string(keys::kBlockCount) + " blocks");
    }
    for (int b = 0; b < keys::kBlockCount; ++b) {
        const std::string where = "profiles[" + std::to_string(b) + "]";
        const bool present = static_cast<std::size_t>(b) < profilesJson.size();
        const InJson blockJson = present ? profilesJson[static_cast<std::size_t>(b)] : InJson::object();
        CheckMembers(blockJson, where, {"gKeyNumbers", "keys"});
        bool gNumbers = b == 0;  // the default table's choice
        if (blockJson.contains("gKeyNumbers")) {
            if (!blockJson["gKeyNumbers"].is_boolean()) Bad(where + ".gKeyNumbers", "must be true or false");
            gNumbers = blockJson["gKeyNumbers"].get<bool>();
        }
        auto block = cfg.image.Block(b);
        for (int slot = keys::kGSlotBankA; slot < keys::kUsedSlots; ++slot) {
            block[static_cast<std::size_t>(slot)].tag = gNumbers ? keys::GKeyNumber(slot) : 0;
        }
        if (!blockJson.contains("keys")) continue;
        const InJson& keysJson = blockJson["keys"];
        if (!keysJson.is_object()) Bad(where + ".keys", "must be an object");
        std::set<int> seen;
        for (auto it = keysJson.begin(); it != keysJson.end(); ++it) {
            const std::string at = where + ".keys." + it.key();
            const auto slot = SlotOfName(it.key());
            if (!slot) Bad(at, "unknown key");
            if (!seen.insert(*slot).second) Bad(at, "names a key given twice");
            const std::uint16_t expected = gNumbers && IsGSlot(*slot) ? keys::GKeyNumber(*slot) : 0;
            block[static_cast<std::size_t>(*slot)] =
                RecordFromJson(it.value(), at, expected, cfg.strings, b * keys::kSlotsPerBlock + *slot);
        }
    }

    if (root.contains("macros")) {
        const InJson& macrosJson = root["macros"];
        if (!macrosJson.is_array()) FailBadInput("macros: must be an array");
        if (macrosJson.size() > static_cast<std::size_t>(macros::kMaxMacros)) {
            FailBadInput("macros: more than " + std::to_string(macros::kMaxMacros) + " macros");
        }
        cfg.macros.reserve(macrosJson.size());
        for (std::size_t i = 0; i < macrosJson.size(); ++i) {
            const std::string where = "macros[" + std::to_string(i) + "]";
            cfg.macros.push_back(MacroFromJson(macrosJson[i], where, static_cast<int>(i)));
            // Keys name macros by id: a second macro with the same id (easily made by giving
            // one macro an id and leaving the next to its default) would make them ambiguous.
            for (std::size_t k = 0; k + 1 < cfg.macros.size(); ++k) {
                if (cfg.macros[k].id == cfg.macros.back().id) {
                    Bad(where + ".id", std::to_string(cfg.macros.back().id) +
                                           " is already the id of macros[" + std::to_string(k) + "]");
                }
            }
        }
    }

    std::vector<std::uint8_t> bytes = profiles::SerializeProfileFile(cfg);
    if (root.contains("flag")) {
        bytes[kHeaderFlagOffset] = static_cast<std::uint8_t>(UnsignedField(root["flag"], "flag", 1));
    }
    if (root.contains("headerReserved")) {
        const auto raw = HexField<10>(root["headerReserved"], "headerReserved");
        std::copy(raw.begin(), raw.end(), bytes.begin() + kHeaderReservedOffset);
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kHeaderChecksumOffset; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    bytes[kHeaderChecksumOffset] = sum;

    const auto check = profiles::CheckProfileFileBytes(bytes);
    if (check != profiles::ProfileFileCheck::Valid) {
        FailBadInput("the JSON does not make a valid profile file: " +
                     std::string(profiles::DescribeProfileFileCheck(check)));
    }
    return bytes;
}

}  // namespace talvenix::cli
