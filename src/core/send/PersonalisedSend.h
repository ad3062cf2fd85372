#pragma once

#include <string>
#include <vector>

namespace telvora {

/// One recipient of a personalised send.
struct PersonalisedRecipient
{
    std::string number;
    std::string text; ///< the message this number gets, as recorded
    std::string details; ///< its entry of the request's Details: "{v1}{v2};", values form-escaped
};

/// A personalised send as the engine takes it: the service merges each recipient's values
/// into the pattern.
struct PersonalisedSend
{
    std::string pattern; ///< the template with the tail; the record's content
    int placeholders = 0; ///< distinct placeholders of the pattern, one "{}" each in DefaultDetail
    std::vector<PersonalisedRecipient> recipients; ///< ordered by number; a number may come twice
};

} // namespace telvora
