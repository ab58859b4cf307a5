#include "gui/keys/WindowKeyEditHost.h"

#include <QFile>

#include "core/profiles/KeyboardState.h"
#include "core/profiles/ProfileSettings.h"
#include "core/text/LanguageTable.h"
#include "gui/common/WindowContext.h"

namespace talvenix::gui {

namespace {
std::string RecordDelayName() {
    std::string name = text::LanguageText(text::TextId::MACRO_ACTION_RECORD_DELAY);
    if (name.find_first_not_of(' ') == std::string::npos)
        name = std::string(profiles::kDefaultRecordDelayValue);
    return name;
}
}  // namespace

KeyEditServices ServicesFromContext(const WindowContext& context, std::function<int()> shownProfile,
                                    std::function<void()> refreshKeys) {
    KeyEditServices s;
    s.working = &context.working;
    s.prompt = &context.prompt;
    s.keyboard = &context.keyboard.State();
    s.skinFolder = context.paths.skinFolder;
    const QString program =
        context.paths.ownFileName.isEmpty() ? QStringLiteral("talvenix") : context.paths.ownFileName;
    s.settingsFile = profiles::ProfileSettings::FileFor(
        QFile::encodeName(context.paths.configFolder).toStdString(), program.toStdString());
    s.shownProfile = std::move(shownProfile);
    ApplyRequests* apply = &context.apply;
    s.keysChanged = [apply, refreshKeys = std::move(refreshKeys)](const std::vector<int>&) {
        if (refreshKeys) refreshKeys();
        apply->MarkApplyPending();
    };
    return s;
}

int WindowKeyEditHost::CurrentProfile() const { return s_.keyboard ? s_.keyboard->CachedProfile() : -1; }

int WindowKeyEditHost::ShownProfile() const {
    const int p = s_.shownProfile ? s_.shownProfile() : 0;
    return p >= 0 && p <= 2 ? p : 0;
}

std::size_t WindowKeyEditHost::MacroSpace() const {
    const int space = s_.keyboard ? s_.keyboard->MacroSpace() : 0;
    return space > 0 ? static_cast<std::size_t>(space) : 0;
}

bool WindowKeyEditHost::RecordDelay() {
    if (s_.settingsFile.empty()) return false;
    return profiles::ProfileSettings(s_.settingsFile).RecordDelay(RecordDelayName());
}

void WindowKeyEditHost::SetRecordDelay(bool on) {
    if (!s_.settingsFile.empty())
        profiles::ProfileSettings(s_.settingsFile).SetRecordDelay(on, RecordDelayName());
}

}  // namespace talvenix::gui
