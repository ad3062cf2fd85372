#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One row of the field catalogue tbl_field_info: a card column the user can see.
struct CardField
{
    int id = 0;
    std::string fieldName; // the tbl_card column
    std::string caption; // NewName
    bool shown = false; // ShowFlag: a column of the card list
    bool active = false; // ValidFlag
    int type = 1; // 1 system, 2 custom text, 3 custom date

    /// Dates: the system columns create_date and birtyday and the custom fields from id 24.
    bool isDate() const;
    /// A custom field (text or date) that the editor's custom page shows.
    bool isCustom() const { return type > 1; }
};

/// Reads and changes the field catalogue. Rows are never added or removed; the template
/// ships all 27. The system fields (ids 1 to 15) stay active and the phone (id 1) stays
/// in the list whatever is asked.
class CFieldCatalogue final
{
public:
    static constexpr int kPhoneFieldId = 1;
    static constexpr int kLastSystemFieldId = 15;
    static constexpr int kFirstDateFieldId = 24;

    explicit CFieldCatalogue(CADODataBase& database);

    /// Every row in id order, or only the active ones.
    std::vector<CardField> Load(bool activeOnly);
    /// The active fields the card list shows, in id order.
    std::vector<CardField> ListFields();

    bool SetCaption(int id, const std::string& caption);
    /// False without a change for the system fields.
    bool SetActive(int id, bool active);
    /// False without a change for the phone field.
    bool SetShown(int id, bool shown);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool setFlag(const char* column, int id, bool value);

    CADODataBase& m_database;
    std::string m_lastError;
};

/// The comma-joined column names of fields, as a select list.
std::string FieldNameList(const std::vector<CardField>& fields);

} // namespace telvora
