#include "app/FrameServices.h"

namespace telvora {

FrameServices::~FrameServices() = default;

} // namespace telvora
