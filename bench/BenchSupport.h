#pragma once

#include "app/DataDirectory.h"
#include "support/TempDir.h"

#include <chrono>
#include <sys/resource.h>

namespace telvora::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The process's peak resident size so far.
inline double peakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// A prepared data directory inside temp, finding the template as the program does.
inline CDataDirectory dataDirectory(const test::TempDir& temp)
{
    DataDirectoryInputs inputs = DataDirectoryInputs::FromProcess();
    inputs.telvoraHome = temp.path().string();
    CDataDirectory directory(inputs);
    directory.Prepare();
    return directory;
}

} // namespace telvora::bench
