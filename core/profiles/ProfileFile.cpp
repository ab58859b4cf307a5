#include "core/profiles/ProfileFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <new>

#include "core/text/AtomicFile.h"

namespace talvenix::profiles {

using macros::Configuration;
using macros::kMacroRecordSize;
using macros::kProfileImageSize;
using macros::MacroRecord;
using macros::ProfileHeader;

int ValidateResultCode(ProfileFileCheck check) {
    switch (check) {
        case ProfileFileCheck::Valid:
            return 1;
        case ProfileFileCheck::CannotOpen:
            return -2;
        case ProfileFileCheck::OutOfMemory:
            return -3;
        default:
            return 0;
    }
}

std::string_view DescribeProfileFileCheck(ProfileFileCheck check) {
    switch (check) {
        case ProfileFileCheck::Valid:
            return "valid";
        case ProfileFileCheck::Missing:
            return "the file does not exist";
        case ProfileFileCheck::CannotOpen:
            return "the file cannot be opened";
        case ProfileFileCheck::OutOfMemory:
            return "not enough memory to read the file";
        case ProfileFileCheck::TooLarge:
            return "the file is 4 GiB or larger";
        case ProfileFileCheck::TooShort:
            return "the file is shorter than 32832 bytes";
        case ProfileFileCheck::BadMagic:
            return "header magic is not \"FD\" (0x4446)";
        case ProfileFileCheck::BadHeaderSize:
            return "header size is not 32";
        case ProfileFileCheck::BadVersion:
            return "format version is not 3";
        case ProfileFileCheck::BadHeaderKind:
            return "header kind is not 1";
        case ProfileFileCheck::BadTotalSize:
            return "total size in the header is below 32832";
        case ProfileFileCheck::BadKeyRecordCount:
            return "number of key records is not 2048";
        case ProfileFileCheck::TooManyMacros:
            return "macro count is above 100";
        case ProfileFileCheck::BadFlag:
            return "header flag is above 1";
        case ProfileFileCheck::SizeMismatch:
            return "total size is not 32832 + 16512 x macro count + string size";
        case ProfileFileCheck::BadChecksum:
            return "header checksum is wrong";
        case ProfileFileCheck::Truncated:
            return "the file is shorter than the total size in its header";
    }
    return "unknown";
}

namespace {

ProfileHeader HeaderOf(std::span<const std::uint8_t> bytes) {
    ProfileHeader h;
    std::memcpy(&h, bytes.data(), sizeof h);
    return h;
}

// Bytes of the file `path` from its start, at most `limit` of them.
enum class ReadStatus { Ok, Missing, CannotOpen, OutOfMemory };
ReadStatus ReadFilePrefix(const std::filesystem::path& path, std::uint64_t limit,
                          std::vector<std::uint8_t>& out) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return ec ? ReadStatus::CannotOpen : ReadStatus::Missing;
    if (!std::filesystem::is_regular_file(path, ec)) return ReadStatus::CannotOpen;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return ReadStatus::CannotOpen;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadStatus::CannotOpen;
    try {
        out.assign(static_cast<std::size_t>(std::min<std::uint64_t>(size, limit)), 0);
    } catch (const std::bad_alloc&) {
        return ReadStatus::OutOfMemory;
    }
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    out.resize(static_cast<std::size_t>(in.gcount()));
    return ReadStatus::Ok;
}

}  // namespace

ProfileFileCheck CheckProfileFileBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxProfileFileSize) return ProfileFileCheck::TooLarge;
    if (bytes.size() < kProfileImageSize) return ProfileFileCheck::TooShort;
    const ProfileHeader h = HeaderOf(bytes);
    if (h.magic != ProfileHeader::kMagic) return ProfileFileCheck::BadMagic;
    if (h.headerSize != ProfileHeader::kSize) return ProfileFileCheck::BadHeaderSize;
    if (h.version != ProfileHeader::kVersion) return ProfileFileCheck::BadVersion;
    if (h.kind != ProfileHeader::kKind) return ProfileFileCheck::BadHeaderKind;
    if (h.totalSize < kProfileImageSize) return ProfileFileCheck::BadTotalSize;
    if (h.keyRecords != macros::kKeyRecords) return ProfileFileCheck::BadKeyRecordCount;
    if (h.macroCount > macros::kMaxMacros) return ProfileFileCheck::TooManyMacros;
    if (h.flag > 1) return ProfileFileCheck::BadFlag;
    const std::uint64_t expected =
        kProfileImageSize + std::uint64_t{kMacroRecordSize} * h.macroCount + h.stringSize;
    if (h.totalSize != expected) return ProfileFileCheck::SizeMismatch;
    if (h.checksum != h.ComputeChecksum()) return ProfileFileCheck::BadChecksum;
    // Import loads what the header counts: a file that ends early would load damaged.
    if (bytes.size() < h.totalSize) return ProfileFileCheck::Truncated;
    return ProfileFileCheck::Valid;
}

ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return ec ? ProfileFileCheck::CannotOpen : ProfileFileCheck::Missing;
    if (std::filesystem::is_regular_file(path, ec)) {
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size > kMaxProfileFileSize) return ProfileFileCheck::TooLarge;
        if (!ec && size < kProfileImageSize) return ProfileFileCheck::TooShort;
    }
    // The header first: only as many bytes as it accounts for are read after it.
    std::vector<std::uint8_t> bytes;
    std::uint64_t limit = kProfileImageSize;
    for (int pass = 0; pass < 2; ++pass) {
        switch (ReadFilePrefix(path, limit, bytes)) {
            case ReadStatus::Ok:
                break;
            case ReadStatus::Missing:
                return ProfileFileCheck::Missing;
            case ReadStatus::CannotOpen:
                return ProfileFileCheck::CannotOpen;
            case ReadStatus::OutOfMemory:
                return ProfileFileCheck::OutOfMemory;
        }
        if (bytes.size() < kProfileImageSize) break;
        limit = std::max<std::uint64_t>(HeaderOf(bytes).totalSize, kProfileImageSize);
    }
    return CheckProfileFileBytes(bytes);
}

ProfileFileParse ParseProfileFile(std::span<const std::uint8_t> bytes) {
    ProfileFileParse out;
    if (bytes.size() < kProfileImageSize) {
        out.status = ProfileFileParse::Status::TooShort;
        return out;
    }
    try {
        Configuration& cfg = out.config;
        std::memcpy(&cfg.image, bytes.data(), kProfileImageSize);
        const std::uint64_t declared = cfg.image.header.macroCount;
        std::uint64_t count = declared;
        if (count > static_cast<std::uint64_t>(macros::kMaxMacros)) {
            count = macros::kMaxMacros;
            out.repairs.macrosCapped = true;
        }
        const std::uint64_t fitting = (bytes.size() - kProfileImageSize) / kMacroRecordSize;
        if (count > fitting) {
            count = fitting;
            out.repairs.macrosTruncated = true;
        }
        cfg.macros.resize(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < cfg.macros.size(); ++i) {
            MacroRecord& m = cfg.macros[i];
            std::memcpy(&m, bytes.data() + kProfileImageSize + i * kMacroRecordSize, kMacroRecordSize);
            if (m.actionCount > macros::kMaxActions) {
                m.actionCount = macros::kMaxActions;
                out.repairs.actionsCapped = true;
            }
            if (std::find(m.name.begin(), m.name.end(), u'\0') == m.name.end()) {
                m.name.back() = u'\0';
                out.repairs.namesTerminated = true;
            }
        }
        std::array<bool, macros::kMaxMacros + 1> idUsed{};
        std::vector<std::size_t> needsId;
        for (std::size_t i = 0; i < cfg.macros.size(); ++i) {
            const int id = cfg.macros[i].id;
            if (id < 1 || id > macros::kMaxMacros || idUsed[static_cast<std::size_t>(id)])
                needsId.push_back(i);
            else
                idUsed[static_cast<std::size_t>(id)] = true;
        }
        for (std::size_t i : needsId) {
            std::size_t id = 1;
            while (idUsed[id]) ++id;  // at most 100 macros: a free id always exists
            idUsed[id] = true;
            cfg.macros[i].id = static_cast<std::uint16_t>(id);
            out.repairs.idsRenumbered = true;
        }
        // The string block follows the records the header counts, wherever that lands.
        const std::uint64_t stringStart = kProfileImageSize + declared * kMacroRecordSize;
        std::uint64_t stringSize = cfg.image.header.stringSize;
        const std::uint64_t available = stringStart < bytes.size() ? bytes.size() - stringStart : 0;
        if (stringSize > available) {
            stringSize = available;
            out.repairs.stringsTruncated = true;
        }
        const auto block = stringSize == 0 ? std::span<const std::uint8_t>{}
                                           : bytes.subspan(static_cast<std::size_t>(stringStart),
                                                           static_cast<std::size_t>(stringSize));
        out.repairs.stringsDropped = macros::UnpackKeyStrings(cfg.image, block, cfg.strings);
    } catch (const std::bad_alloc&) {
        out.status = ProfileFileParse::Status::OutOfMemory;
        out.config = Configuration{};
    }
    return out;
}

std::vector<std::uint8_t> SerializeProfileFile(Configuration& config) {
    config.RefreshHeader();
    const std::vector<std::uint8_t> block = macros::PackKeyStrings(config.image, config.strings);
    std::vector<std::uint8_t> out(kProfileImageSize + kMacroRecordSize * config.macros.size() + block.size());
    std::memcpy(out.data(), &config.image, kProfileImageSize);
    std::size_t at = kProfileImageSize;
    for (const auto& m : config.macros) {
        std::memcpy(out.data() + at, &m, kMacroRecordSize);
        at += kMacroRecordSize;
    }
    std::copy(block.begin(), block.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    return out;
}

// A read that failed becomes the load's status; false then.
static bool ReadOk(ReadStatus read, ProfileFileLoad& out) {
    switch (read) {
        case ReadStatus::Ok:
            return true;
        case ReadStatus::Missing:
            out.status = ProfileFileLoad::Status::Missing;
            break;
        case ReadStatus::CannotOpen:
            out.status = ProfileFileLoad::Status::CannotOpen;
            break;
        case ReadStatus::OutOfMemory:
            out.status = ProfileFileLoad::Status::OutOfMemory;
            break;
    }
    return false;
}

ProfileFileLoad ReadProfileFile(const std::filesystem::path& path) {
    ProfileFileLoad out;
    std::vector<std::uint8_t> bytes;
    // Read no more than the header can account for: a huge file is never pulled in whole.
    std::vector<std::uint8_t> head;
    if (!ReadOk(ReadFilePrefix(path, kProfileImageSize, head), out)) return out;
    if (head.size() < kProfileImageSize) {
        out.status = ProfileFileLoad::Status::TooShort;
        return out;
    }
    const ProfileHeader h = HeaderOf(head);
    const std::uint64_t wanted =
        kProfileImageSize + std::uint64_t{kMacroRecordSize} * h.macroCount + h.stringSize;
    if (!ReadOk(ReadFilePrefix(path, wanted, bytes), out)) return out;
    ProfileFileParse parsed = ParseProfileFile(bytes);
    switch (parsed.status) {
        case ProfileFileParse::Status::Ok:
            break;
        case ProfileFileParse::Status::TooShort:
            out.status = ProfileFileLoad::Status::TooShort;
            return out;
        case ProfileFileParse::Status::OutOfMemory:
            out.status = ProfileFileLoad::Status::OutOfMemory;
            return out;
    }
    out.config = std::move(parsed.config);
    out.repairs = parsed.repairs;
    return out;
}

ProfileFileLoad::Status LoadProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working) {
    ProfileFileLoad load = ReadProfileFile(path);
    if (load.Ok()) working.Replace(std::move(load.config));
    return load.status;
}

bool SaveProfileFile(const std::filesystem::path& path, Configuration& config) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = SerializeProfileFile(config);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return text::WriteFileAtomically(path, bytes);
}

bool SaveProfileFile(const std::filesystem::path& path, macros::WorkingConfig& working) {
    std::vector<std::uint8_t> bytes;
    try {
        auto cfg = working.Lock();
        bytes = SerializeProfileFile(*cfg);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return text::WriteFileAtomically(path, bytes);
}

bool CreateDefaultProfileFile(const std::filesystem::path& path) {
    Configuration fresh;
    CreateDefaultProfileFile(fresh);
    return SaveProfileFile(path, fresh);
}

void CreateDefaultProfileFile(Configuration& config) {
    config.ReleaseKeyStrings();
    config.ReleaseMacros();
    config.image = macros::DefaultProfileImage();
}

}  // namespace talvenix::profiles
