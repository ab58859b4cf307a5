// The hidraw nodes attached now, read from sysfs through libudev: the node, its HID ids and its
// report descriptor. Every read tolerates a node that vanishes while it is being read (the node
// is then left out), so it is safe to call while a keyboard is being unplugged.
#pragma once

#include <string>
#include <vector>

#include "service/hidraw/DeviceMatch.h"

struct udev;

namespace talvenix::service::hidraw {

// `context` is the caller's libudev context (one per thread: libudev objects are not
// thread-safe). Nodes whose ids or descriptor cannot be read are left out.
std::vector<HidrawNode> ListHidrawNodes(udev* context);

// True when udevd is running: something listens on its control socket. The socket file alone
// says nothing: it stays behind when udevd stops.
bool UdevdRuns();

// Why the current user cannot open `path` for reading and writing, in plain words; empty when
// it can.
std::string OpenProblem(const std::string& path);

}  // namespace talvenix::service::hidraw
