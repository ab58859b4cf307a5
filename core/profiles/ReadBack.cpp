#include "core/profiles/ReadBack.h"

#include <new>
#include <vector>

#include "core/device/Commands.h"
#include "core/keys/KeyBlockCodec.h"
#include "core/profiles/ProfileFile.h"

namespace talvenix::profiles {

using Result = ReadBackOutcome::Result;

ReadBackOutcome ReadKeyboardConfiguration(KeyboardState& keyboard, device::ReportTransport& t,
                                          macros::Configuration& out, std::u16string_view namePrefix) {
    ReadBackOutcome r;
    auto fail = [&r](Result result, int device = 1) {
        r.result = result;
        r.deviceResult = device;
        return r;
    };
    const int profile = keyboard.GetCurrentProfile(t);
    if (profile < 0 || profile >= device::kProfileCount)
        return fail(Result::ProfileUnknown, device::kNoKeyboard);
    const std::optional<device::KeyBlock> layout = keyboard.DefaultLayout();
    if (!layout) return fail(Result::NoDefaultLayout);

    try {
        std::array<device::KeyBlock, device::kProfileCount> blocks{};
        for (int p = 0; p < device::kProfileCount; ++p) {
            const int rc = device::ReadKeyBlock(t, blocks[static_cast<std::size_t>(p)], p);
            if (rc != device::kOk) return fail(Result::KeyBlockReadFailed, rc);
        }
        std::vector<std::uint8_t> image(macros::kMacroImageHeaderSize, 0);
        int rc = device::ReadMacroMemory(t, image);
        if (rc != device::kOk) return fail(Result::MacroReadFailed, rc);
        const std::size_t size = macros::MacroImageReadSize(image);
        if (size == 0) {
            image.assign(macros::kMacroImageHeaderSize, 0);  // never written: no macros
        } else {
            image.assign(size, 0);
            rc = device::ReadMacroMemory(t, image);
            if (rc != device::kOk) return fail(Result::MacroReadFailed, rc);
        }
        macros::MacroImageDecode decoded = macros::DecodeMacroImage(image, namePrefix);
        if (!decoded.Ok()) {
            r.imageStatus = decoded.status;
            r.badMacro = decoded.badMacro;
            return fail(Result::MacroImageDamaged);
        }

        macros::Configuration cfg;
        cfg.image.keys.fill(keys::KeyAssignment{});
        for (int p = 0; p < device::kProfileCount; ++p) {
            const auto block = keys::DecodeKeyBlock(blocks[static_cast<std::size_t>(p)], *layout);
            if (!block) return fail(Result::KeyBlockReadFailed);
            std::copy(block->begin(), block->end(), cfg.image.Block(p).begin());
        }
        cfg.macros = std::move(decoded.macros);
        cfg.RefreshHeader();
        out = std::move(cfg);
    } catch (const std::bad_alloc&) {
        return fail(Result::OutOfMemory);
    }
    return r;
}

ReadBackOutcome ReadBackToStore(const std::filesystem::path& path, KeyboardState& keyboard,
                                device::ReportTransport& t, std::u16string_view namePrefix) {
    macros::Configuration cfg;
    ReadBackOutcome r = ReadKeyboardConfiguration(keyboard, t, cfg, namePrefix);
    if (r.Ok() && !SaveProfileFile(path, cfg)) r.result = Result::StoreWriteFailed;
    return r;
}

ReadBackLoadOutcome ReadBackAndLoad(const ProfileStore& store, KeyboardState& keyboard,
                                    device::ReportTransport& t, macros::WorkingConfig& working,
                                    std::u16string_view namePrefix) {
    ReadBackLoadOutcome out;
    out.folder = store.EnsureFolder();
    macros::Configuration cfg;
    out.readBack = ReadKeyboardConfiguration(keyboard, t, cfg, namePrefix);
    if (out.readBack.Ok()) {
        if (!SaveProfileFile(store.StoreFile(), cfg)) out.readBack.result = Result::StoreWriteFailed;
        out.fromKeyboard = true;
    } else {
        cfg = macros::Configuration{};
        CreateDefaultProfileFile(cfg);
    }
    working.Replace(std::move(cfg));
    return out;
}

}  // namespace talvenix::profiles

namespace talvenix::profiles {

std::string_view DescribeReadBackResult(ReadBackOutcome::Result result) {
    switch (result) {
        case Result::Ok:
            return "read back";
        case Result::ProfileUnknown:
            return "the keyboard's current profile could not be read";
        case Result::NoDefaultLayout:
            return "the keyboard's default key layout was never read";
        case Result::KeyBlockReadFailed:
            return "reading a key block failed";
        case Result::MacroReadFailed:
            return "reading the macro memory failed";
        case Result::MacroImageDamaged:
            return "the keyboard's macro memory is damaged";
        case Result::StoreWriteFailed:
            return "the store file could not be written";
        case Result::OutOfMemory:
            return "out of memory";
    }
    return "unknown";
}

}  // namespace talvenix::profiles
