// The main window's view of the keyboard: the last device count, the keyboard's own state
// (factory layout, macro space, active profile) and the profile store, and the core operations
// the window runs on them — read-back, Apply's save-and-download, import and export — turned
// into outcomes with the texts to show. Safe to call from the presence and Apply workers.
#pragma once

#include <QString>
#include <memory>
#include <mutex>

#include "core/device/ReportTransport.h"
#include "core/macros/WorkingConfig.h"
#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileStore.h"

namespace talvenix::gui {

// What Apply did.
struct ApplyOutcome {
    bool saved = false;       // the store file was rewritten
    bool downloaded = false;  // the keyboard took the configuration
    QString message;          // what to tell the user, when the download explains a failure
    bool Ok() const { return saved && downloaded; }
};

// What import did.
struct ImportOutcome {
    bool valid = false;  // the file passed validation and was loaded; nothing changed otherwise
    bool downloaded = false;
    QString formatMessage;  // the validation's own message (format error with the path)
    QString message;        // what to tell the user about the download, when it failed
};

class KeyboardSession {
public:
    KeyboardSession();
    // `documentsFolder` holds the store folder "Talvenix".
    void SetDocumentsFolder(const QString& documentsFolder);

    int LastCount() const;
    void SetLastCount(int count);

    // A keyboard arrived: factory layout and configuration block. False when the layout read
    // failed (the last good layout stays).
    bool ReadPresence(device::ReportTransport& transport);
    // The keyboard went away: the active profile becomes unknown.
    void OnRemoved();
    int CachedProfile() const { return state_.CachedProfile(); }
    profiles::KeyboardState& State() { return state_; }

    // Reads the keyboard's configuration into the store and the working configuration; the
    // default configuration on any failure. Returns whether the store folder was just created.
    bool ReadBackAndLoad(device::ReportTransport& transport, macros::WorkingConfig& working);

    // Apply: save into the store file and download the current profile.
    ApplyOutcome Apply(device::ReportTransport& transport, macros::WorkingConfig& working,
                       macros::DownloadSnapshot& snapshot);
    ImportOutcome Import(const QString& path, device::ReportTransport& transport,
                         macros::WorkingConfig& working, macros::DownloadSnapshot& snapshot);
    bool Export(const QString& path, macros::WorkingConfig& working);
    // Drops unapplied changes: the working configuration becomes the store file again.
    bool ReloadFromStore(macros::WorkingConfig& working);
    // Makes `profile` the keyboard's current profile (nothing is sent when it already is).
    bool SwitchKeyboardProfile(device::ReportTransport& transport, int profile);

    QString StoreFile() const;

private:
    profiles::ProfileStore Store() const;

    mutable std::mutex mutex_;
    int lastCount_ = 0;
    QString documentsFolder_;
    profiles::KeyboardState state_;
};

// The text a failed download explains itself with (empty when there is nothing to say).
QString DownloadMessage(const macros::DownloadOutcome& outcome);

}  // namespace talvenix::gui
