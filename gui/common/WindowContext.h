// What a window of the program may use: the working configuration, the prompt, the keyboard
// worker and the keyboard's state, the program's paths, and two narrow services of the main
// window. Windows never see the main window itself.
#pragma once

#include "core/macros/WorkingConfig.h"
#include "gui/app/AppPaths.h"
#include "gui/common/KeyboardJobs.h"
#include "gui/common/KeyboardSession.h"
#include "gui/common/Prompt.h"

namespace talvenix::gui {

class CBaseDialog;

// Editor dialogs register while open: unplugging the keyboard closes them, Quit asks them
// first, and the profile switch waits while one is open.
class DialogRegistry {
public:
    virtual ~DialogRegistry() = default;
    virtual void RegisterDialog(CBaseDialog* dialog) = 0;
    virtual void UnregisterDialog(CBaseDialog* dialog) = 0;
    virtual bool EditorOpen() const = 0;
};

// An edit the keyboard has not seen yet: Apply becomes enabled; RequestApply sends it.
class ApplyRequests {
public:
    virtual ~ApplyRequests() = default;
    virtual void MarkApplyPending() = 0;
    virtual void RequestApply() = 0;
};

struct WindowContext {
    macros::WorkingConfig& working;
    Prompt& prompt;
    KeyboardJobs& jobs;         // every keyboard call goes through here
    KeyboardSession& keyboard;  // use it inside jobs for anything that talks to the keyboard
    const AppPaths& paths;
    DialogRegistry& dialogs;
    ApplyRequests& apply;
};

}  // namespace talvenix::gui
