#include "FuzzTargets.h"

// TELVORA_FUZZ_ENTRY names the entry function this program fuzzes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TELVORA_FUZZ_ENTRY(data, size);
}
