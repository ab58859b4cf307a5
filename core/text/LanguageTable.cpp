#include "core/text/LanguageTable.h"

#include <mutex>
#include <utility>

#include "core/text/Utf.h"

namespace talvenix::text {
namespace {

struct TextInfo {
    std::string_view name;
    std::string_view builtIn;
    std::size_t units;
};

constexpr std::array<TextInfo, kTextCount> kTexts = {{
#define TALVENIX_TEXT(id, builtIn, units) {#id, builtIn, units},
#include "core/text/LanguageIds.def"
#undef TALVENIX_TEXT
}};

const std::string kEmpty;

std::mutex& CurrentMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<const LanguageTable>& CurrentSlot() {
    static std::shared_ptr<const LanguageTable> current = std::make_shared<const LanguageTable>();
    return current;
}

}  // namespace

std::string_view LanguageSection(int languageIndex) {
    return languageIndex == kChinese ? kChineseSection : kEnglishSection;
}

std::string_view TextIdName(TextId id) { return kTexts[static_cast<std::size_t>(id)].name; }

std::optional<TextId> TextIdOfName(std::string_view name) {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (kTexts[i].name == name) return static_cast<TextId>(i);
    }
    return std::nullopt;
}

std::string_view BuiltInText(TextId id) { return kTexts[static_cast<std::size_t>(id)].builtIn; }

std::size_t TextCapacity(TextId id) { return kTexts[static_cast<std::size_t>(id)].units; }

LanguageTable::LanguageTable() {
    for (std::size_t i = 0; i < kTexts.size(); ++i) texts_[i] = std::string(kTexts[i].builtIn);
}

LanguageTable LanguageTable::Load(const std::filesystem::path& languageFile, int languageIndex) {
    return Load(IniFile(languageFile), languageIndex);
}

LanguageTable LanguageTable::Load(IniFile languageFile, int languageIndex) {
    LanguageTable table;
    table.index_ = languageIndex == kChinese ? kChinese : kEnglish;
    table.file_ = std::make_shared<const IniFile>(std::move(languageFile));
    const std::string_view section = table.Section();
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        table.SetText(static_cast<TextId>(i), table.file_->Get(section, kTexts[i].name, kMissingText));
    }
    return table;
}

const std::string& LanguageTable::TextAt(std::size_t index) const {
    return index < texts_.size() ? texts_[index] : kEmpty;
}

void LanguageTable::SetText(TextId id, std::string_view text) {
    const auto i = static_cast<std::size_t>(id);
    texts_[i] = CutToUtf16Units(text, kTexts[i].units);
}

std::string LanguageTable::FileText(std::string_view key) const { return FileText(Section(), key); }

std::string LanguageTable::FileText(std::string_view section, std::string_view key) const {
    if (!file_) return std::string(kMissingText);
    return file_->Get(section, key, kMissingText);
}

void LoadLanguageTable(const std::filesystem::path& languageFile, int languageIndex) {
    SetCurrentLanguageTable(LanguageTable::Load(languageFile, languageIndex));
}

void SetCurrentLanguageTable(LanguageTable table) {
    auto next = std::make_shared<const LanguageTable>(std::move(table));
    std::lock_guard lock(CurrentMutex());
    CurrentSlot() = std::move(next);
}

std::shared_ptr<const LanguageTable> CurrentLanguageTable() {
    std::lock_guard lock(CurrentMutex());
    return CurrentSlot();
}

std::string LanguageText(TextId id) { return CurrentLanguageTable()->Text(id); }

std::optional<std::string> LanguageText(std::string_view idName) {
    const auto id = TextIdOfName(idName);
    if (!id) return std::nullopt;
    return LanguageText(*id);
}

std::string LanguageFileText(std::string_view key) { return CurrentLanguageTable()->FileText(key); }

std::string LanguageFileText(std::string_view section, std::string_view key) {
    return CurrentLanguageTable()->FileText(section, key);
}

}  // namespace talvenix::text
