// `ProfileFile`: one whole keyboard configuration as a binary file, used by the profile store
// and by export, import and the firmware backup (extension "tvx"). Little-endian:
//
//   0       32                      `ProfileHeader` (core/macros/ProfileImage.h)
//   32      32                      key section header
//   64      32768                   2048 key assignment records, four blocks of 512
//   32832   16512 * macro count     the `MacroRecord`s in list order
//   then    string size             string block: NUL-terminated UTF-16 paths and texts of
//                                   records of kind 3 and 6, each record's value = its offset
//
// The in-memory form is macros::Configuration. Parsing never reads past the bytes it is given.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "core/macros/WorkingConfig.h"

namespace talvenix::profiles {

inline constexpr std::string_view kProfileFileExtension = "tvx";
inline constexpr std::uint64_t kMaxProfileFileSize = 0xFFFFFFFFull;  // sizes are 32-bit

// What is wrong with a file, field by field. `ValidateResultCode` gives the 1 / 0 / -2 / -3
// results of validation.
enum class ProfileFileCheck {
    Valid,
    Missing,     // no such file
    CannotOpen,  // exists but cannot be read
    OutOfMemory,
    TooLarge,           // 4 GiB or larger
    TooShort,           // shorter than the 32832-byte profile image
    BadMagic,           // header bytes 0..1 are not "FD"
    BadHeaderSize,      // header size is not 32
    BadVersion,         // format version is not 3
    BadHeaderKind,      // header kind is not 1
    BadTotalSize,       // total size below 32832
    BadKeyRecordCount,  // number of key records is not 2048
    TooManyMacros,      // macro count above 100
    BadFlag,            // flag above 1
    SizeMismatch,       // total size is not 32832 + 16512 * macro count + string size
    BadChecksum,        // checksum is not the sum of bytes 0..30 modulo 256
    Truncated,          // the file is shorter than the total size its header gives
};

// 1 valid; -2 cannot open; -3 out of memory; 0 for everything else.
int ValidateResultCode(ProfileFileCheck check);
// A short English description (for logs and the command line; the program's own messages come
// from the language table).
std::string_view DescribeProfileFileCheck(ProfileFileCheck check);

// Checks a whole file's bytes: the header fields above and that the file holds all the bytes its
// header counts.
ProfileFileCheck CheckProfileFileBytes(std::span<const std::uint8_t> bytes);

// Checks the file at `path` (reads it whole). Import runs this first.
ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path);

// Repairs a parse made so that nothing is read out of bounds.
struct ProfileLoadRepairs {
    bool macrosCapped = false;      // the header counted more than 100 macros
    bool macrosTruncated = false;   // the file ended inside the macro records
    bool actionsCapped = false;     // a macro counted more than 2000 actions
    bool namesTerminated = false;   // a macro name filled its field without a NUL
    bool idsRenumbered = false;     // a macro id was outside 1..100 or used twice: it got a free one
    bool stringsTruncated = false;  // the file ended inside the string block
    int stringsDropped = 0;         // records left without a string (bad offset, no NUL)

    bool Any() const {
        return macrosCapped || macrosTruncated || actionsCapped || namesTerminated || idsRenumbered ||
               stringsTruncated || stringsDropped != 0;
    }
};

struct ProfileFileParse {
    enum class Status {
        Ok,
        TooShort,  // fewer than 32832 bytes: not even a profile image
        OutOfMemory,
    };
    Status status = Status::Ok;
    macros::Configuration config;
    ProfileLoadRepairs repairs;

    bool Ok() const { return status == Status::Ok; }
};

// Parses file bytes into a fresh configuration without trusting the header: at most 100 macros,
// at most 2000 actions each, names terminated, macro ids unique within 1..100 (a bad or repeated
// id gets the lowest free one; bindings to a repeated id stay with its first macro), every string
// read bounded to the string block.
// Header fields are not otherwise checked (use CheckProfileFileBytes for that).
ProfileFileParse ParseProfileFile(std::span<const std::uint8_t> bytes);

// The file bytes of `config`. Like a save, it rewrites `config`'s header for its macro count and
// string total and stores each packed string's offset in its record.
std::vector<std::uint8_t> SerializeProfileFile(macros::Configuration& config);

// Result of reading a profile file from disk.
struct ProfileFileLoad {
    enum class Status {
        Ok,
        Missing,  // no such file
        CannotOpen,
        TooShort,
        OutOfMemory,
    };
    Status status = Status::Ok;
    macros::Configuration config;
    ProfileLoadRepairs repairs;

    bool Ok() const { return status == Status::Ok; }
};

// Reads and parses the file at `path` into a fresh configuration (not validated). The caller
// swaps it into the working configuration on success, so a failed load changes nothing.
ProfileFileLoad ReadProfileFile(const std::filesystem::path& path);

// Loads `path` into `working` in one step: on failure `working` stays as it was.
ProfileFileLoad::Status LoadProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working);

// Writes `config` to `path` atomically (create or replace). Rewrites the header and string
// offsets of `config` as a save does. Returns true when written.
bool SaveProfileFile(const std::filesystem::path& path, macros::Configuration& config);
// The same for the working configuration, under its lock.
bool SaveProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working);

// Writes a new 32832-byte file: header for no macros and no strings, key section header,
// default key table.
bool CreateDefaultProfileFile(const std::filesystem::path& path);
// Without a path: installs that same image as the configuration's profile image, with no
// macros and no strings (used when nothing could be loaded).
void CreateDefaultProfileFile(macros::Configuration& config);

}  // namespace talvenix::profiles
