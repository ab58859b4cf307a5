#include "cli/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/CliError.h"
#include "core/text/AtomicFile.h"

namespace talvenix::cli {

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    if (path == "-") {
        std::istreambuf_iterator<char> it(std::cin), end;
        for (; it != end; ++it) {
            bytes.push_back(static_cast<std::uint8_t>(*it));
            if (bytes.size() > maxBytes)
                FailBadInput("standard input: more than " + std::to_string(maxBytes) + " bytes");
        }
        return bytes;
    }
    if (path.empty()) FailBadInput("a file name is needed");
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec == std::errc::too_many_symbolic_link_levels) FailBadInput(path + ": symbolic link loop");
    if (ec && ec != std::errc::no_such_file_or_directory) FailBadInput(path + ": " + ec.message());
    if (!std::filesystem::exists(status)) {
        const bool danglingLink = std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
        FailBadInput(path + (danglingLink ? ": is a symbolic link to a missing file" : ": no such file"));
    }
    if (!std::filesystem::is_regular_file(status)) FailBadInput(path + ": not a regular file");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) FailBadInput(path + ": cannot read its size");
    if (size > maxBytes) FailBadInput(path + ": too large (" + std::to_string(size) + " bytes)");
    std::ifstream in(path, std::ios::binary);
    if (!in) FailBadInput(path + ": cannot open (" + std::strerror(errno) + ")");
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) FailBadInput(path + ": read failed");
    return bytes;
}

void WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty() || path == "-") FailBadInput("an output file name is needed");
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) FailBadInput(path + ": is a folder");
    std::string error;
    if (!text::WriteFileAtomically(path, bytes, &error)) FailBadInput(error);
}

}  // namespace talvenix::cli
