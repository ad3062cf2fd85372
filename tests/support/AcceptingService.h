#pragma once

#include "send/SendEngine.h"

#include <string>

namespace telvora::test {

// A service for the send engine that accepts every job and every number; calls counts the
// calls when given.
inline ServiceCall AcceptingService(int* calls = nullptr)
{
    return [calls](const std::string& method, const std::string&, std::string& reply) {
        if (calls != nullptr)
            ++*calls;
        reply = method == "CreateJob"
            ? "<MethodResult><RetCode>Sucess</RetCode><JobID>J1</JobID></MethodResult>"
            : "<MethodResult><RetCode>Sucess</RetCode><OKPhoneCounts>1</OKPhoneCounts>"
              "<CommonJobID>C1</CommonJobID><SpecialJobIDs>S1;</SpecialJobIDs></MethodResult>";
        return CallResult::Success;
    };
}

} // namespace telvora::test
