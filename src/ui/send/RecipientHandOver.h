#pragma once

#include "send/NumberList.h"

#include <string>
#include <vector>

namespace telvora {

// Numbers other views hand to the send page before they switch to it and broadcast
// hint 1. One per process, owned by the application object; the send view empties the
// lists as it takes them.
class RecipientHandOver final
{
public:
    // A list of recipients that becomes one "短信发送" row (card list, send records).
    void handOverRecipients(std::vector<std::string> numbers, const CarrierCounts& counts);
    // Single numbers that become one "手工添加" row each (picker, records, today view).
    void handOverNumber(const std::string& number);

    const std::vector<std::string>& recipients() const { return m_recipients; }
    const CarrierCounts& recipientCounts() const { return m_counts; }
    const std::vector<std::string>& singleNumbers() const { return m_singleNumbers; }

    std::vector<std::string> takeRecipients(CarrierCounts& counts);
    std::vector<std::string> takeSingleNumbers();

private:
    std::vector<std::string> m_recipients;
    CarrierCounts m_counts;
    std::vector<std::string> m_singleNumbers;
};

} // namespace telvora
