// The JSON form: any text either builds a valid profile file or is refused with a CliError;
// a built file prints back as JSON that builds the same file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/CliError.h"
#include "cli/ProfileJson.h"
#include "core/profiles/ProfileFile.h"

using namespace talvenix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint8_t> file;
    try {
        file = cli::ProfileFileFromJson(text);
    } catch (const cli::CliError& e) {
        if (e.ExitCode() != cli::kExitBadInput) std::abort();
        return 0;
    }
    if (profiles::CheckProfileFileBytes(file) != profiles::ProfileFileCheck::Valid) std::abort();
    const std::string json = cli::ProfileFileToJson(file);
    try {
        if (cli::ProfileFileFromJson(json) != file) std::abort();
    } catch (const cli::CliError&) {
        std::abort();  // our own output must be accepted
    }
    return 0;
}
