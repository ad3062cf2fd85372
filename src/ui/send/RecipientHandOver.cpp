#include "send/RecipientHandOver.h"

#include <utility>

namespace telvora {

void RecipientHandOver::handOverRecipients(std::vector<std::string> numbers, const CarrierCounts& counts)
{
    m_recipients.insert(
        m_recipients.end(), std::make_move_iterator(numbers.begin()), std::make_move_iterator(numbers.end()));
    m_counts.mobile += counts.mobile;
    m_counts.unicom += counts.unicom;
    m_counts.telecom += counts.telecom;
}

void RecipientHandOver::handOverNumber(const std::string& number)
{
    m_singleNumbers.push_back(number);
}

std::vector<std::string> RecipientHandOver::takeRecipients(CarrierCounts& counts)
{
    counts = std::exchange(m_counts, {});
    return std::exchange(m_recipients, {});
}

std::vector<std::string> RecipientHandOver::takeSingleNumbers()
{
    return std::exchange(m_singleNumbers, {});
}

} // namespace telvora
