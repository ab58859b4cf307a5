#include <iostream>

#include "cli/CliApp.h"
#include "platform/FileSync.h"

int main(int argc, char** argv) {
    talvenix::platform::InstallFileSync();  // saved files reach the disk before we report success
    return talvenix::cli::RunCli(argc, argv, std::cout, std::cerr);
}
