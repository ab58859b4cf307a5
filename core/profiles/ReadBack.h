// Reading the keyboard's configuration back: the key blocks of the three profiles and the
// macro memory, decoded into a `ProfileFile` in the store (`ReadBackToStore`) and into the
// working configuration (`ReadBackAndLoad`). All keyboard reads come before any file is
// written, so a failing read leaves the store file untouched.
//
// What the keyboard does not keep comes back as its decoding gives it: macro ids 1..n in list
// order, names Macro1..MacroN when the image carried none, play mode 0, no launch-program or
// text-block strings.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/macros/MacroImage.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileStore.h"

namespace talvenix::profiles {

struct ReadBackOutcome {
    enum class Result {
        Ok,
        ProfileUnknown,      // the active profile could not be read (no keyboard)
        NoDefaultLayout,     // the factory layout was never read: key blocks cannot be decoded
        KeyBlockReadFailed,  // command 7
        MacroReadFailed,     // command 9, header or image
        MacroImageDamaged,   // the image's header or entries do not fit it (imageStatus says how)
        StoreWriteFailed,    // the keyboard was read but the file could not be written
        OutOfMemory,
    };
    Result result = Result::Ok;
    int deviceResult = 1;  // the failing device result, when a command failed
    macros::MacroImageDecode::Status imageStatus = macros::MacroImageDecode::Status::Ok;
    int badMacro = -1;

    bool Ok() const { return result == Result::Ok; }
};

// Reads the whole configuration from the keyboard into `out` (a fresh configuration: header
// for n macros and no strings, key section header, decoded blocks 0..2, block 3 zero, the
// decoded macros). `namePrefix` is the language text MACRO_NEW_PREFIX (default "Macro").
ReadBackOutcome ReadKeyboardConfiguration(KeyboardState& keyboard, device::ReportTransport& t,
                                          macros::Configuration& out,
                                          std::u16string_view namePrefix = u"Macro");

// Reads the keyboard and writes the result as a profile file at `path` (atomically).
ReadBackOutcome ReadBackToStore(const std::filesystem::path& path, KeyboardState& keyboard,
                                device::ReportTransport& t, std::u16string_view namePrefix = u"Macro");

struct ReadBackLoadOutcome {
    ReadBackOutcome readBack;
    // True when the working configuration now holds the keyboard's configuration; false when
    // the default configuration (default key table, no macros) was installed.
    bool fromKeyboard = false;
    // Whether the store folder had to be created (the caller seeds the colour files then).
    ProfileStore::FolderResult folder = ProfileStore::FolderResult::Existed;
};

// Brings the working configuration in line with the keyboard: reads it back into the store
// file and installs it; on any read failure installs the default configuration instead. When
// only the store file could not be written, the keyboard's configuration is still installed
// (readBack says StoreWriteFailed), so a later Apply does not wipe the keyboard.
ReadBackLoadOutcome ReadBackAndLoad(const ProfileStore& store, KeyboardState& keyboard,
                                    device::ReportTransport& t, macros::WorkingConfig& working,
                                    std::u16string_view namePrefix = u"Macro");

// A short English description of a read-back result (for logs and the command line).
std::string_view DescribeReadBackResult(ReadBackOutcome::Result result);

}  // namespace talvenix::profiles
