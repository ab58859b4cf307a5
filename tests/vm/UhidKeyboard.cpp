// talvenix-uhid-keyboard: the simulated keyboard's firmware (memory and replies) behind the
// kernel's uhid driver, so the real service library meets it through real hidraw nodes.
//
//   talvenix-uhid-keyboard --layout split|shared [--consumer-id yes|no] --commands FIFO
//
// split: four HID devices, one per interface (control, consumer, LED, typing keyboard), like a
// keyboard whose collections sit on separate USB interfaces; shared: control, consumer and LED
// collections in one descriptor (one hidraw node), the typing keyboard apart. Commands, one per
// line on the FIFO: plug, unplug, replug COUNT GAP_MS, usage 0xNNNN, latency MS (before each
// reply), quit. What happens goes to
// stdout, one line each: "plugged", "unplugged", "frame CMD", "led B0 B1", "usage 0xNNNN".
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "service/simulator/SimFirmware.h"
#include "service/simulator/SimMemory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace sim = talvenix::service::sim;

constexpr std::uint16_t kVendor = 0x0C45;
constexpr std::uint16_t kProduct = 0x5204;
constexpr std::uint8_t kControlId = 0x04;
constexpr std::uint8_t kConsumerId = 0x03;
constexpr std::uint8_t kLedId = 0x05;

Bytes ControlCollection() {
    // 63 data bytes each way after the report id: 64-byte frames.
    return {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, kControlId, 0x15, 0x00, 0x26, 0xFF, 0x00,
            0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x09,       0x01, 0x91, 0x02, 0xC0};
}
Bytes ConsumerCollection(bool numbered) {
    Bytes d = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01};
    if (numbered) d.insert(d.end(), {0x85, kConsumerId});
    // One 16-bit usage, 0..0xFFFF.
    d.insert(d.end(), {0x15, 0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00, 0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x75, 0x10,
                       0x95, 0x01, 0x81, 0x00, 0xC0});
    return d;
}
Bytes LedCollection() {
    return {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x85, kLedId, 0x15, 0x00, 0x26,
            0xFF, 0x00, 0x75, 0x08, 0x95, 0x01, 0x09, 0x4B,   0x91, 0x02, 0xC0};
}
Bytes BootKeyboard() {
    return {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25,
            0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x06,
            0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};
}

enum class Role { Control, Consumer, Led, Keyboard, Shared };

struct Device {
    Role role;
    Bytes descriptor;
    int fd = -1;
};

struct Options {
    bool shared = false;
    bool consumerId = true;
    std::string commands;
};

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool Send(int fd, const uhid_event& ev) {
    const ssize_t n = ::write(fd, &ev, sizeof ev);
    return n == static_cast<ssize_t>(sizeof ev);
}

class Keyboard {
public:
    explicit Keyboard(const Options& options) : options_(options) {
        if (options.shared) {
            Bytes all = ConsumerCollection(true);
            for (const Bytes& part : {LedCollection(), ControlCollection()})
                all.insert(all.end(), part.begin(), part.end());
            devices_.push_back({Role::Shared, all});
        } else {
            devices_.push_back({Role::Control, ControlCollection()});
            devices_.push_back({Role::Consumer, ConsumerCollection(options.consumerId)});
            devices_.push_back({Role::Led, LedCollection()});
        }
        devices_.push_back({Role::Keyboard, BootKeyboard()});
    }

    bool Plug() {
        if (plugged_) return true;
        for (std::size_t i = 0; i < devices_.size(); ++i) {
            Device& d = devices_[i];
            d.fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
            if (d.fd < 0) {
                Say(std::string("error: /dev/uhid: ") + std::strerror(errno));
                return false;
            }
            uhid_event ev{};
            ev.type = UHID_CREATE2;
            std::snprintf(reinterpret_cast<char*>(ev.u.create2.name), sizeof ev.u.create2.name,
                          "Talvenix test keyboard");
            std::snprintf(reinterpret_cast<char*>(ev.u.create2.phys), sizeof ev.u.create2.phys,
                          "talvenix-uhid/input%zu", i);
            ev.u.create2.rd_size = static_cast<std::uint16_t>(d.descriptor.size());
            ev.u.create2.bus = 0x03;  // USB
            ev.u.create2.vendor = kVendor;
            ev.u.create2.product = kProduct;
            std::memcpy(ev.u.create2.rd_data, d.descriptor.data(), d.descriptor.size());
            if (!Send(d.fd, ev)) {
                Say(std::string("error: UHID_CREATE2: ") + std::strerror(errno));
                return false;
            }
        }
        plugged_ = true;
        Say("plugged");
        return true;
    }

    void Unplug() {
        if (!plugged_) return;
        for (Device& d : devices_) {
            uhid_event ev{};
            ev.type = UHID_DESTROY;
            Send(d.fd, ev);
            ::close(d.fd);
            d.fd = -1;
        }
        plugged_ = false;
        Say("unplugged");
    }

    bool PressUsage(std::uint16_t usage) {
        const Device* d = Find(options_.shared ? Role::Shared : Role::Consumer);
        if (d == nullptr || d->fd < 0) return false;
        const bool numbered = options_.shared || options_.consumerId;
        Bytes report;
        if (numbered) report.push_back(kConsumerId);
        report.push_back(static_cast<std::uint8_t>(usage & 0xFF));
        report.push_back(static_cast<std::uint8_t>(usage >> 8));
        return Input(d->fd, report);
    }

    void SetLatency(unsigned ms) { latencyMs_ = ms; }

    // Handles what the kernel sent to any device.
    void Serve(const std::vector<pollfd>& fds) {
        for (const pollfd& p : fds) {
            if (!(p.revents & POLLIN)) continue;
            for (Device& d : devices_) {
                if (d.fd == p.fd) Handle(d);
            }
        }
    }

    void AddFds(std::vector<pollfd>& fds) const {
        for (const Device& d : devices_) {
            if (d.fd >= 0) fds.push_back({d.fd, POLLIN, 0});
        }
    }

private:
    const Device* Find(Role role) const {
        for (const Device& d : devices_) {
            if (d.role == role) return &d;
        }
        return nullptr;
    }

    static bool Input(int fd, const Bytes& report) {
        uhid_event ev{};
        ev.type = UHID_INPUT2;
        ev.u.input2.size = static_cast<std::uint16_t>(report.size());
        std::memcpy(ev.u.input2.data, report.data(), report.size());
        return Send(fd, ev);
    }

    void Handle(Device& d) {
        uhid_event ev{};
        const ssize_t n = ::read(d.fd, &ev, sizeof ev);
        if (n <= 0) return;
        if (ev.type == UHID_GET_REPORT || ev.type == UHID_SET_REPORT) {
            // The keyboard has no feature reports: refuse at once instead of letting the
            // kernel wait for its timeout.
            uhid_event reply{};
            reply.type = ev.type == UHID_GET_REPORT ? UHID_GET_REPORT_REPLY : UHID_SET_REPORT_REPLY;
            reply.u.get_report_reply.id = ev.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            Send(d.fd, reply);
            return;
        }
        if (ev.type != UHID_OUTPUT || ev.u.output.size == 0) return;
        const std::uint8_t* data = ev.u.output.data;
        const std::size_t size = ev.u.output.size;
        if (data[0] == kControlId && (d.role == Role::Control || d.role == Role::Shared)) {
            sim::Frame frame{};
            std::memcpy(frame.data(), data, std::min(size, frame.size()));
            Say("frame " + std::to_string(frame[3]));
            if (latencyMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_));
            const sim::FrameOutcome outcome = sim::HandleFrame(memory_, frame);
            if (outcome.replies) Input(d.fd, Bytes(outcome.reply.begin(), outcome.reply.end()));
            if (outcome.bootMode) Unplug();
        } else if (data[0] == kLedId && (d.role == Role::Led || d.role == Role::Shared) && size >= 2) {
            char line[32];
            std::snprintf(line, sizeof line, "led %02X %02X", data[0], data[1]);
            Say(line);
        }
    }

    Options options_;
    unsigned latencyMs_ = 0;
    std::vector<Device> devices_;
    sim::SimMemory memory_;
    bool plugged_ = false;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--layout" && (value == "split" || value == "shared")) {
            o.shared = value == "shared";
        } else if (key == "--consumer-id" && (value == "yes" || value == "no")) {
            o.consumerId = value == "yes";
        } else if (key == "--commands") {
            o.commands = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !o.commands.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: talvenix-uhid-keyboard --layout split|shared [--consumer-id yes|no] "
                     "--commands FIFO\n");
        return 2;
    }
    // Read-write, so the FIFO never reports end of file between two writers.
    const int commands = ::open(options.commands.c_str(), O_RDWR | O_CLOEXEC);
    if (commands < 0) {
        std::fprintf(stderr, "talvenix-uhid-keyboard: %s: %s\n", options.commands.c_str(),
                     std::strerror(errno));
        return 1;
    }
    Keyboard keyboard(options);
    std::string pending;
    for (;;) {
        std::vector<pollfd> fds = {{commands, POLLIN, 0}};
        keyboard.AddFds(fds);
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return 1;
        }
        keyboard.Serve(fds);
        if (!(fds[0].revents & POLLIN)) continue;
        char buf[256];
        const ssize_t n = ::read(commands, buf, sizeof buf);
        if (n <= 0) continue;
        pending.append(buf, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            unsigned count = 0, gapMs = 0, usage = 0;
            if (line == "plug") {
                if (!keyboard.Plug()) return 1;
            } else if (line == "unplug") {
                keyboard.Unplug();
            } else if (std::sscanf(line.c_str(), "replug %u %u", &count, &gapMs) == 2) {
                for (unsigned i = 0; i < count; ++i) {
                    keyboard.Unplug();
                    std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
                    if (!keyboard.Plug()) return 1;
                    std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
                }
                Say("replugged " + std::to_string(count));
            } else if (std::sscanf(line.c_str(), "usage %x", &usage) == 1 && usage <= 0xFFFF) {
                char text[32];
                std::snprintf(text, sizeof text, "usage 0x%04X", usage);
                Say(keyboard.PressUsage(static_cast<std::uint16_t>(usage)) ? text
                                                                           : "error: no consumer device");
            } else if (std::sscanf(line.c_str(), "latency %u", &gapMs) == 1 && gapMs <= 5000) {
                keyboard.SetLatency(gapMs);
                Say("latency " + std::to_string(gapMs));
            } else if (line == "quit") {
                keyboard.Unplug();
                return 0;
            } else if (!line.empty()) {
                Say("error: unknown command '" + line + "'");
            }
        }
    }
}
