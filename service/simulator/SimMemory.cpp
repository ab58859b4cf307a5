#include "service/simulator/SimMemory.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace talvenix::service::sim {

namespace {

constexpr char kMagic[8] = {'T', 'V', 'X', 'S', 'I', 'M', '0', '1'};
constexpr char kEndMagic[8] = {'T', 'V', 'X', 'E', 'N', 'D', '0', '1'};

// Keyboard/Keypad usage of the key at each LED slot (0 = no key-coded key there). Usages
// 0xE0..0xE7 are the modifiers.
struct SlotKey {
    std::uint8_t slot;
    std::uint8_t usage;
};
constexpr SlotKey kSlotKeys[] = {
    // row 0: Esc, F1..F12, Print Screen, Scroll Lock, Pause
    {0, 0x29},
    {1, 0x3A},
    {2, 0x3B},
    {3, 0x3C},
    {4, 0x3D},
    {5, 0x3E},
    {6, 0x3F},
    {7, 0x40},
    {8, 0x41},
    {9, 0x42},
    {10, 0x43},
    {11, 0x44},
    {12, 0x45},
    {14, 0x46},
    {15, 0x47},
    {16, 0x48},
    // row 1: `~, 1..0, -, =, Backspace, Insert, Home, Page Up, Num Lock, keypad / * -
    {21, 0x35},
    {22, 0x1E},
    {23, 0x1F},
    {24, 0x20},
    {25, 0x21},
    {26, 0x22},
    {27, 0x23},
    {28, 0x24},
    {29, 0x25},
    {30, 0x26},
    {31, 0x27},
    {32, 0x2D},
    {33, 0x2E},
    {34, 0x2A},
    {35, 0x49},
    {36, 0x4A},
    {37, 0x4B},
    {38, 0x53},
    {39, 0x54},
    {40, 0x55},
    {41, 0x56},
    // row 2: Tab, Q..P, [, ], \, Delete, End, Page Down, keypad 7 8 9 +
    {42, 0x2B},
    {43, 0x14},
    {44, 0x1A},
    {45, 0x08},
    {46, 0x15},
    {47, 0x17},
    {48, 0x1C},
    {49, 0x18},
    {50, 0x0C},
    {51, 0x12},
    {52, 0x13},
    {53, 0x2F},
    {54, 0x30},
    {55, 0x31},
    {56, 0x4C},
    {57, 0x4D},
    {58, 0x4E},
    {59, 0x5F},
    {60, 0x60},
    {61, 0x61},
    {62, 0x57},
    // row 3: Caps Lock, A..L, ;, ', Enter, keypad 4 5 6
    {63, 0x39},
    {64, 0x04},
    {65, 0x16},
    {66, 0x07},
    {67, 0x09},
    {68, 0x0A},
    {69, 0x0B},
    {70, 0x0D},
    {71, 0x0E},
    {72, 0x0F},
    {73, 0x33},
    {74, 0x34},
    {76, 0x28},
    {80, 0x5C},
    {81, 0x5D},
    {82, 0x5E},
    // row 4: left Shift, Z..M, ",", ".", /, right Shift, Up, keypad 1 2 3 Enter
    {84, 0xE1},
    {86, 0x1D},
    {87, 0x1B},
    {88, 0x06},
    {89, 0x19},
    {90, 0x05},
    {91, 0x11},
    {92, 0x10},
    {93, 0x36},
    {94, 0x37},
    {95, 0x38},
    {97, 0xE5},
    {99, 0x52},
    {101, 0x59},
    {102, 0x5A},
    {103, 0x5B},
    {104, 0x58},
    // row 5: left Ctrl, left Win, left Alt, Space, right Alt, (Fn), App, right Win, right Ctrl,
    // Left, Down, Right, keypad 0 and "."; slot 125 is the G keys' shared light
    {105, 0xE0},
    {106, 0xE3},
    {107, 0xE2},
    {108, 0x2C},
    {109, 0xE6},
    {111, 0x65},
    {112, 0xE7},
    {113, 0xE4},
    {119, 0x50},
    {120, 0x51},
    {121, 0x4F},
    {123, 0x62},
    {124, 0x63},
};
static_assert(std::size(kSlotKeys) == 104, "the keyboard has 104 key-coded keys");

}  // namespace

std::array<std::uint8_t, kLayoutSize> FactoryLayout() {
    std::array<std::uint8_t, kLayoutSize> layout{};
    for (const SlotKey& k : kSlotKeys) {
        std::uint8_t* entry = &layout[k.slot * 3u];
        entry[0] = 0x02;
        if (k.usage >= 0xE0 && k.usage <= 0xE7) {
            entry[1] = 0x01;
            entry[2] = static_cast<std::uint8_t>(1u << (k.usage - 0xE0));
        } else {
            entry[1] = 0x02;
            entry[2] = k.usage;
        }
    }
    return layout;
}

void SimMemory::ResetToFactory() {
    config_.fill(0);
    config_[kCurrentProfileByte] = 0;
    config_[kMacroSpaceByte] = 128;  // 128 x 128 = 16384 bytes
    std::size_t slot = kEffectListOffset;
    for (std::uint8_t effect = 1; effect <= 18; ++effect) config_[slot++] = effect;
    config_[slot] = 20;  // per-key colours; 19 is not offered

    lighting_.fill(0);
    for (std::size_t p = 0; p < 3; ++p) {
        std::copy(kLightingResetImage.begin(), kLightingResetImage.end(),
                  lighting_.begin() + p * kLightingRecordSize);
    }
    layout_ = FactoryLayout();
    for (std::size_t p = 0; p < 3; ++p)
        std::copy(layout_.begin(), layout_.end(), keyBlocks_.begin() + p * kLayoutSize);
    colours_.fill(0);
    std::fill(macros_.begin(), macros_.end(), 0);
}

std::span<std::uint8_t> SimMemory::Area(SimArea area) {
    switch (area) {
        case SimArea::Config:
            return config_;
        case SimArea::Lighting:
            return lighting_;
        case SimArea::Layout:
            return layout_;
        case SimArea::KeyBlocks:
            return keyBlocks_;
        case SimArea::Colours:
            return colours_;
        case SimArea::Macros:
            return macros_;
    }
    return {};
}

std::span<const std::uint8_t> SimMemory::Area(SimArea area) const {
    return const_cast<SimMemory*>(this)->Area(area);
}

namespace {
constexpr SimArea kFileOrder[] = {SimArea::Config,    SimArea::Lighting, SimArea::Layout,
                                  SimArea::KeyBlocks, SimArea::Colours,  SimArea::Macros};
}

std::vector<std::uint8_t> SimMemory::Serialize() const {
    std::vector<std::uint8_t> image;
    image.reserve(kStateFileSize);
    image.insert(image.end(), std::begin(kMagic), std::end(kMagic));
    for (SimArea a : kFileOrder) {
        auto bytes = Area(a);
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    image.insert(image.end(), std::begin(kEndMagic), std::end(kEndMagic));
    return image;
}

bool SimMemory::Deserialize(std::span<const std::uint8_t> image, std::string& error) {
    if (image.size() != kStateFileSize) {
        error =
            "size is " + std::to_string(image.size()) + " bytes, expected " + std::to_string(kStateFileSize);
        return false;
    }
    if (!std::equal(std::begin(kMagic), std::end(kMagic), image.begin()) ||
        !std::equal(std::begin(kEndMagic), std::end(kEndMagic), image.end() - 8)) {
        error = "not a simulator state file (magic mismatch)";
        return false;
    }
    std::size_t offset = 8;
    for (SimArea a : kFileOrder) {
        auto dest = Area(a);
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), dest.size(), dest.begin());
        offset += dest.size();
    }
    return true;
}

LoadResult LoadStateFile(SimMemory& memory, const std::string& path, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return LoadResult::Missing;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open it";
        return LoadResult::Invalid;
    }
    // Read at most one byte more than a valid file, so a huge file is not slurped.
    std::vector<std::uint8_t> image(kStateFileSize + 1);
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    image.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        error = "read error";
        return LoadResult::Invalid;
    }
    SimMemory loaded;
    if (!loaded.Deserialize(image, error)) return LoadResult::Invalid;
    memory = loaded;
    return LoadResult::Loaded;
}

bool SaveStateFile(const SimMemory& memory, const std::string& path, std::string& error) {
    return SaveStateImage(memory.Serialize(), path, error);
}

bool SaveStateImage(std::span<const std::uint8_t> image, const std::string& path, std::string& error) {
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    std::size_t written = 0;
    while (written < image.size()) {
        const ssize_t n = ::write(fd, image.data() + written, image.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "cannot write " + temp + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(temp.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        error = "cannot flush " + temp + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace talvenix::service::sim

namespace talvenix::service::sim {

int RemoveStaleTemporaries(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const std::string prefix = target.filename().string() + ".tmp.";
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        const bool alive = pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH;
        if (alive) continue;
        std::error_code rmError;
        if (it->is_regular_file(rmError) && fs::remove(it->path(), rmError)) ++removed;
    }
    return removed;
}

}  // namespace talvenix::service::sim
