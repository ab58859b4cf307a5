// What every command gets: the global options, the output streams and, on demand, the
// connection to the keyboard.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/Session.h"

namespace talvenix::cli {

struct GlobalOptions {
    bool simulate = false;
    std::string language;  // "en", "zh", or empty: the user's setting, else the system's
};

class Context {
public:
    Context(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    GlobalOptions options;

    std::ostream& Out() { return out_; }
    std::ostream& Err() { return err_; }

    // The keyboard connection, opened on first use (throws CliError when it cannot be).
    Session& Keyboard() {
        if (!session_) session_ = std::make_unique<Session>(options.simulate);
        return *session_;
    }
    // The connection with a keyboard known to be attached (exit 3 otherwise).
    Session& AttachedKeyboard() {
        Session& s = Keyboard();
        s.RequireKeyboard();
        return s;
    }
    // Closes the connection (before the process's static state goes away).
    void Close() { session_.reset(); }

private:
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<Session> session_;
};

}  // namespace talvenix::cli
