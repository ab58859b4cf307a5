#include "gui/common/KeyboardSession.h"

#include <QDir>
#include <QFile>

#include "core/macros/MacroDownload.h"
#include "core/profiles/ProfileTransfer.h"
#include "core/profiles/ReadBack.h"
#include "core/text/LanguageTable.h"
#include "core/text/SafeFormat.h"
#include "core/text/Utf.h"

namespace talvenix::gui {

namespace {

std::filesystem::path FsPath(const QString& p) {
    return std::filesystem::path(QFile::encodeName(p).toStdString());
}

QString Text(text::TextId id) { return QString::fromStdString(text::LanguageText(id)); }

// The prefix of macro names a read-back invents ("Macro1", ...).
std::u16string MacroPrefix() {
    const std::string prefix = text::LanguageText(text::TextId::MACRO_NEW_PREFIX);
    const QString trimmed = QString::fromStdString(prefix).trimmed();
    return trimmed.isEmpty() ? std::u16string(u"Macro") : trimmed.toStdU16String();
}

}  // namespace

QString DownloadMessage(const macros::DownloadOutcome& outcome) {
    using R = macros::DownloadOutcome::Result;
    if (outcome.result == R::MacroSpaceExceeded) return Text(text::TextId::EXTRA_MACRO_TOO_LONG);
    if (outcome.result == R::Written && outcome.namesDropped)
        return Text(text::TextId::EXTRA_PROFILE_SPACE_TIGHT);
    return {};
}

KeyboardSession::KeyboardSession() = default;

void KeyboardSession::SetDocumentsFolder(const QString& documentsFolder) {
    std::lock_guard lock(mutex_);
    documentsFolder_ = documentsFolder;
}

profiles::ProfileStore KeyboardSession::Store() const {
    std::lock_guard lock(mutex_);
    return profiles::ProfileStore(FsPath(documentsFolder_));
}

QString KeyboardSession::StoreFile() const { return QString::fromStdString(Store().StoreFile().string()); }

int KeyboardSession::LastCount() const {
    std::lock_guard lock(mutex_);
    return lastCount_;
}

void KeyboardSession::SetLastCount(int count) {
    std::lock_guard lock(mutex_);
    lastCount_ = count;
}

bool KeyboardSession::ReadPresence(device::ReportTransport& transport) {
    return state_.OnKeyboardArrived(transport).LayoutOk();
}

void KeyboardSession::OnRemoved() { state_.OnKeyboardRemoved(); }

bool KeyboardSession::ReadBackAndLoad(device::ReportTransport& transport, macros::WorkingConfig& working) {
    const auto outcome = profiles::ReadBackAndLoad(Store(), state_, transport, working, MacroPrefix());
    return outcome.folder == profiles::ProfileStore::FolderResult::Created;
}

ApplyOutcome KeyboardSession::Apply(device::ReportTransport& transport, macros::WorkingConfig& working,
                                    macros::DownloadSnapshot& snapshot) {
    ApplyOutcome outcome;
    outcome.saved = profiles::SaveToStore(Store(), working);
    const auto download = profiles::DownloadToKeyboard(working, snapshot, state_, transport, false);
    outcome.downloaded = download.result == macros::DownloadOutcome::Result::Written;
    outcome.message = DownloadMessage(download);
    return outcome;
}

ImportOutcome KeyboardSession::Import(const QString& path, device::ReportTransport& transport,
                                      macros::WorkingConfig& working, macros::DownloadSnapshot& snapshot) {
    ImportOutcome outcome;
    const auto result =
        profiles::ImportProfileFile(FsPath(path), working, snapshot, Store(), state_, transport);
    using R = profiles::ImportOutcome::Result;
    if (result.result == R::Invalid || result.result == R::LoadFailed) {
        // A file that cannot even be opened gets only the import message; a bad one both.
        if (result.result == R::Invalid && result.check != profiles::ProfileFileCheck::Missing &&
            result.check != profiles::ProfileFileCheck::CannotOpen) {
            outcome.formatMessage = Text(text::TextId::PROFILE_FORMAT_ERROR);
            outcome.formatMessage.replace(QStringLiteral("%s"), QDir::toNativeSeparators(path));
        }
        return outcome;
    }
    outcome.valid = true;
    outcome.downloaded = result.result == R::Imported;
    outcome.message = DownloadMessage(result.download);
    return outcome;
}

bool KeyboardSession::ReloadFromStore(macros::WorkingConfig& working) {
    return profiles::ReloadFromStore(Store(), working) == profiles::ProfileFileLoad::Status::Ok;
}

bool KeyboardSession::SwitchKeyboardProfile(device::ReportTransport& transport, int profile) {
    if (state_.GetCurrentProfile(transport) == profile) return true;
    return profiles::SwitchProfileOnKeyboard(state_, transport, profile).Ok();
}

bool KeyboardSession::Export(const QString& path, macros::WorkingConfig& working) {
    return profiles::ExportProfileFile(FsPath(path), working);
}

}  // namespace talvenix::gui
