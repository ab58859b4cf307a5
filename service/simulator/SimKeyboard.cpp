#include "service/simulator/SimKeyboard.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <sstream>

#include "core/device/ServiceAbi.h"
#include "service/simulator/SimControlClient.h"
#include "service/simulator/SimControlServer.h"

namespace talvenix::service::sim {

namespace {

constexpr std::uint16_t kUsageGBank = 0x02FF;
constexpr std::uint16_t kUsageProfileSwitched = 0x0401;
constexpr std::uint16_t kUsageIconOn = 0x1811;
constexpr std::uint16_t kUsageIconOff = 0x1810;
constexpr std::uint8_t kConsumerReportId = 0x03;
constexpr int kProfiles = 3;
constexpr int kLedArea = 6;

struct FaultName {
    FaultKind kind;
    std::string_view name;
};
constexpr FaultName kFaultNames[] = {
    {FaultKind::Drop, "drop"},          {FaultKind::WrongEcho, "wrong-echo"},
    {FaultKind::StatusFF, "status-ff"}, {FaultKind::StatusFE, "status-fe"},
    {FaultKind::Late, "late"},          {FaultKind::RefuseWrite, "refuse-write"},
    {FaultKind::Forget, "forget"},
};

// Commands that store something: the ones a "forget" fault waits for.
bool StoresData(std::uint8_t command) {
    return command == 4 || command == 6 || command == 8 || command == 10 || command == 17;
}

std::string_view NameOf(FaultKind kind) {
    for (const auto& f : kFaultNames) {
        if (f.kind == kind) return f.name;
    }
    return "?";
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value, int base = 10) {
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

void Warn(const std::string& what) { std::fprintf(stderr, "PelloranSim: %s\n", what.c_str()); }

}  // namespace

SimKeyboard::SimKeyboard() = default;

SimKeyboard& SimKeyboard::Instance() {
    // Never destroyed: the control socket thread and callbacks may still run at process exit.
    static SimKeyboard* keyboard = new SimKeyboard();
    return *keyboard;
}

void SimKeyboard::Start(BackendEvents& events) {
    std::string socketPath;
    std::string socketError;
    {
        std::lock_guard lock(mutex_);
        events_ = &events;
        faults_.clear();
        frames_.clear();
        framesReceived_ = 0;
        led_ = {};
        memory_.ResetToFactory();
        chaosPermille_ = 0;
        chaosInjected_ = 0;

        latencyUs_ = kDefaultLatencyUs;
        if (const char* text = std::getenv("TALVENIX_SIM_LATENCY_US"); text && *text) {
            std::uint32_t value = 0;
            if (ParseNumber(std::string_view(text), value) && value <= kMaxLatencyUs) {
                latencyUs_ = value;
            } else {
                Warn(std::string("TALVENIX_SIM_LATENCY_US='") + text + "' is not 0.." +
                     std::to_string(kMaxLatencyUs) + "; using " + std::to_string(kDefaultLatencyUs));
            }
        }
        lateDelayMs_ = kLateReplyDelayMs;
        if (const char* text = std::getenv("TALVENIX_SIM_LATE_MS"); text && *text) {
            std::uint32_t value = 0;
            if (ParseNumber(std::string_view(text), value) && value <= kMaxLateReplyDelayMs) {
                lateDelayMs_ = value;
            } else {
                Warn(std::string("TALVENIX_SIM_LATE_MS='") + text + "' is not 0.." +
                     std::to_string(kMaxLateReplyDelayMs) + "; using " + std::to_string(kLateReplyDelayMs));
            }
        }
        // For benchmarks of whole program runs: their exchange count, without a socket.
        const char* tally = std::getenv("TALVENIX_SIM_TALLY");
        tally_ = tally != nullptr && std::string_view(tally) == "1";
        const char* unplugged = std::getenv("TALVENIX_SIM_UNPLUGGED");
        plugged_ = !(unplugged && std::string_view(unplugged) == "1");

        statePath_.clear();
        savedImage_.clear();
        if (const char* state = std::getenv("TALVENIX_SIM_STATE"); state && *state) {
            statePath_ = state;
            RemoveStaleTemporaries(statePath_);
            std::string error;
            switch (LoadStateFile(memory_, statePath_, error)) {
                case LoadResult::Loaded:
                    savedImage_ = memory_.Serialize();
                    break;
                case LoadResult::Missing:  // created at the first save
                    break;
                case LoadResult::Invalid: {
                    // Keep the unreadable file for inspection instead of overwriting it. Only a
                    // regular file is moved: a folder or device named by mistake stays untouched.
                    const std::string aside = statePath_ + ".bad";
                    std::error_code ec;
                    if (std::filesystem::is_regular_file(statePath_, ec)) {
                        std::filesystem::rename(statePath_, aside, ec);
                    } else {
                        ec = std::make_error_code(std::errc::not_supported);
                    }
                    Warn("state file " + statePath_ + " unusable (" + error +
                         "); starting from factory memory" +
                         (ec ? std::string(", and it could not be moved aside, so this run saves nothing")
                             : ", old file kept as " + aside));
                    // A file that is still in the way is never overwritten.
                    if (ec) statePath_.clear();
                    break;
                }
            }
        }
        if (const char* commands = std::getenv("TALVENIX_SIM_COMMANDS"); commands && *commands) {
            // Control commands run at start, ';' between them: faults for a run of the CLI.
            std::string_view rest(commands);
            while (!rest.empty()) {
                const std::size_t semi = rest.find(';');
                const std::string_view one = rest.substr(0, semi);
                rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
                if (one.find_first_not_of(" \t") == std::string_view::npos) continue;
                bool ok = false;
                const std::string reply = ControlLocked(one, ok);
                if (!ok) Warn("TALVENIX_SIM_COMMANDS: '" + std::string(one) + "': " + reply);
            }
        }
        socketPath = SimControlSocketPath(&socketError);
    }
    if (!socketPath.empty()) {
        auto server = std::make_unique<SimControlServer>([this](const std::string& line) {
            std::string reply;
            Control(line, reply);
            return reply;
        });
        std::string error;
        if (server->Start(socketPath, error)) {
            server_ = std::move(server);
        } else {
            Warn("control socket not available: " + error);  // the keyboard works without it
        }
    } else if (!socketError.empty() && std::getenv("TALVENIX_SIM_SOCKET") == nullptr) {
        Warn("control socket not available: " + socketError);
    }
}

void SimKeyboard::Stop() {
    if (server_) {
        server_->Stop();  // outside the lock: the server thread may be waiting for it
        server_.reset();
    }
    std::lock_guard lock(mutex_);
    SaveStateLocked();
    if (tally_)
        std::fprintf(stderr, "PelloranSim: tally frames=%llu\n",
                     static_cast<unsigned long long>(framesReceived_));
    events_ = nullptr;
}

void SimKeyboard::SaveStateLocked() {
    if (statePath_.empty()) return;
    // Every commit (end-update, a profile switched on the keyboard) and the last End save, so
    // the file holds what the keyboard acknowledged whenever the process dies; but only what
    // differs from the file costs a write and a flush to the disk.
    std::vector<std::uint8_t> image = memory_.Serialize();
    if (image == savedImage_) return;
    std::string error;
    if (SaveStateImage(image, statePath_, error)) {
        savedImage_ = std::move(image);
    } else {
        Warn("state not saved: " + error);
    }
}

int SimKeyboard::DeviceCount() {
    std::lock_guard lock(mutex_);
    return plugged_ ? 1 : 0;
}

std::optional<FaultKind> SimKeyboard::TakeFaultLocked(bool refuseOnly, int command) {
    if (faults_.empty()) return std::nullopt;
    PendingFault& head = faults_.front();
    if (refuseOnly != (head.kind == FaultKind::RefuseWrite)) return std::nullopt;
    // A "forget" waits for the next frame that stores something.
    if (head.kind == FaultKind::Forget && !StoresData(static_cast<std::uint8_t>(command)))
        return std::nullopt;
    const FaultKind kind = head.kind;
    if (--head.left == 0) faults_.pop_front();
    return kind;
}

std::optional<FaultKind> SimKeyboard::DrawChaosLocked(std::uint8_t command) {
    if (chaosPermille_ == 0 || !faults_.empty()) return std::nullopt;
    if (std::uniform_int_distribution<std::uint32_t>(0, 999)(chaosRandom_) >= chaosPermille_)
        return std::nullopt;
    static constexpr FaultKind kKinds[] = {FaultKind::Drop,     FaultKind::WrongEcho, FaultKind::StatusFF,
                                           FaultKind::StatusFE, FaultKind::Late,      FaultKind::RefuseWrite,
                                           FaultKind::Forget};
    const FaultKind kind =
        kKinds[std::uniform_int_distribution<std::size_t>(0, std::size(kKinds) - 1)(chaosRandom_)];
    if (kind == FaultKind::Forget && !StoresData(command)) return std::nullopt;
    ++chaosInjected_;
    return kind;
}

bool SimKeyboard::ReceiveFrame(std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return false;
    if (TakeFaultLocked(true)) return false;
    const std::optional<FaultKind> chaos = DrawChaosLocked(report.size() > 3 ? report[3] : 0);
    if (chaos == FaultKind::RefuseWrite) return false;
    Frame frame{};
    std::copy_n(report.begin(), std::min(report.size(), frame.size()), frame.begin());
    if (frames_.size() < kFrameLogLimit) frames_.push_back(frame);
    ++framesReceived_;

    if (frame[3] == kCommandBootMode) {
        SetPluggedLocked(false);  // off to the boot loader: no reply, the keyboard is gone
        return true;
    }
    const std::optional<FaultKind> fault = chaos ? chaos : TakeFaultLocked(false, frame[3]);
    FrameOutcome outcome;
    if (fault == FaultKind::Forget) {
        // Acknowledged as done, but nothing is stored: only a read-back can tell.
        SimMemory scratch = memory_;
        outcome = HandleFrame(scratch, frame);
    } else if (fault == FaultKind::StatusFF || fault == FaultKind::StatusFE) {
        // The keyboard turns the frame down: nothing changes.
        std::copy_n(frame.begin(), 8, outcome.reply.begin());
        outcome.reply[7] = fault == FaultKind::StatusFF ? kStatusBadFrame : kStatusOutOfRange;
    } else {
        outcome = HandleFrame(memory_, frame);
        if (outcome.endUpdate) SaveStateLocked();
    }
    if (fault == FaultKind::WrongEcho) outcome.reply[3] ^= 0x80;
    if (fault == FaultKind::Drop || !outcome.replies || events_ == nullptr) return true;

    auto due = std::chrono::steady_clock::now() + std::chrono::microseconds(latencyUs_);
    if (fault == FaultKind::Late) due += std::chrono::milliseconds(lateDelayMs_);
    events_->PostInput(HidInterface::Control, outcome.reply, std::nullopt, due);
    return true;
}

bool SimKeyboard::ReceiveLedStatus(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return false;
    led_ = {};
    std::copy_n(bytes.begin(), std::min(bytes.size(), led_.size()), led_.begin());
    return true;
}

int SimKeyboard::ReadLedStatus(std::span<std::uint8_t> out) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return -1;
    const std::size_t n = std::min(out.size(), led_.size());
    std::copy_n(led_.begin(), n, out.begin());
    return static_cast<int>(n);
}

void SimKeyboard::SetPluggedLocked(bool plugged) {
    if (plugged_ == plugged) return;
    plugged_ = plugged;
    if (events_ == nullptr) return;
    // Replies of a keyboard that has gone never arrive.
    if (!plugged) events_->DiscardPendingInput(HidInterface::Control);
    events_->PostDeviceChange(plugged ? 1 : 0);
}

void SimKeyboard::PostUsageLocked(std::uint16_t usage) {
    if (events_ == nullptr) return;
    const std::uint8_t report[3] = {kConsumerReportId, static_cast<std::uint8_t>(usage & 0xFF),
                                    static_cast<std::uint8_t>(usage >> 8)};
    events_->PostInput(HidInterface::Consumer, report, usage, std::chrono::steady_clock::now());
}

int SimKeyboard::Control(std::string_view line, std::string& reply) {
    std::lock_guard lock(mutex_);
    bool ok = false;
    reply = ControlLocked(line, ok);
    return ok ? 0 : -1;
}

std::string SimKeyboard::ControlLocked(std::string_view line, bool& ok) {
    ok = false;
    const auto words = Words(line);
    if (words.empty()) return "error: empty command";
    const std::string_view verb = words[0];
    auto expectArgs = [&](std::size_t n) { return words.size() == n + 1; };
    auto done = [&](std::string text) {
        ok = true;
        return "ok" + (text.empty() ? std::string() : " " + text);
    };
    auto needKeyboard = [&]() { return plugged_; };
    const std::string unplugged = "error: no keyboard attached (use \"plug\")";

    if (verb == "plug" && expectArgs(0)) {
        SetPluggedLocked(true);
        return done("plugged");
    }
    if (verb == "unplug" && expectArgs(0)) {
        SetPluggedLocked(false);
        return done("unplugged");
    }
    if (verb == "gbank" && expectArgs(0)) {
        if (!needKeyboard()) return unplugged;
        PostUsageLocked(kUsageGBank);
        return done("usage 0x02FF");
    }
    if (verb == "switch-profile" && expectArgs(1)) {
        int profile = -1;
        if (!ParseNumber(words[1], profile) || profile < 0 || profile >= kProfiles) {
            return "error: profile must be 0, 1 or 2";
        }
        if (!needKeyboard()) return unplugged;
        memory_.Area(SimArea::Config)[kCurrentProfileByte] = static_cast<std::uint8_t>(profile);
        SaveStateLocked();
        PostUsageLocked(kUsageProfileSwitched);
        return done("profile " + std::to_string(profile));
    }
    if (verb == "usage" && expectArgs(1)) {
        std::uint16_t usage = 0;
        if (!ParseNumber(words[1], usage, 16)) return "error: usage must be a 16-bit hex number like 0x02FF";
        if (!needKeyboard()) return unplugged;
        PostUsageLocked(usage);
        char text[32];
        std::snprintf(text, sizeof text, "usage 0x%04X", usage);
        return done(text);
    }
    if (verb == "icon" && expectArgs(1) && (words[1] == "on" || words[1] == "off")) {
        if (!needKeyboard()) return unplugged;
        const bool on = words[1] == "on";
        PostUsageLocked(on ? kUsageIconOn : kUsageIconOff);
        return done(on ? "usage 0x1811" : "usage 0x1810");
    }
    if (verb == "fault" && expectArgs(1) && words[1] == "clear") {
        faults_.clear();
        return done("faults cleared");
    }
    if (verb == "fault" && (expectArgs(1) || expectArgs(2))) {
        const auto* named = std::find_if(std::begin(kFaultNames), std::end(kFaultNames),
                                         [&](const FaultName& f) { return f.name == words[1]; });
        if (named == std::end(kFaultNames)) {
            return "error: unknown fault '" + std::string(words[1]) +
                   "' (drop, wrong-echo, status-ff, status-fe, late, refuse-write, forget, clear)";
        }
        std::uint32_t count = 1;
        if (words.size() == 3 && (!ParseNumber(words[2], count) || count == 0 || count > 1'000'000)) {
            return "error: COUNT must be 1..1000000";
        }
        faults_.push_back(PendingFault{named->kind, count});
        return done("fault " + std::string(named->name) + " x" + std::to_string(count));
    }
    if (verb == "latency" && expectArgs(1)) {
        std::uint32_t us = 0;
        if (!ParseNumber(words[1], us) || us > kMaxLatencyUs) {
            return "error: latency must be 0.." + std::to_string(kMaxLatencyUs) + " microseconds";
        }
        latencyUs_ = us;
        return done("latency " + std::to_string(us));
    }
    if (verb == "chaos" && (expectArgs(1) || expectArgs(2))) {
        std::uint32_t permille = 0;
        std::uint32_t seed = 1;
        if (!ParseNumber(words[1], permille) || permille > 1000 ||
            (words.size() == 3 && !ParseNumber(words[2], seed))) {
            return "error: chaos takes a rate 0..1000 per thousand frames and an optional seed";
        }
        chaosPermille_ = permille;
        chaosRandom_.seed(seed);
        chaosInjected_ = 0;
        return done("chaos " + std::to_string(permille));
    }
    if (verb == "late-delay" && expectArgs(1)) {
        std::uint32_t ms = 0;
        if (!ParseNumber(words[1], ms) || ms > kMaxLateReplyDelayMs) {
            return "error: late delay must be 0.." + std::to_string(kMaxLateReplyDelayMs) + " milliseconds";
        }
        lateDelayMs_ = ms;
        return done("late-delay " + std::to_string(ms));
    }
    if (verb == "status" && expectArgs(0)) {
        std::ostringstream s;
        s << "plugged=" << (plugged_ ? 1 : 0)
          << " profile=" << int(memory_.Area(SimArea::Config)[kCurrentProfileByte])
          << " latency=" << latencyUs_;
        if (chaosPermille_ > 0 || chaosInjected_ > 0)
            s << " chaos=" << chaosPermille_ << " injected=" << chaosInjected_;
        s << " faults=";
        if (faults_.empty()) s << "none";
        for (std::size_t i = 0; i < faults_.size(); ++i) {
            s << (i ? "," : "") << NameOf(faults_[i].kind) << ":" << faults_[i].left;
        }
        return done(s.str());
    }
    static constexpr std::string_view kKnown[] = {"plug",   "unplug",    "gbank", "switch-profile",
                                                  "usage",  "icon",      "fault", "latency",
                                                  "status", "late-delay"};
    if (std::find(std::begin(kKnown), std::end(kKnown), verb) != std::end(kKnown)) {
        return "error: wrong arguments for '" + std::string(verb) + "'";
    }
    return "error: unknown command '" + std::string(verb) +
           "' (plug, unplug, gbank, switch-profile N, usage 0xNNNN, icon on|off, fault KIND [COUNT], "
           "fault clear, latency US, late-delay MS, chaos PERMILLE [SEED], status)";
}

std::span<std::uint8_t> SimKeyboard::AreaLocked(int area) {
    if (area == kLedArea) return led_;
    if (area < 0 || area > static_cast<int>(SimArea::Macros)) return {};
    return memory_.Area(static_cast<SimArea>(area));
}

bool SimKeyboard::ReadMemory(int area, std::uint32_t offset, std::uint8_t* out, std::uint32_t length) {
    std::lock_guard lock(mutex_);
    auto bytes = AreaLocked(area);
    if (bytes.empty() || (out == nullptr && length > 0) || offset > bytes.size() ||
        length > bytes.size() - offset) {
        return false;
    }
    std::copy_n(bytes.begin() + offset, length, out);
    return true;
}

bool SimKeyboard::WriteMemory(int area, std::uint32_t offset, const std::uint8_t* data,
                              std::uint32_t length) {
    std::lock_guard lock(mutex_);
    auto bytes = AreaLocked(area);
    if (bytes.empty() || (data == nullptr && length > 0) || offset > bytes.size() ||
        length > bytes.size() - offset) {
        return false;
    }
    std::copy_n(data, length, bytes.begin() + offset);
    return true;
}

std::uint32_t SimKeyboard::FrameCount() {
    std::lock_guard lock(mutex_);
    return static_cast<std::uint32_t>(frames_.size());
}

bool SimKeyboard::FrameAt(std::uint32_t index, std::uint8_t* out) {
    std::lock_guard lock(mutex_);
    if (out == nullptr || index >= frames_.size()) return false;
    std::copy(frames_[index].begin(), frames_[index].end(), out);
    return true;
}

void SimKeyboard::ClearFrames() {
    std::lock_guard lock(mutex_);
    frames_.clear();
}

void SimKeyboard::Reset() {
    std::lock_guard lock(mutex_);
    memory_.ResetToFactory();
    faults_.clear();
    chaosPermille_ = 0;
    led_ = {};
    SetPluggedLocked(true);
}

// ---- the backend the library drives ----

namespace {

class SimBackend final : public HidBackend {
public:
    bool Start(BackendEvents& events) override {
        SimKeyboard::Instance().Start(events);
        return true;
    }
    void Stop() override { SimKeyboard::Instance().Stop(); }
    int DeviceCount(HidInterface) override { return SimKeyboard::Instance().DeviceCount(); }
    bool WriteReport(HidInterface iface, std::span<const std::uint8_t> report) override {
        return iface == HidInterface::Control && SimKeyboard::Instance().ReceiveFrame(report);
    }
    bool WriteStatus(HidInterface iface, std::span<const std::uint8_t> bytes) override {
        return iface == HidInterface::Led && SimKeyboard::Instance().ReceiveLedStatus(bytes);
    }
    int ReadStatus(HidInterface iface, std::span<std::uint8_t> out) override {
        return iface == HidInterface::Led ? SimKeyboard::Instance().ReadLedStatus(out) : -1;
    }
    bool SetFeature(HidInterface, std::span<const std::uint8_t>) override {
        return false;  // the keyboard has no feature reports
    }
};

}  // namespace

}  // namespace talvenix::service::sim

namespace talvenix::service {
std::unique_ptr<HidBackend> CreateBackend() { return std::make_unique<sim::SimBackend>(); }
}  // namespace talvenix::service
