#include "core/macros/MacroDownload.h"

#include <new>
#include <optional>
#include <vector>

#include "core/device/Commands.h"
#include "core/device/VerifyWrites.h"
#include "core/keys/KeyBlockCodec.h"

namespace talvenix::macros {

void TakeDownloadSnapshot(const Configuration& source, DownloadSnapshot& snapshot) {
    auto snap = snapshot.Lock();
    *snap = source;
    snap->RefreshHeader();
    // The snapshot's key records carry string offsets, as a saved file's do.
    PackKeyStrings(snap->image, snap->strings);
}

DownloadOutcome DownloadSnapshotToKeyboard(DownloadSnapshot& snapshot, const DownloadTarget& target) {
    using Result = DownloadOutcome::Result;
    DownloadOutcome out;
    if (target.transport == nullptr || target.macroSpace <= 0) {
        out.result = Result::NoMacroSpace;
        return out;
    }
    if (target.defaultLayout == nullptr) {
        // Encoding against an unknown layout would overwrite every key of the keyboard.
        out.result = Result::NoDefaultLayout;
        return out;
    }
    std::vector<int> profiles;
    if (target.allProfiles) {
        profiles = {0, 1, 2};
    } else if (target.currentProfile >= 0 && target.currentProfile < device::kProfileCount) {
        profiles = {target.currentProfile};
    } else {
        // Writing the macros without the key block would leave the keyboard's macro keys
        // pointing at other macros.
        out.result = Result::ProfileUnknown;
        out.deviceResult = device::kBadBlockIndex;
        return out;
    }

    std::vector<std::uint8_t> image;
    std::vector<device::KeyBlock> blocks;
    try {
        auto snap = snapshot.Lock();
        out.sizes = MacroImageSize(snap->macros);
        const auto space = static_cast<std::size_t>(target.macroSpace);
        if (out.sizes.withoutNames > space) {
            out.result = Result::MacroSpaceExceeded;
            return out;
        }
        const bool withNames = out.sizes.withNames <= space;
        out.namesDropped = !withNames;
        auto encoded = EncodeMacroImage(snap->macros, withNames);
        if (!encoded) {
            out.result = Result::MacroSpaceExceeded;
            return out;
        }
        image = std::move(*encoded);
        out.imageSize = image.size();
        const Configuration& cfg = *snap;
        const auto positionOf = [&cfg](std::uint16_t id) {
            return static_cast<std::uint8_t>(cfg.MacroPositionOfId(id));
        };
        for (int p : profiles)
            blocks.push_back(keys::EncodeKeyBlock(cfg.image.Block(p), *target.defaultLayout, positionOf));
    } catch (const std::bad_alloc&) {
        out.result = Result::OutOfMemory;
        return out;
    }

    device::ReportTransport& t = *target.transport;
    const int rc = device::RunWriteSequence(t, [&]() {
        const int written = device::WriteMacroMemory(t, image);
        if (written != device::kOk) return written;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const int r = device::WriteKeyBlock(t, blocks[i], profiles[i]);
            if (r != device::kOk) return r;
        }
        return static_cast<int>(device::kOk);
    });
    if (rc != device::kOk) {
        out.result = Result::DeviceFailed;
        out.deviceResult = rc;
        return out;
    }
    if (!target.verify) return out;
    // Every command said yes; make sure the keyboard holds what it acknowledged.
    out.verify = device::VerifyMacroMemory(t, image);
    for (std::size_t i = 0; i < blocks.size() && out.verify.Ok(); ++i)
        out.verify = device::VerifyKeyBlock(t, blocks[i], profiles[i]);
    if (!out.verify.Ok()) {
        out.result = Result::VerifyFailed;
        if (out.verify.status == device::VerifyResult::Status::ReadFailed)
            out.deviceResult = out.verify.deviceResult;
    }
    return out;
}

DownloadOutcome DownloadConfiguration(const WorkingConfig::Handle& working, DownloadSnapshot& snapshot,
                                      const DownloadTarget& target) {
    try {
        TakeDownloadSnapshot(*working, snapshot);
    } catch (const std::bad_alloc&) {
        DownloadOutcome out;
        out.result = DownloadOutcome::Result::OutOfMemory;
        return out;
    }
    return DownloadSnapshotToKeyboard(snapshot, target);
}

DownloadOutcome DownloadConfiguration(WorkingConfig& working, DownloadSnapshot& snapshot,
                                      const DownloadTarget& target) {
    try {
        auto cfg = working.Lock();
        TakeDownloadSnapshot(*cfg, snapshot);
    } catch (const std::bad_alloc&) {
        DownloadOutcome out;
        out.result = DownloadOutcome::Result::OutOfMemory;
        return out;
    }
    return DownloadSnapshotToKeyboard(snapshot, target);
}

}  // namespace talvenix::macros

namespace talvenix::macros {

std::string_view DescribeDownloadResult(DownloadOutcome::Result result) {
    using R = DownloadOutcome::Result;
    switch (result) {
        case R::Written:
            return "written";
        case R::NoMacroSpace:
            return "the keyboard's macro space is not known (no keyboard read yet)";
        case R::MacroSpaceExceeded:
            return "the macros do not fit the keyboard's macro space";
        case R::NoDefaultLayout:
            return "the keyboard's default key layout was never read";
        case R::ProfileUnknown:
            return "the keyboard's current profile is not known";
        case R::OutOfMemory:
            return "out of memory";
        case R::DeviceFailed:
            return "a keyboard command failed";
        case R::VerifyFailed:
            return "the keyboard does not read back what was written";
    }
    return "unknown";
}

}  // namespace talvenix::macros
