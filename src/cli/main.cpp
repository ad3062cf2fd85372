#include "CliApplication.h"
#include "CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace telvora::cli;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(arguments, line, error)) {
        std::cerr << "telvora-cli: " << error << "\n(telvora-cli --help lists the commands)\n";
        return kExitRefused;
    }
    CCliApplication application(std::cout, std::cerr);
    return application.Run(line);
}
