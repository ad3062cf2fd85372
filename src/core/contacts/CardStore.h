#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

struct CardFolder
{
    long id = 0;
    std::string name;
    long parentId = 0; // 0 for a root folder
};

/// The folders, cards and copy rows of the address book: every change the folder tree and
/// the card list make. A card has one home folder (tbl_card.folder_id) and may be listed in
/// further folders through copy rows; a folder lists its own cards only, not those of its
/// subfolders. Changes that touch several rows run in one transaction.
class CCardStore final
{
public:
    enum class NameResult { Done, Duplicate, Empty, Failed };
    static constexpr std::size_t kDeleteGroupSize = 200;

    explicit CCardStore(CADODataBase& database);

    /// The folders the tree shows, in the order to add them: by id, each after its parent.
    /// A folder whose parent does not come before it is left out, and so are its own
    /// subfolders.
    std::vector<CardFolder> LoadFolderTree();
    /// A new folder under parentId (0: a root folder). Names are unique across the tree.
    NameResult NewFolder(const std::string& name, long parentId, long& id);
    NameResult RenameFolder(long id, const std::string& name);
    /// The folder of that name wherever it stands, else a new one under parentId; 0 on failure.
    long EnsureFolder(const std::string& name, long parentId);
    std::string FolderName(long id);

    /// Deletes the folder, its subfolders, the cards whose home is among them and every copy
    /// row that lists such a card or lies in such a folder.
    bool DeleteFolder(long id);
    /// Deletes the cards whose home is the folder, and the folder's copy rows.
    bool ClearFolder(long id);
    /// Deletes every card and copy row; the folders stay.
    bool ClearAll();
    /// Deletes the cards and all their copy rows, kDeleteGroupSize ids to a statement.
    bool DeleteCards(const std::vector<long>& cardIds);
    /// Takes the cards out of folderId. A card listed there as a copy loses that copy. A
    /// card at home there moves home to the folder of its first remaining copy, or is
    /// deleted when it has none.
    bool RemoveFromFolder(const std::vector<long>& cardIds, long folderId);
    /// Lists the cards in the folders too; a card already listed in a folder (or at home
    /// there) gets no second listing. Ids of cards that do not exist are passed over.
    bool CopyToFolders(const std::vector<long>& cardIds, const std::vector<long>& folderIds);

    /// "mailto:" and each non-empty e-mail address of the cards followed by ";", in card id
    /// order; empty when none of them has an address.
    std::string MailtoAddress(const std::vector<long>& cardIds);
    /// The web chat address for the card's QQ number; empty when it has none, or one that is
    /// not a number.
    std::string QqChatAddress(long cardId);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool nameTaken(const std::string& name, long exceptId);
    bool run(const std::string& sql);
    bool inTransaction(const std::vector<std::string>& statements);
    bool fail(const std::string& text);

    CADODataBase& m_database;
    std::string m_lastError;
};

/// The ids as a comma list for an IN (...) clause.
std::string IdList(const std::vector<long>& ids);

} // namespace telvora
