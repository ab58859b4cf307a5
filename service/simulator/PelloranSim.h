// libPelloranSim.so: the simulated keyboard behind the same twelve entry points as the real
// service library, plus this in-process API for tests (C linkage, exported).
//
// Environment, read at Init:
//   TALVENIX_SIM_STATE       file the keyboard's memory is loaded from at Init and saved to
//                            (atomically) after every end-update command, every on-keyboard
//                            profile switch and at End. Without it the keyboard starts from
//                            its factory memory at every first Init. An unusable file is moved
//                            aside to FILE.bad; if even that fails it is left alone and the
//                            run saves nothing.
//   TALVENIX_SIM_LATENCY_US  reply latency in microseconds (default 1000).
//   TALVENIX_SIM_LATE_MS     how late a "late" reply comes, in milliseconds (default 1500).
//   TALVENIX_SIM_UNPLUGGED=1 start without a keyboard attached ("plug" attaches it).
//   TALVENIX_SIM_COMMANDS    control commands run at start, separated by ';'
//                            (e.g. "late-delay 50; fault late 2").
//   TALVENIX_SIM_SOCKET      control socket path; "none" turns the socket off. Default
//                            $XDG_RUNTIME_DIR/talvenix-sim.sock, else /tmp/talvenix-sim-<uid>.sock.
//
// Control commands (PelloranSimControl and the control socket, one line each, one reply line
// "ok ..." or "error: ..."):
//   plug | unplug                     attach / remove the keyboard (device-change notification)
//   gbank                             the G-bank key: consumer usage 0x02FF
//   switch-profile N                  profile N (0..2) chosen on the keyboard: ConfigBlock byte 10
//                                     becomes N, then consumer usage 0x0401
//   usage 0xNNNN                      any consumer usage
//   icon on | icon off                consumer usage 0x1811 / 0x1810
//   fault KIND [COUNT]                the next COUNT (default 1) control frames misbehave; faults
//                                     queue up in the order given. KIND is one of
//                                       drop         the frame is carried out, its reply is lost
//                                       wrong-echo   carried out, the reply names another command
//                                       status-ff    not carried out, reply status 0xFF
//                                       status-fe    not carried out, reply status 0xFE
//                                       late         carried out, the reply comes late (1500 ms,
//                                                    or as set by late-delay)
//                                       refuse-write RequestWriteOne returns 0, nothing happens
//                                       forget       the next frame that stores something is
//                                                    acknowledged but not stored
//   fault clear                       forget queued faults
//   chaos PERMILLE [SEED]             while no fault is queued, each frame meets a random fault of
//                                     the kinds above with this chance per thousand (0: off);
//                                     "status" then counts the faults injected
//   latency MICROSECONDS              reply latency, 0..10000000
//   late-delay MILLISECONDS           how late a "late" reply comes, 0..60000
//   status                            "ok plugged=1 profile=0 latency=1000 faults=none"
#ifndef TALVENIX_SERVICE_SIMULATOR_PELLORANSIM_H
#define TALVENIX_SERVICE_SIMULATOR_PELLORANSIM_H

#include <stddef.h>
#include <stdint.h>

#include "service/common/ServiceEntryPoints.h"

#ifdef __cplusplus
extern "C" {
#endif

// The keyboard's memory areas and their sizes in bytes.
enum PelloranSimArea {
    PELLORAN_SIM_CONFIG = 0,     // 44: the ConfigBlock
    PELLORAN_SIM_LIGHTING = 1,   // 126: lighting records of profiles 0..2, 42 bytes each
    PELLORAN_SIM_LAYOUT = 2,     // 378: the default (factory) key layout, read-only to the program
    PELLORAN_SIM_KEYBLOCKS = 3,  // 1134: key blocks of profiles 0..2, 378 bytes each
    PELLORAN_SIM_COLOURS = 4,    // 1536: per-key colour banks of profiles 0..2, 512 bytes each
    PELLORAN_SIM_MACROS = 5,     // 65536: macro memory
    PELLORAN_SIM_LED = 6,        // 2: the last LED status bytes written
};

// Runs one control command; `reply` receives the reply line (cut to fit, NUL-terminated).
// 0 when the command was carried out, < 0 when it was refused.
TALVENIX_SERVICE_EXPORT int PelloranSimControl(const char* command, char* reply, size_t replyCapacity);
// Copy `length` bytes of an area from `offset`: 1 ok, 0 outside the area or unknown area.
TALVENIX_SERVICE_EXPORT int PelloranSimReadMemory(int area, uint32_t offset, uint8_t* out, uint32_t length);
TALVENIX_SERVICE_EXPORT int PelloranSimWriteMemory(int area, uint32_t offset, const uint8_t* data,
                                                   uint32_t length);
// Control frames the keyboard received through RequestWriteOne since the last clear (refused
// ones are not received). The log keeps the first 100000 frames.
TALVENIX_SERVICE_EXPORT uint32_t PelloranSimFrameCount(void);
// Copies frame `index`: 1 ok, 0 no such frame.
TALVENIX_SERVICE_EXPORT int PelloranSimFrameAt(uint32_t index, uint8_t out[64]);
TALVENIX_SERVICE_EXPORT void PelloranSimClearFrames(void);
// Factory memory, keyboard attached, no faults; the latency stays.
TALVENIX_SERVICE_EXPORT void PelloranSimReset(void);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif
