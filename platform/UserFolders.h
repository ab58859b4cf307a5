// Where this user's files live, and what the system says about the user's language.
#pragma once

#include <filesystem>
#include <string>

namespace talvenix::platform {

// The folder of the running executable (the service library and Skins sit beside it).
// TALVENIX_PROGRAM_DIR overrides it (tests run from other folders).
std::filesystem::path ProgramFolder();

// $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path ConfigFolder();

// The XDG documents folder: XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Documents.
std::filesystem::path DocumentsFolder();

// $HOME, else the password database's home folder.
std::filesystem::path HomeFolder();

// The locale name the user runs under (LC_ALL, else LC_MESSAGES, else LANG), e.g. "zh_CN.UTF-8"; may be
// empty.
std::string SystemLanguageString();

}  // namespace talvenix::platform
