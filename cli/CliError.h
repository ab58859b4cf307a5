// How talvenix-cli fails: every refusal or error is one CliError carrying the exit code and the
// one line that goes to stderr. Commands throw it; RunCli() prints it and returns the code.
#pragma once

#include <stdexcept>
#include <string>

namespace talvenix::cli {

// Exit codes, part of the command line interface scripts rely on.
enum ExitCode : int {
    kExitOk = 0,
    kExitBadInput = 1,       // a file or value was refused; nothing was changed
    kExitUsage = 2,          // wrong command line
    kExitNoKeyboard = 3,     // no keyboard attached
    kExitKeyboardError = 4,  // the keyboard or its service library failed
};

class CliError : public std::runtime_error {
public:
    CliError(int exitCode, const std::string& message) : std::runtime_error(message), code_(exitCode) {}
    int ExitCode() const { return code_; }

private:
    int code_;
};

// Shorthands for the common cases.
[[noreturn]] inline void FailBadInput(const std::string& message) { throw CliError(kExitBadInput, message); }
[[noreturn]] inline void FailUsage(const std::string& message) { throw CliError(kExitUsage, message); }

// `text` made safe for a terminal: valid UTF-8, line breaks as spaces, other control characters
// (C0, DEL and C1, which could steer the terminal) as '?'.
std::string PrintableText(const std::string& text);

// Turns a device result (1 = success) into nothing or a CliError: 0 means the keyboard went
// away (exit 3), anything else is a keyboard error (exit 4). `what` names the operation.
void CheckDeviceResult(int result, const std::string& what);

}  // namespace talvenix::cli

namespace talvenix::device {
struct VerifyResult;
}

namespace talvenix::cli {

// A read-back that did not match what was written is a keyboard error (exit 4) naming the area;
// a read-back that could not be done fails as its device result does.
void CheckVerifyResult(const device::VerifyResult& result);

}  // namespace talvenix::cli
