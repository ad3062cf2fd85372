#pragma once

#include <cstddef>

namespace telvora {

/// Hears how far a long import or export has come. It is called on the thread doing the
/// work; a window turns the calls into queued signals.
class CProgressObserver
{
public:
    virtual ~CProgressObserver() = default;
    virtual void progressed(std::size_t done, std::size_t total) = 0;
};

} // namespace telvora
