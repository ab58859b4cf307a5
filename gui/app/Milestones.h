// Milestones for measuring the program from outside. When the environment variable
// TALVENIX_MILESTONES names a file, the program appends one line per milestone to it:
//
//     <name> <steady-clock nanoseconds> [key=value ...]
//
// The clock is CLOCK_MONOTONIC, so a benchmark can subtract the time it started the program.
// Names: "tray-ready" (the deferred start ran: icon added, window hidden), "read-back-complete"
// (the keyboard's configuration is read and shown; "exchanges=N" counts the reports it took),
// "no-keyboard" (the first presence check found none), "show-requested", "shown" (the first
// paint after a show), "hidden". Without the variable nothing is written and nothing is opened.
#pragma once

#include <QString>

namespace talvenix::gui {

void Milestone(const char* name, const QString& detail = {});

}  // namespace talvenix::gui
