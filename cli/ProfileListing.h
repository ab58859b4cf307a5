// What `validate` and `show` print about a profile file.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

#include "core/macros/WorkingConfig.h"
#include "core/profiles/ProfileFile.h"

namespace talvenix::cli {

// Terminal columns a text takes (East Asian wide characters count two), and the text padded
// with blanks to `width` columns (at least one blank follows it).
std::size_t DisplayWidth(const std::string& utf8);
std::string Pad(const std::string& text, std::size_t width);

// Why a file is refused, naming the field and what it holds: "macro count is 101, at most 100
// allowed". `check` is CheckProfileFileBytes of the same bytes (not Valid).
std::string ExplainProfileFileCheck(std::span<const std::uint8_t> bytes, profiles::ProfileFileCheck check);

// Parses `bytes` after checking them; throws CliError (exit 1) with the explanation above when
// they are not a valid profile file. `name` prefixes the message.
macros::Configuration ParseValidProfileFile(std::span<const std::uint8_t> bytes, const std::string& name);

// The readable listing: per profile, every assigned key (name, kind, target), the G keys per
// bank, the macros with their actions, the strings of launch and text keys. Names come from the
// current language table.
void PrintProfileListing(const macros::Configuration& config, std::ostream& out);

}  // namespace talvenix::cli
