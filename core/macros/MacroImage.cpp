#include "core/macros/MacroImage.h"

#include <algorithm>
#include <string>

#include "core/macros/KeyForm.h"

namespace talvenix::macros {

namespace {

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::size_t NameLength(const MacroRecord& m) {
    const auto end = std::find(m.name.begin(), m.name.end(), u'\0');
    return static_cast<std::size_t>(end - m.name.begin());
}

}  // namespace

MacroImageSizes MacroImageSize(std::span<const MacroRecord> macros) {
    MacroImageSizes s;
    s.withoutNames = kMacroImageHeaderSize + 2 * macros.size();
    std::size_t names = 0;
    for (const auto& m : macros) {
        s.withoutNames += 4 * static_cast<std::size_t>(m.UsedActions()) + 4;
        names += 2 * NameLength(m);
    }
    s.withNames = s.withoutNames + names;
    return s;
}

std::array<std::uint8_t, 4> EncodeMacroAction(const MacroAction& action) {
    const std::uint32_t units = std::min<std::uint32_t>(action.delayMs / 10, kMaxDelayUnits);
    const KeyForm form = KeyFormOfCode(action.keyCode);
    std::uint16_t word = static_cast<std::uint16_t>(units | ((form.kind & 0x7) << 12));
    if (!action.IsRelease()) word |= 0x8000;
    return {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8), form.b1, form.b2};
}

MacroAction DecodeMacroAction(std::span<const std::uint8_t, 4> bytes) {
    const std::uint16_t word = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    MacroAction a;
    a.delayMs = static_cast<std::uint32_t>(word & 0x0FFF) * 10;
    a.direction = (word & 0x8000) ? 0 : 1;
    const KeyForm form{static_cast<std::uint8_t>((word >> 12) & 0x7), bytes[2], bytes[3]};
    a.keyCode = CodeOfKeyForm(form);
    return a;
}

std::optional<std::vector<std::uint8_t>> EncodeMacroImage(std::span<const MacroRecord> macros,
                                                          bool withNames) {
    const MacroImageSizes sizes = MacroImageSize(macros);
    const std::size_t size = withNames ? sizes.withNames : sizes.withoutNames;
    if (size > kMacroImageMaxSize || macros.size() > static_cast<std::size_t>(kMaxMacros))
        return std::nullopt;
    std::vector<std::uint8_t> image(size, 0);
    PutWord(image, 0, kMacroImageSignature);
    PutWord(image, 2, size);
    PutWord(image, 4, macros.size());
    PutWord(image, 6, withNames ? 1 : 0);
    std::size_t offset = kMacroImageHeaderSize + 2 * macros.size();
    for (std::size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& m = macros[i];
        const std::size_t count = static_cast<std::size_t>(m.UsedActions());
        const std::size_t nameLength = withNames ? NameLength(m) : 0;
        PutWord(image, kMacroImageHeaderSize + 2 * i, offset);
        PutWord(image, offset, count);
        image[offset + 2] = m.cycles;
        image[offset + 3] = static_cast<std::uint8_t>(nameLength);
        std::size_t at = offset + 4;
        for (std::size_t k = 0; k < count; ++k, at += 4) {
            const auto bytes = EncodeMacroAction(m.actions[k]);
            std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
        }
        for (std::size_t k = 0; k < nameLength; ++k, at += 2) PutWord(image, at, m.name[k]);
        offset = at;
    }
    return image;
}

std::size_t MacroImageReadSize(std::span<const std::uint8_t> header) {
    if (header.size() < kMacroImageHeaderSize || Word(header, 0) != kMacroImageSignature) return 0;
    return std::max<std::size_t>(Word(header, 2), kMacroImageHeaderSize);
}

MacroImageDecode DecodeMacroImage(std::span<const std::uint8_t> image, std::u16string_view namePrefix) {
    using Status = MacroImageDecode::Status;
    MacroImageDecode out;
    auto fail = [&out](Status s, int macro = -1) {
        out.status = s;
        out.badMacro = macro;
        out.macros.clear();
        return out;
    };
    if (image.size() < kMacroImageHeaderSize) return fail(Status::TooShort);
    if (Word(image, 0) != kMacroImageSignature) return out;  // never written: no macros
    const std::size_t declared = Word(image, 2);
    if (declared < kMacroImageHeaderSize) return fail(Status::TooShort);
    const auto bytes = image.first(std::min(declared, image.size()));
    const std::size_t n = Word(bytes, 4);
    if (n > static_cast<std::size_t>(kMaxMacros)) return fail(Status::TooManyMacros);
    if (kMacroImageHeaderSize + 2 * n > bytes.size()) return fail(Status::TableOutOfRange);
    out.macros.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const int index = static_cast<int>(i);
        const std::size_t offset = Word(bytes, kMacroImageHeaderSize + 2 * i);
        if (offset + 4 > bytes.size()) return fail(Status::EntryOutOfRange, index);
        const std::size_t count = Word(bytes, offset);
        if (count > static_cast<std::size_t>(kMaxActions)) return fail(Status::TooManyActions, index);
        const std::size_t nameLength = bytes[offset + 3];
        if (offset + 4 + 4 * count + 2 * nameLength > bytes.size())
            return fail(Status::EntryOutOfRange, index);
        MacroRecord& m = out.macros[i];
        m.cycles = bytes[offset + 2];
        m.newFlag = 0;
        m.playMode = 0;
        m.id = static_cast<std::uint16_t>(i + 1);
        m.actionCount = static_cast<std::uint16_t>(count);
        std::size_t at = offset + 4;
        for (std::size_t k = 0; k < count; ++k, at += 4)
            m.actions[k] = DecodeMacroAction(bytes.subspan(at).first<4>());
        // A stored name ends at its first NUL; one that ends before it starts is no name, and
        // gets the default like a missing one (else it would read back empty, then as the default).
        std::u16string name;
        for (std::size_t k = 0; k < nameLength; ++k) {
            const auto unit = static_cast<char16_t>(Word(bytes, at + 2 * k));
            if (unit == u'\0') break;
            name.push_back(unit);
        }
        if (name.empty()) {
            name = namePrefix;
            for (char c : std::to_string(i + 1)) name.push_back(static_cast<char16_t>(c));
        }
        m.SetName(name);
    }
    return out;
}

}  // namespace talvenix::macros

namespace talvenix::macros {

std::string_view DescribeMacroImageStatus(MacroImageDecode::Status status) {
    using S = MacroImageDecode::Status;
    switch (status) {
        case S::Ok:
            return "ok";
        case S::TooShort:
            return "the macro image is shorter than its 16-byte header";
        case S::TooManyMacros:
            return "the macro image counts more than 100 macros";
        case S::TableOutOfRange:
            return "the macro image's offset table does not fit the image";
        case S::EntryOutOfRange:
            return "a macro entry does not fit the image";
        case S::TooManyActions:
            return "a macro entry counts more than 2000 actions";
    }
    return "unknown";
}

}  // namespace talvenix::macros
