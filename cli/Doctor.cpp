#include "cli/Doctor.h"

#include <libudev.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "cli/CliError.h"
#include "platform/InstallLayout.h"
#include "platform/ServiceLibraryLoader.h"
#include "service/hidraw/HidrawNodes.h"

namespace talvenix::cli {

namespace {

using service::HidInterface;
using service::hidraw::InterfaceName;

constexpr const char* kRuleName = "70-talvenix.rules";
// Where udev reads rules from, in its order of precedence.
constexpr const char* kRuleFolders[] = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                        "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                        "/lib/udev/rules.d"};
constexpr const char* kRetrigger =
    "sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=hidraw --action=change";

// What each interface is for, in the user's words.
const char* PurposeOf(HidInterface iface) {
    switch (iface) {
        case HidInterface::Control:
            return "reading and writing the keyboard's configuration";
        case HidInterface::Consumer:
            return "the G-bank and profile keys";
        case HidInterface::Led:
            return "the G-bank light";
    }
    return "";
}

std::string Carried(const service::hidraw::NodeLayout& layout) {
    std::string text;
    for (HidInterface iface : layout.carried)
        text += std::string(text.empty() ? "" : ", ") + InterfaceName(iface);
    if (layout.carriesOthers) text += std::string(text.empty() ? "" : ", ") + "typing keyboard";
    return text.empty() ? "nothing the program uses" : text;
}

}  // namespace

DoctorVerdict Diagnose(const DoctorFacts& facts) {
    DoctorVerdict v;
    auto ok = [&](const std::string& s) { v.lines.push_back("ok: " + s); };
    auto problem = [&](const std::string& s, const std::string& fix, int code) {
        v.lines.push_back("problem: " + s);
        if (!fix.empty()) v.lines.push_back("  fix: " + fix);
        if (v.exitCode == 0 || code == kExitNoKeyboard) v.exitCode = code;
    };
    auto note = [&](const std::string& s) { v.lines.push_back("note: " + s); };

    if (facts.libraryProblem.empty()) {
        ok("the service library libPelloran.so is in place");
    } else {
        problem(facts.libraryProblem, "reinstall Talvenix (or rebuild it: scripts/build)",
                kExitKeyboardError);
    }

    if (facts.ruleFiles.empty()) {
        problem(std::string("the udev rule ") + kRuleName +
                    " is not installed, so only root may open the keyboard",
                "install the package, or: sudo cp packaging/udev/70-talvenix.rules /etc/udev/rules.d/ && " +
                    std::string(kRetrigger),
                kExitKeyboardError);
    } else {
        ok("the udev rule is installed: " + facts.ruleFiles.front());
    }
    if (!facts.udevdRuns) {
        problem(
            "udevd is not running, so no rule applies: keyboards are still found (from kernel events), "
            "but only root may open them",
            "start udevd (systemctl start systemd-udevd), then replug the keyboard", kExitKeyboardError);
    }

    if (!facts.hidrawPresent) {
        problem("the kernel shows no hidraw devices at all",
                "load the HID drivers: sudo modprobe hid-generic", kExitNoKeyboard);
        return v;
    }
    const bool attached = std::any_of(facts.nodes.begin(), facts.nodes.end(),
                                      [](const DoctorNode& n) { return !n.layout.carried.empty(); });
    if (!attached) {
        problem(
            "no keyboard attached: no hidraw node with USB id 0C45:5204 carries its configuration "
            "interface",
            "plug the keyboard in (directly, not through a KVM switch), then run this again",
            kExitNoKeyboard);
        return v;
    }
    ok("keyboard attached");

    bool anyTagged = false;
    for (const DoctorNode& n : facts.nodes) {
        anyTagged |= n.tagged;
        const std::string what = n.path + " (" + Carried(n.layout) + ")";
        if (n.layout.carried.empty()) {
            // The typing keyboard: the program never needs it, and no user program should read it.
            if (n.openProblem.empty() && !facts.root) {
                note(what +
                     " is open to you: any program you run can read typed keys through it. Our rule "
                     "never allows this; look for another rule that does (udevadm info " +
                     n.path + ")");
            } else {
                ok(what + ": not needed, and private as it should be");
            }
            continue;
        }
        if (n.openProblem.empty()) {
            ok(what + ": you can open it" +
               (facts.root ? " (as root: run doctor as your own user to be sure)" : ""));
        } else if (facts.ruleFiles.empty() || !facts.udevdRuns) {
            problem(what + ": cannot be opened: " + n.openProblem, "see the rule and udevd fixes above",
                    kExitKeyboardError);
        } else if (!n.tagged) {
            problem(what + ": cannot be opened (" + n.openProblem +
                        "); the installed rule has not been applied to it",
                    "replug the keyboard, or: " + std::string(kRetrigger), kExitKeyboardError);
        } else {
            problem(what + ": cannot be opened although the rule tagged it (" + n.openProblem +
                        "); access is granted only to the user of the active local session",
                    "log in at the machine itself (not over ssh), or run the program in that session",
                    kExitKeyboardError);
        }
    }
    if (!facts.ruleFiles.empty() && facts.udevdRuns) {
        if (anyTagged) {
            ok("the udev rule is active (the keyboard's nodes carry the uaccess tag)");
        } else {
            problem("the udev rule is installed but not active on the keyboard's nodes",
                    "replug the keyboard, or: " + std::string(kRetrigger), kExitKeyboardError);
        }
    }

    // Every interface the program uses must be on a node this user can open.
    for (HidInterface iface : {HidInterface::Control, HidInterface::Consumer, HidInterface::Led}) {
        const auto usable = std::find_if(facts.nodes.begin(), facts.nodes.end(), [&](const DoctorNode& n) {
            return n.layout.carried.count(iface) && n.openProblem.empty();
        });
        const bool present = std::any_of(facts.nodes.begin(), facts.nodes.end(), [&](const DoctorNode& n) {
            return n.layout.carried.count(iface) > 0;
        });
        if (usable != facts.nodes.end()) {
            ok(std::string(InterfaceName(iface)) + " interface (" + PurposeOf(iface) + "): " + usable->path);
        } else if (!present) {
            problem(std::string("the keyboard shows no ") + InterfaceName(iface) + " interface, so " +
                        PurposeOf(iface) + " will not work",
                    "replug the keyboard; if this stays, its firmware or USB connection is at fault",
                    kExitKeyboardError);
        } else {
            v.lines.push_back(std::string("  (") + InterfaceName(iface) + " interface: " + PurposeOf(iface) +
                              " will not work until this is fixed)");
        }
    }
    v.lines.push_back(v.exitCode == 0 ? "Everything Talvenix needs works."
                                      : "Talvenix cannot fully work yet: see above.");
    return v;
}

DoctorFacts GatherDoctorFacts() {
    DoctorFacts facts;
    facts.root = ::geteuid() == 0;
    facts.udevdRuns = service::hidraw::UdevdRuns();
    std::error_code ec;
    facts.hidrawPresent = std::filesystem::exists("/sys/class/hidraw", ec);
    for (const char* folder : kRuleFolders) {
        const auto file = std::filesystem::path(folder) / kRuleName;
        if (std::filesystem::exists(file, ec)) facts.ruleFiles.push_back(file.string());
    }
    const auto library = platform::ServiceLibraryPath(false);
    if (!std::filesystem::exists(library, ec)) facts.libraryProblem = library.string() + " is missing";

    std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), &udev_unref);
    for (const auto& node : service::hidraw::ListHidrawNodes(context.get())) {
        if (node.vendorId != TALVENIX_VENDOR_ID || node.productId != TALVENIX_PRODUCT_ID) continue;
        DoctorNode n;
        n.path = node.path;
        n.layout = service::hidraw::LayoutOf(node);
        n.openProblem = service::hidraw::OpenProblem(node.path);
        if (udev_device* dev = udev_device_new_from_syspath(context.get(), node.sysPath.c_str())) {
            n.tagged = udev_device_has_tag(dev, "uaccess") > 0;
            udev_device_unref(dev);
        }
        facts.nodes.push_back(std::move(n));
    }
    return facts;
}

void AddDoctorCommand(CLI::App& app, Context& ctx, Action& run) {
    auto* doctor = app.add_subcommand(
        "doctor",
        "Check that this user can reach the keyboard: is it attached, which hidraw nodes are its, which of "
        "them you can open, is the udev rule installed and active; says what to run to fix each problem. "
        "Exit 0 only when everything works");
    doctor->callback([&ctx, &run] {
        run = [&ctx] {
            const DoctorVerdict v = Diagnose(GatherDoctorFacts());
            for (const std::string& line : v.lines) ctx.Out() << line << '\n';
            if (v.exitCode != 0) {
                ctx.Out().flush();
                throw CliError(v.exitCode, "doctor found problems");
            }
        };
    });
}

}  // namespace talvenix::cli
