// The real keyboard through hidapi (hidraw), with a libudev monitor for hot-plug.
//
// Each hidraw node is opened twice, by the monitor thread: a read handle used only by the node's
// reader thread, and a write handle used only under the node's write lock (by whichever caller
// writes). hidapi keeps a per-handle error string that hid_read_timeout and hid_write both
// replace, so one handle shared by the reader and a writer would race on it. A read error
// (ENODEV/EIO when the keyboard goes) closes the node and rescans.
//
// The nodes are found from sysfs through libudev (HidrawNodes), never with hid_enumerate:
// hidapi 0.13's enumeration dereferences the uevent of a node that vanished while it was being
// listed, and rescans run exactly while nodes vanish. hidapi only opens, reads and writes.
// What each node carries, and whether its reports start with a report id, comes from its report
// descriptor.
//
// Hot-plug: the udev monitor when udevd runs (it tells us after the access rules are applied),
// else the kernel's own uevents, so a keyboard plugged in later is seen without udevd too.
#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/device/ServiceAbi.h"
#include "service/common/HidBackend.h"
#include "service/common/ServiceCore.h"
#include "service/hidraw/DeviceMatch.h"
#include "service/hidraw/HidrawNodes.h"

namespace talvenix::service::hidraw {

namespace {

constexpr int kReadPollMs = 100;
constexpr std::size_t kMaxReport = 64;

bool Debugging() { return ServiceCore::Instance().DebugLevel() > 0; }

template <typename... Args>
void DebugLine(const char* format, Args... args) {
    if (!Debugging()) return;
    std::fprintf(stderr, "Pelloran: ");
    std::fprintf(stderr, format, args...);
    std::fprintf(stderr, "\n");
}

// One open hidraw node and its reader thread.
class OpenNode {
public:
    OpenNode(hid_device* readHandle, hid_device* writeHandle, NodeLayout layout)
        : readHandle_(readHandle), handle_(writeHandle), layout_(std::move(layout)) {}
    ~OpenNode() { Close(); }

    void StartReader(BackendEvents& events, const std::function<void()>& onFailure) {
        reader_ = std::thread([this, &events, onFailure] { Read(events, onFailure); });
    }
    void Close() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (readHandle_ != nullptr) hid_close(readHandle_);
        readHandle_ = nullptr;
        std::lock_guard lock(writeMutex_);
        if (handle_ != nullptr) hid_close(handle_);
        handle_ = nullptr;
    }
    bool Write(std::span<const std::uint8_t> bytes) {
        std::lock_guard lock(writeMutex_);
        return handle_ != nullptr && !failed_ &&
               hid_write(handle_, bytes.data(), bytes.size()) == static_cast<int>(bytes.size());
    }
    bool SendFeature(std::span<const std::uint8_t> bytes) {
        std::lock_guard lock(writeMutex_);
        return handle_ != nullptr && !failed_ &&
               hid_send_feature_report(handle_, bytes.data(), bytes.size()) == static_cast<int>(bytes.size());
    }
    bool Carries(HidInterface iface) const { return layout_.carried.count(iface) > 0; }
    bool Failed() const { return failed_; }

private:
    void Read(BackendEvents& events, const std::function<void()>& onFailure) {
        std::uint8_t buf[kMaxReport];
        while (!stop_) {
            const int n = hid_read_timeout(readHandle_, buf, sizeof buf, kReadPollMs);
            if (n < 0) {  // the node is gone (ENODEV/EIO) or broken: treat as unplugged
                failed_ = true;
                onFailure();
                return;
            }
            if (n == 0) continue;
            const std::span<const std::uint8_t> report(buf, static_cast<std::size_t>(n));
            const auto target = InputInterfaceOf(layout_, report);
            if (!target) continue;
            const auto usage =
                *target == HidInterface::Consumer ? ConsumerUsageOf(layout_, report) : std::nullopt;
            events.PostInput(*target, report, usage, std::chrono::steady_clock::now());
        }
    }

    hid_device* readHandle_;  // the reader thread's alone
    hid_device* handle_;      // writes, under writeMutex_
    NodeLayout layout_;
    std::mutex writeMutex_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::thread reader_;
};

class HidrawBackend final : public HidBackend {
public:
    bool Start(BackendEvents& events) override {
        // Unit tests set this so that no test ever opens a real keyboard by mistake.
        if (std::getenv("TALVENIX_FORBID_REAL_DEVICES") != nullptr) {
            std::fprintf(stderr,
                         "Pelloran: real HID devices are forbidden here (TALVENIX_FORBID_REAL_DEVICES)\n");
            std::abort();
        }
        if (hid_init() != 0) return false;
        events_ = &events;
        if (::pipe2(wakeFds_, O_CLOEXEC) != 0) {
            hid_exit();
            return false;
        }
        udev_ = udev_new();
        if (udev_ != nullptr) {
            monitor_ = OpenMonitor("udev");
            kernelMonitor_ = OpenMonitor("kernel");
        }
        if (monitor_ == nullptr && kernelMonitor_ == nullptr) {
            std::fprintf(
                stderr, "Pelloran: no udev or kernel uevent monitor; keyboards plugged in later go unseen\n");
        } else if (!UdevdRuns()) {
            DebugLine("udevd is not running: hearing keyboards come and go from kernel uevents");
        }
        Rescan(false);
        monitorThread_ = std::thread([this] { Monitor(); });
        return true;
    }

    void Stop() override {
        if (monitorThread_.joinable()) {
            stopping_ = true;
            Wake();
            monitorThread_.join();
        }
        {
            std::lock_guard lock(nodesMutex_);
            nodes_.clear();  // closes every node and joins its reader
            count_ = 0;
        }
        if (monitor_) udev_monitor_unref(monitor_);
        if (kernelMonitor_) udev_monitor_unref(kernelMonitor_);
        if (udev_) udev_unref(udev_);
        monitor_ = nullptr;
        kernelMonitor_ = nullptr;
        udev_ = nullptr;
        for (int& fd : wakeFds_) {
            if (fd >= 0) ::close(fd);
            fd = -1;
        }
        hid_exit();
        // events_ stays: a write that took this backend just before End may still be running,
        // and the request handling it points to outlives every backend.
    }

    int DeviceCount(HidInterface iface) override {
        std::lock_guard lock(nodesMutex_);
        return static_cast<int>(std::count_if(nodes_.begin(), nodes_.end(), [iface](const auto& n) {
            return n.second->Carries(iface) && !n.second->Failed();
        }));
    }

    bool WriteReport(HidInterface iface, std::span<const std::uint8_t> report) override {
        auto node = NodeFor(iface);
        if (!node) return false;
        // A reply still queued from an earlier exchange must not answer this one.
        if (iface == HidInterface::Control) events_->DiscardPendingInput(HidInterface::Control);
        return node->Write(report);
    }

    bool WriteStatus(HidInterface iface, std::span<const std::uint8_t> bytes) override {
        auto node = NodeFor(iface);
        if (!node || !node->Write(bytes)) return false;
        std::lock_guard lock(nodesMutex_);
        lastStatus_.assign(bytes.begin(), bytes.end());
        return true;
    }

    int ReadStatus(HidInterface iface, std::span<std::uint8_t> out) override {
        if (!NodeFor(iface)) return -1;
        std::lock_guard lock(nodesMutex_);
        const std::size_t n = std::min(out.size(), lastStatus_.size());
        std::copy_n(lastStatus_.begin(), n, out.begin());
        return static_cast<int>(n);
    }

    bool SetFeature(HidInterface iface, std::span<const std::uint8_t> report) override {
        auto node = NodeFor(iface);
        return node && node->SendFeature(report);
    }

private:
    std::shared_ptr<OpenNode> NodeFor(HidInterface iface) {
        std::lock_guard lock(nodesMutex_);
        for (const auto& [path, node] : nodes_) {
            if (node->Carries(iface) && !node->Failed()) return node;
        }
        return nullptr;
    }

    void Wake() {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &byte, 1);
    }

    udev_monitor* OpenMonitor(const char* group) {
        udev_monitor* m = udev_monitor_new_from_netlink(udev_, group);
        if (m != nullptr && (udev_monitor_filter_add_match_subsystem_devtype(m, "hidraw", nullptr) < 0 ||
                             udev_monitor_enable_receiving(m) < 0)) {
            udev_monitor_unref(m);
            m = nullptr;
        }
        if (m == nullptr) DebugLine("no %s monitor: %s", group, std::strerror(errno));
        return m;
    }

    // Opens one node twice (reader and writer); says in the debug output why it cannot be.
    std::shared_ptr<OpenNode> Open(const std::string& sysPath, const KeyboardNodes::Entry& entry) {
        hid_device* readHandle = hid_open_path(entry.path.c_str());
        hid_device* writeHandle = readHandle ? hid_open_path(entry.path.c_str()) : nullptr;
        if (writeHandle == nullptr) {
            if (readHandle) hid_close(readHandle);
            std::string why = OpenProblem(entry.path);
            if (why.empty()) why = "hidapi could not open it";
            std::string carried;
            for (HidInterface iface : entry.layout.carried)
                carried += std::string(carried.empty() ? "" : ", ") + InterfaceName(iface);
            auto& said = refused_[sysPath];
            if (said != why) {
                DebugLine("cannot open %s (%s): %s", entry.path.c_str(), carried.c_str(), why.c_str());
                said = why;
            }
            return nullptr;
        }
        refused_.erase(sysPath);
        DebugLine("opened %s", entry.path.c_str());
        return std::make_shared<OpenNode>(readHandle, writeHandle, entry.layout);
    }

    // Brings the open nodes in line with what is attached; tells the standing reads when the
    // number of keyboards changed. Monitor thread (and Start) only.
    void Rescan(bool announce) {
        const KeyboardNodes found = MatchNodes(ListHidrawNodes(udev_));
        std::vector<std::shared_ptr<OpenNode>> closing;
        int count = 0;
        bool changed = false;
        {
            std::lock_guard lock(nodesMutex_);
            for (auto it = nodes_.begin(); it != nodes_.end();) {
                if (it->second->Failed()) broken_.insert(it->first);
                if (it->second->Failed() || !found.nodes.count(it->first)) {
                    closing.push_back(it->second);
                    it = nodes_.erase(it);
                } else {
                    ++it;
                }
            }
            // Forget nodes that are gone: a keyboard that comes back has new sysfs paths.
            std::erase_if(broken_, [&](const std::string& p) { return !found.nodes.count(p); });
            std::erase_if(refused_, [&](const auto& r) { return !found.nodes.count(r.first); });
            for (const auto& [sysPath, entry] : found.nodes) {
                // A node whose reads failed is not reopened while it stays listed: it would
                // only fail again.
                if (nodes_.count(sysPath) || broken_.count(sysPath)) continue;
                auto node = Open(sysPath, entry);
                if (!node) continue;
                node->StartReader(*events_, [this] { Wake(); });
                nodes_.emplace(sysPath, node);
            }
            count = static_cast<int>(std::count_if(nodes_.begin(), nodes_.end(), [](const auto& n) {
                return n.second->Carries(HidInterface::Control);
            }));
            changed = count != count_;
            count_ = count;
        }
        closing.clear();  // joins their readers outside the lock
        if (changed && announce) {
            if (count == 0) events_->DiscardPendingInput(HidInterface::Control);
            events_->PostDeviceChange(count);
        }
    }

    // True when an event arrived that may change the attached nodes.
    static bool Drain(udev_monitor* m) {
        if (udev_device* dev = udev_monitor_receive_device(m)) {
            udev_device_unref(dev);
            return true;
        }
        return false;
    }

    void Monitor() {
        while (!stopping_) {
            pollfd fds[3] = {{wakeFds_[0], POLLIN, 0},
                             {monitor_ ? udev_monitor_get_fd(monitor_) : -1, POLLIN, 0},
                             {kernelMonitor_ ? udev_monitor_get_fd(kernelMonitor_) : -1, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) continue;
            if (stopping_) return;
            bool rescan = false;
            if (fds[0].revents & POLLIN) {
                char drain[16];
                [[maybe_unused]] const ssize_t n = ::read(wakeFds_[0], drain, sizeof drain);
                rescan = true;
            }
            if (fds[1].revents & POLLIN) rescan |= Drain(monitor_);
            // While udevd runs its own event follows once the access rules are applied; acting
            // on the kernel's would try the node before the user may open it.
            if ((fds[2].revents & POLLIN) && Drain(kernelMonitor_) && !UdevdRuns()) rescan = true;
            if (rescan) Rescan(true);
        }
    }

    BackendEvents* events_ = nullptr;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;        // udevd's events
    udev_monitor* kernelMonitor_ = nullptr;  // the kernel's, for when udevd does not run
    int wakeFds_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread monitorThread_;

    std::mutex nodesMutex_;
    std::map<std::string, std::shared_ptr<OpenNode>> nodes_;  // by sysfs path
    std::set<std::string> broken_;                            // reads failed; still listed
    std::map<std::string, std::string> refused_;              // cannot be opened, and why
    int count_ = 0;
    std::vector<std::uint8_t> lastStatus_;
};

}  // namespace

}  // namespace talvenix::service::hidraw

namespace talvenix::service {
std::unique_ptr<HidBackend> CreateBackend() { return std::make_unique<hidraw::HidrawBackend>(); }
}  // namespace talvenix::service
