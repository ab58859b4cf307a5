// The process-wide current configuration (`WorkingConfig`) and the copy a download is built
// from (`DownloadSnapshot`). Both hold a `Configuration`: the profile image (headers and the
// 2048 key assignment records), the macro array in list order, and the key string table.
//
// Locking: each has its own mutex (KeyTableLock for WorkingConfig, MacroTableLock for the
// snapshot), always taken in that order. Access goes through a lock handle:
//     auto cfg = working.Lock();          // holds KeyTableLock until `cfg` dies
//     int pos = cfg->MacroPositionOfId(5);
// Code that holds a handle calls methods on it; the mutexes are not re-entrant.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "core/keys/KeyAssignment.h"
#include "core/macros/KeyStringTable.h"
#include "core/macros/MacroRecord.h"
#include "core/macros/ProfileImage.h"

namespace talvenix::macros {

// What CommitMacroList did.
struct CommitOutcome {
    enum class Result {
        Committed,    // the list is installed and bindings repaired
        Rejected,     // the list breaks a limit (more than 100 macros, 2000 actions, an id
                      // outside 1..100 or used twice): nothing changed
        OutOfMemory,  // nothing changed
    };
    Result result = Result::Committed;
    // Key records (0..2047, record 512 * profile + slot) whose macro binding was dropped: they
    // are now default keys and their buttons should show so.
    std::vector<int> unboundRecords;
    // Key records whose macro id 0 was bound to the first macro of the list.
    std::vector<int> reboundRecords;
};

struct Configuration {
    ProfileImage image = DefaultProfileImage();
    std::vector<MacroRecord> macros;  // list order = editor order = keyboard image order
    KeyStringTable strings;

    // 0-based position of the macro with this id; 0 when no macro has it.
    int MacroPositionOfId(int id) const;
    // The id of the macro at `position`; 0 for a negative or out-of-range position.
    int MacroIdAtPosition(int position) const;
    // The macro with this id, or nullptr.
    const MacroRecord* MacroOfId(int id) const;
    int MacroCount() const { return static_cast<int>(macros.size()); }

    // The record of profile `profile` (0..3), slot `slot` (0..511).
    keys::KeyAssignment AssignmentOf(int profile, int slot) const;
    // Writes bytes 0..7 of `record` (kind, tag, value), keeping bytes 8..15.
    void StoreAssignment(int profile, int slot, const keys::KeyAssignment& record);

    // Rewrites the profile header for the current macro count and string total.
    void RefreshHeader();

    // Replaces the macro array with `list` and repairs key bindings across all 2048 records:
    // a kind-4 record whose id no macro of the list has, or whose macro was created in the
    // editor (new flag 1, i.e. a reused id), becomes a default key; a kind-4 record with id 0
    // is bound to the first macro (when the list is not empty). New flags are cleared.
    CommitOutcome CommitMacroList(std::span<const MacroRecord> list);

    // Free the strings (and zero the total), the macros, the profile image (zero-filled).
    void ReleaseKeyStrings() { strings.Clear(); }
    void ReleaseMacros() { macros.clear(); }
    void ReleaseProfileImage() { image = ProfileImage{}; }

    bool operator==(const Configuration&) const = default;
};

// The lowest id in 1..100 that no macro of `list` uses (ids of deleted macros are reused);
// 0 when all 100 are taken.
int NextFreeMacroId(std::span<const MacroRecord> list);

// State of the macro recorder, guarded with the working configuration.
struct RecorderState {
    bool recording = false;
    const void* target = nullptr;       // the editor receiving recorded actions (identity only)
    std::uint64_t lastEventTickMs = 0;  // time of the last recorded event
};

// A reference to a guarded value that holds its mutex while it lives.
template <typename T>
class Locked {
public:
    Locked(std::mutex& m, T& value) : lock_(m), value_(&value) {}
    T* operator->() const { return value_; }
    T& operator*() const { return *value_; }

private:
    std::unique_lock<std::mutex> lock_;
    T* value_;
};

class WorkingConfig {
public:
    struct State {
        Configuration config;
        RecorderState recorder;
    };
    class Handle {
    public:
        Handle(std::mutex& m, State& s) : locked_(m, s) {}
        Configuration* operator->() const { return &locked_->config; }
        Configuration& operator*() const { return locked_->config; }
        RecorderState& Recorder() const { return locked_->recorder; }

    private:
        Locked<State> locked_;
    };

    // Takes KeyTableLock until the handle dies.
    Handle Lock() { return Handle(mutex_, state_); }

    // Each of these takes KeyTableLock for its own duration.
    int MacroPositionOfId(int id);
    int MacroIdAtPosition(int position);
    CommitOutcome CommitMacroList(std::span<const MacroRecord> list);
    // Installs a freshly loaded configuration in one step.
    void Replace(Configuration&& fresh);
    Configuration Copy();

private:
    std::mutex mutex_;
    State state_;
};

class DownloadSnapshot {
public:
    using Handle = Locked<Configuration>;
    // Takes MacroTableLock until the handle dies. Take KeyTableLock first when both are needed.
    Handle Lock() { return Handle(mutex_, config_); }

private:
    std::mutex mutex_;
    Configuration config_;
};

}  // namespace talvenix::macros
