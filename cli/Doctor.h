// talvenix-cli doctor: whether this user can reach the keyboard, and what to run when not.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "service/hidraw/DeviceMatch.h"

namespace talvenix::cli {

// What the doctor found out about the system; gathered by GatherDoctorFacts(), judged by
// Diagnose() (pure, so every verdict can be checked without a keyboard).
struct DoctorNode {
    std::string path;  // /dev/hidrawN
    service::hidraw::NodeLayout layout;
    std::string openProblem;  // empty: this user can open it
    bool tagged = false;      // udev gave it the uaccess tag
};
struct DoctorFacts {
    std::vector<DoctorNode> nodes;  // every hidraw node with the keyboard's USB ids
    bool hidrawPresent = true;      // the kernel has hidraw at all (/sys/class/hidraw)
    std::vector<std::string> ruleFiles;
    bool udevdRuns = true;
    bool root = false;
    std::string libraryProblem;  // empty: libPelloran.so is in place
};

struct DoctorVerdict {
    std::vector<std::string> lines;
    int exitCode = 0;
};

DoctorVerdict Diagnose(const DoctorFacts& facts);
DoctorFacts GatherDoctorFacts();

void AddDoctorCommand(CLI::App& app, Context& ctx, Action& run);

}  // namespace talvenix::cli
