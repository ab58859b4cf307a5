// The profile file as a hostile file would reach it: validate, parse, list, and save again.
// A file that parses must serialise into a file that validates and parses to the same
// configuration.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>

#include "cli/ProfileListing.h"
#include "core/profiles/ProfileFile.h"

using namespace talvenix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto check = profiles::CheckProfileFileBytes(bytes);
    profiles::ProfileFileParse parse = profiles::ParseProfileFile(bytes);
    if (!parse.Ok()) return 0;
    std::ostringstream listing;
    cli::PrintProfileListing(parse.config, listing);

    const std::vector<std::uint8_t> saved = profiles::SerializeProfileFile(parse.config);
    if (check == profiles::ProfileFileCheck::Valid &&
        profiles::CheckProfileFileBytes(saved) != profiles::ProfileFileCheck::Valid) {
        std::abort();  // a valid file saved again must stay valid
    }
    profiles::ProfileFileParse again = profiles::ParseProfileFile(saved);
    if (!again.Ok() || again.repairs.Any()) std::abort();  // what we write needs no repair
    if (again.config.macros != parse.config.macros) std::abort();
    return 0;
}
