// One connection to the keyboard for the life of a command: loads the service library (the
// simulator with --simulate), opens the DeviceLink and answers whether a keyboard is attached.
// Commands that only read or write files never create one.
#pragma once

#include <memory>
#include <string>

#include "core/device/ConfigBlock.h"
#include "core/device/DeviceLink.h"
#include "core/device/ReportTransport.h"

namespace talvenix::cli {

class Session {
public:
    // Loads the library and opens the link. Throws CliError (exit 4) when the library or one of
    // its entry points is missing, or when it refuses to start.
    explicit Session(bool simulate);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // True when a keyboard is attached. Hot-plug enumeration may report the keyboard a moment
    // after start, so a count of 0 is re-checked for a short while before it is believed.
    bool KeyboardPresent();
    // Throws CliError (exit 3, "no keyboard attached") when KeyboardPresent() is false.
    void RequireKeyboard();

    device::DeviceLink& Link() { return *link_; }
    device::ReportTransport& Transport() { return link_->Transport(); }

    // Reads the configuration block (throws on failure).
    device::ConfigBlock ReadConfig();

    bool Simulated() const { return simulate_; }

private:
    struct Library;
    std::unique_ptr<Library> library_;
    std::unique_ptr<device::DeviceLink> link_;
    bool simulate_ = false;
    int presence_ = -1;  // -1 unknown, else the last device count seen
};

}  // namespace talvenix::cli
