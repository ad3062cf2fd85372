// Runs every file of a seed corpus through a fuzz entry function, so that builds without
// clang still check the seeds (and any crash input added to the corpus) on every test run.
#include "FuzzTargets.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s xml_reader|percent_escape <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string target = argv[1];
    int (*entry)(const std::uint8_t*, std::size_t) = nullptr;
    if (target == "xml_reader") {
        entry = telvora::fuzz::FuzzXmlReader;
    } else if (target == "percent_escape") {
        entry = telvora::fuzz::FuzzPercentEscape;
    } else {
        std::fprintf(stderr, "unknown target %s\n", target.c_str());
        return 2;
    }

    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(argv[2])) {
        if (!file.is_regular_file()) {
            continue;
        }
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::printf("%s\n", file.path().filename().c_str());
        std::fflush(stdout);
        entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
