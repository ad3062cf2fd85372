#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CADODataBase;

struct PhraseGroup
{
    int id = 0;
    std::string name;
};

struct Phrase
{
    int id = 0;
    std::string title;
    std::string message;
    std::string group;
};

/// The phrase library: ready-made texts in groups (tbl_message_folder, tbl_message).
/// Phrases belong to a group by its name. Every refusal or failure returns false and
/// leaves the text to show in GetMessage().
class CPhraseLibrary final
{
public:
    /// The group the send engine files every sent text under; not a row of the folders.
    static constexpr std::string_view kSentGroup = "已发送短语";

    explicit CPhraseLibrary(CADODataBase& database);

    std::vector<PhraseGroup> ListGroups();
    std::vector<Phrase> ListPhrases(std::string_view group);

    bool AddPhrase(std::string_view title, std::string_view content, std::string_view group);
    bool ModifyPhrase(int id, std::string_view title, std::string_view content, std::string_view group);
    bool DeletePhrase(int id);

    /// A new group; refused when the name is taken. newId is the group's id.
    bool AddGroup(std::string_view name, int& newId);
    /// Renames a group and moves its phrases with it; refused when the new name is taken.
    bool RenameGroup(int id, std::string_view oldName, std::string_view newName);
    /// Deletes a group together with all its phrases.
    bool DeleteGroup(int id, std::string_view name);
    /// Makes sure a group of that name exists; the sent texts' group always does.
    bool EnsureGroup(std::string_view name);

    using ImportProgress = std::function<void(std::size_t done, std::size_t total)>;
    /// Files the first column of every sheet's rows under a group named after the sheet
    /// (created when missing); the first row holds the captions. imported counts phrases.
    bool ImportSpreadsheet(const std::string& path, std::size_t& imported, const ImportProgress& progress = {});

    const std::string& GetMessage() const { return m_message; }

private:
    bool refuse(std::string message);
    bool failed();
    bool groupExists(std::string_view name);

    CADODataBase& m_database;
    std::string m_message;
};

} // namespace telvora
