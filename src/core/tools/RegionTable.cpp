#include "tools/RegionTable.h"

#include "db/ADODataBase.h"
#include "db/PreparedStatement.h"
#include "session/TextUtil.h"

namespace telvora {

namespace {

constexpr const char* kOpenFailed = "打开号码查询数据库失败！";

} // namespace

std::uint32_t CRegionTable::intern(std::string_view name)
{
    if (name.empty()) {
        return 0;
    }
    const auto [found, added] = m_nameIds.try_emplace(std::string(name), static_cast<std::uint32_t>(m_names.size()));
    if (added) {
        m_names.emplace_back(name);
    }
    return found->second;
}

bool CRegionTable::Load(CADODataBase& database)
{
    m_names.assign(1, std::string());
    m_nameIds.clear();
    m_bySegment.clear();
    CPreparedStatement query(&database);
    if (!query.Prepare("SELECT province, city, segment FROM mobileSegment ")) {
        m_lastError = query.GetLastError();
        return false;
    }
    while (query.Step()) {
        const Entry entry {intern(TrimAscii(query.GetText(0))), intern(TrimAscii(query.GetText(1)))};
        m_bySegment.insert_or_assign(std::string(TrimAscii(query.GetText(2))), entry);
    }
    if (query.HasFailed()) {
        m_lastError = query.GetLastError();
        return false;
    }
    m_lastError.clear();
    return true;
}

bool CRegionTable::LoadFile(const std::string& path)
{
    CADODataBase database;
    if (!database.OpenReadOnly(path) || !Load(database)) {
        m_lastError = kOpenFailed;
        return false;
    }
    return true;
}

Region CRegionTable::Lookup(std::string_view number) const
{
    const auto found = m_bySegment.find(number.substr(0, 7));
    if (found == m_bySegment.end()) {
        return {};
    }
    return {m_names[found->second.province], m_names[found->second.city]};
}

} // namespace telvora
