#include "service/hidraw/HidrawNodes.h"

#include <fcntl.h>
#include <libudev.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace talvenix::service::hidraw {

namespace {

// The kernel caps report descriptors at 4096 bytes (HID_MAX_DESCRIPTOR_SIZE).
constexpr std::size_t kMaxDescriptor = 4096;

struct UdevEnumerateDeleter {
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};
struct UdevDeviceDeleter {
    void operator()(udev_device* d) const { udev_device_unref(d); }
};

bool ReadDescriptor(const std::string& file, std::vector<std::uint8_t>& out) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out.resize(kMaxDescriptor);
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.resize(got);
    return got > 0;
}

}  // namespace

std::vector<HidrawNode> ListHidrawNodes(udev* context) {
    std::vector<HidrawNode> nodes;
    if (context == nullptr) return nodes;
    std::unique_ptr<udev_enumerate, UdevEnumerateDeleter> e(udev_enumerate_new(context));
    if (!e || udev_enumerate_add_match_subsystem(e.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(e.get()) < 0) {
        return nodes;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e.get())) {
        const char* sysPath = udev_list_entry_get_name(entry);
        if (sysPath == nullptr) continue;
        std::unique_ptr<udev_device, UdevDeviceDeleter> dev(udev_device_new_from_syspath(context, sysPath));
        if (!dev) continue;  // gone since the scan
        const char* devnode = udev_device_get_devnode(dev.get());
        // The parent belongs to `dev` and is freed with it.
        udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev.get(), "hid", nullptr);
        if (devnode == nullptr || hid == nullptr) continue;
        const char* hidId = udev_device_get_property_value(hid, "HID_ID");
        const char* hidSysPath = udev_device_get_syspath(hid);
        unsigned bus = 0, vendor = 0, product = 0;
        if (hidId == nullptr || hidSysPath == nullptr ||
            std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) != 3) {
            continue;
        }
        std::vector<std::uint8_t> descriptor;
        if (!ReadDescriptor(std::string(hidSysPath) + "/report_descriptor", descriptor)) continue;
        HidrawNode node;
        node.path = devnode;
        node.sysPath = sysPath;
        node.bus = static_cast<std::uint16_t>(bus);
        node.vendorId = static_cast<std::uint16_t>(vendor);
        node.productId = static_cast<std::uint16_t>(product);
        node.descriptor = ParseReportDescriptor(descriptor);
        nodes.push_back(std::move(node));
    }
    return nodes;
}

bool UdevdRuns() {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return ::access("/run/udev/control", F_OK) == 0;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, "/run/udev/control", sizeof addr.sun_path - 1);
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    const int error = errno;
    ::close(fd);
    if (result == 0) return true;
    if (error != EACCES && error != EPERM) return false;  // ECONNREFUSED, ENOENT: nobody listens
    // Only root may connect, so for anyone else look for the process itself.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && (name == "systemd-udevd" || name == "udevd")) return true;
    }
    return false;
}

std::string OpenProblem(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    const int error = errno;
    if (error == EACCES || error == EPERM)
        return "permission denied: no access rule gives this user the node (is the udev rule installed "
               "and the keyboard replugged since?)";
    if (error == ENOENT || error == ENODEV || error == ENXIO) return "the node has gone (keyboard unplugged)";
    return std::strerror(error);
}

}  // namespace talvenix::service::hidraw
