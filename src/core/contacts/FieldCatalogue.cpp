#include "contacts/FieldCatalogue.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"

namespace telvora {

bool CardField::isDate() const
{
    return id >= CFieldCatalogue::kFirstDateFieldId || fieldName == "create_date" || fieldName == "birtyday";
}

CFieldCatalogue::CFieldCatalogue(CADODataBase& database)
    : m_database(database)
{ }

std::vector<CardField> CFieldCatalogue::Load(bool activeOnly)
{
    std::vector<CardField> fields;
    CADORecordset recordset(&m_database);
    const std::string sql = activeOnly ? "SELECT * FROM tbl_field_info WHERE ValidFlag=TRUE ORDER BY id"
                                       : "SELECT * FROM tbl_field_info ORDER BY id";
    if (!recordset.Open(sql)) {
        m_lastError = recordset.GetLastError();
        return fields;
    }
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        CardField field;
        recordset.GetFieldValue("id", field.id);
        recordset.GetFieldValue("FieldName", field.fieldName);
        recordset.GetFieldValue("NewName", field.caption);
        recordset.GetFieldValue("ShowFlag", field.shown);
        recordset.GetFieldValue("ValidFlag", field.active);
        recordset.GetFieldValue("FieldType", field.type);
        fields.push_back(std::move(field));
    }
    return fields;
}

std::vector<CardField> CFieldCatalogue::ListFields()
{
    std::vector<CardField> fields = Load(true);
    std::erase_if(fields, [](const CardField& field) { return !field.shown && field.id != kPhoneFieldId; });
    return fields;
}

bool CFieldCatalogue::SetCaption(int id, const std::string& caption)
{
    CPreparedStatement statement(&m_database);
    if (!statement.Prepare("UPDATE tbl_field_info SET NewName=? WHERE id = ?") || !statement.BindText(1, caption)
        || !statement.BindInt(2, id) || !statement.Execute()) {
        m_lastError = statement.GetLastError();
        return false;
    }
    return true;
}

bool CFieldCatalogue::SetActive(int id, bool active)
{
    if (id <= kLastSystemFieldId) {
        m_lastError = "系统字段不能取消激活";
        return false;
    }
    return setFlag("ValidFlag", id, active);
}

bool CFieldCatalogue::SetShown(int id, bool shown)
{
    if (id == kPhoneFieldId) {
        m_lastError = "手机字段总在列表显示";
        return false;
    }
    return setFlag("ShowFlag", id, shown);
}

bool CFieldCatalogue::setFlag(const char* column, int id, bool value)
{
    if (!m_database.Execute("UPDATE tbl_field_info SET " + std::string(column) + "=" + (value ? "1" : "0")
            + " WHERE id = " + std::to_string(id))) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    return true;
}

std::string FieldNameList(const std::vector<CardField>& fields)
{
    std::string list;
    for (const CardField& field : fields) {
        if (!list.empty())
            list += ",";
        list += field.fieldName;
    }
    return list;
}

} // namespace telvora
