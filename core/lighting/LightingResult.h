// Results of lighting operations. Device results pass through unchanged (1 success, 0 no
// keyboard, -1 refused, -2 no reply, -102 / -103 keyboard status; core/device/ResultCodes.h);
// the lighting code adds two of its own, outside the device range.
#pragma once

namespace talvenix::lighting {

inline constexpr int kLightingOk = 1;
// An argument outside its range (slider position, combo index, colour above 24 bits, set
// index, text that cannot be stored): nothing was sent and nothing changed.
inline constexpr int kLightingBadArgument = -301;
// A user colour file or the settings file could not be written (or a template not copied).
inline constexpr int kColourFileError = -302;

// What a caller tells the user after an operation.
enum class ResultKind {
    Done,             // the keyboard (and the colour file) took it, or there was nothing to do
    KeyboardRefused,  // a device failure: what the panel shows may differ from the keyboard
    FileNotSaved,     // the keyboard took it, the colour or settings file was not written
    BadArgument,      // nothing was sent and nothing changed
};
ResultKind KindOf(int result);

// A short English description of any lighting or device result, for logs and the CLI.
const char* DescribeLightingResult(int result);

}  // namespace talvenix::lighting
