#pragma once

#include <mutex>
#include <string>

namespace telvora {

class CADODataBase;

/// The process-wide counter every new tbl_card.id is drawn from, so that ids rise strictly
/// whichever path inserts a card and whichever connection to the file it uses. It starts
/// from MAX(id)+1 of the database it is first asked for, and starts again when asked for
/// another database file or after Reset(). Safe to use from several threads.
class CNextCardId final
{
public:
    /// Increments the counter and returns its new value, the id of the card about to be
    /// inserted into database. 0 when the database cannot be read.
    long Take(CADODataBase& database);
    /// Forgets the counter, for when the working database was switched or replaced.
    void Reset();

private:
    std::mutex m_mutex;
    std::string m_path; // the database the counter belongs to
    long m_last = 0;
    bool m_loaded = false;
};

} // namespace telvora
