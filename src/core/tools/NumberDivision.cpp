#include "tools/NumberDivision.h"

#include "session/TextUtil.h"
#include "tools/NumberTextFile.h"

#include <algorithm>

namespace telvora {

namespace {

constexpr const char* kCreateFailed = "创建导出文件失败!";
constexpr const char* kDone = "分离手机号码列表完成!";

} // namespace

CNumberDivision::CNumberDivision(const CRegionTable& regions)
    : m_regions(regions)
{ }

NumberFileResult CNumberDivision::LoadFile(const std::string& path)
{
    m_numbers = {};
    m_carriers.clear();
    NumberFileResult result;
    const auto onLine = [this](std::string_view line) {
        std::string_view number = TrimAscii(line);
        if (!number.empty() && number.front() != '0' && number.size() > 11) {
            number = number.substr(number.size() - 11);
        }
        const Carrier carrier = ClassifyMobileNumber(number);
        if (carrier != Carrier::Invalid) {
            m_numbers.numbers.emplace_back(number);
            m_numbers.counts.add(carrier);
            m_carriers.push_back(carrier);
        }
    };
    switch (readTextLines(path, onLine, result.encoding, result.lines)) {
    case TextReadStatus::OpenFailed:
        result.status = NumberFileResult::Status::OpenFailed;
        result.message = "打开加载文件[" + path + "]失败!";
        m_numbers = {};
        m_carriers.clear();
        return result;
    case TextReadStatus::Cancelled:
        result.status = NumberFileResult::Status::Cancelled;
        m_numbers = {};
        m_carriers.clear();
        return result;
    case TextReadStatus::NoText:
    case TextReadStatus::Read:
        break;
    }
    result.status = m_numbers.numbers.empty() ? NumberFileResult::Status::NotFound : NumberFileResult::Status::Loaded;
    return result;
}

void CNumberDivision::SetNumbers(const std::vector<std::string>& numbers)
{
    m_numbers = {};
    m_carriers.clear();
    for (const std::string& number : numbers) {
        if (m_numbers.addIfMobile(number)) {
            m_carriers.push_back(ClassifyMobileNumber(m_numbers.numbers.back()));
        }
    }
}

std::string CNumberDivision::CheckStart(DivisionMode mode, std::string_view name) const
{
    if (m_numbers.numbers.empty()) {
        return "请先选择一个需要分离号码的文件！";
    }
    if (mode == DivisionMode::Extract && name.empty()) {
        return "请输入需要提取的省/市名称！";
    }
    if (mode == DivisionMode::Remove && name.empty()) {
        return "请输入需要去除的的省/市名称！";
    }
    return {};
}

bool CNumberDivision::Selects(const Region& region, std::string_view name)
{
    if (region.province.empty() || region.city.empty()) {
        return false;
    }
    return region.city == name || name.find(region.city) != std::string_view::npos || region.province == name
        || name.find(region.province) != std::string_view::npos;
}

bool CNumberDivision::Retains(const Region& region, std::string_view name)
{
    return region.province != name && region.city != name;
}

bool CNumberDivision::taken(DivisionMode mode, std::string_view name, std::string_view number) const
{
    const Region region = m_regions.Lookup(number);
    return mode == DivisionMode::Extract ? Selects(region, name) : Retains(region, name);
}

DivisionOutcome CNumberDivision::WriteFiles(DivisionMode mode, std::string_view name, const std::string& base) const
{
    DivisionOutcome outcome;
    const auto write = [&](const std::string& path, const std::vector<std::string_view>& numbers) {
        if (!AppendNumberLines(path, numbers)) {
            outcome.message = kCreateFailed;
            return false;
        }
        outcome.files.push_back({path, numbers.size()});
        return true;
    };
    const std::vector<std::string>& all = m_numbers.numbers;

    if (mode == DivisionMode::ByProvince || mode == DivisionMode::ByCity) {
        // Grouped by name id; the groups are then taken in the order of their names.
        std::vector<std::vector<std::string_view>> groups(m_regions.GetNameCount());
        for (const std::string& number : all) {
            const CRegionTable::RegionIds ids = m_regions.LookupIds(number);
            groups[mode == DivisionMode::ByProvince ? ids.province : ids.city].push_back(number);
        }
        std::vector<std::uint32_t> order;
        for (std::uint32_t id = 0; id < groups.size(); ++id) {
            if (!groups[id].empty()) {
                order.push_back(id);
            }
        }
        std::sort(order.begin(), order.end(),
            [this](std::uint32_t a, std::uint32_t b) { return m_regions.Name(a) < m_regions.Name(b); });
        const std::string unknown = mode == DivisionMode::ByProvince ? "未知省份号码" : "未知城市号码";
        for (const std::uint32_t id : order) {
            const std::string label = id == 0 ? unknown : m_regions.Name(id);
            if (!write(base + label + "(" + std::to_string(groups[id].size()) + ").txt", groups[id])) {
                return outcome;
            }
        }
    } else if (mode == DivisionMode::ByCarrier) {
        static constexpr std::pair<Carrier, const char*> files[] = {{Carrier::ChinaMobile, "-移动.txt"},
            {Carrier::ChinaUnicom, "-联通.txt"}, {Carrier::ChinaTelecom, "-电信.txt"}};
        for (const auto& [carrier, suffix] : files) {
            std::vector<std::string_view> numbers;
            for (std::size_t i = 0; i < all.size(); ++i) {
                if (m_carriers[i] == carrier) {
                    numbers.push_back(all[i]);
                }
            }
            if (!write(base + suffix, numbers)) {
                return outcome;
            }
        }
    } else {
        std::vector<std::string_view> numbers;
        for (const std::string& number : all) {
            if (taken(mode, name, number)) {
                numbers.push_back(number);
            }
        }
        if (!write(base + "(" + std::to_string(numbers.size()) + ").txt", numbers)) {
            return outcome;
        }
    }
    outcome.ok = true;
    outcome.message = kDone;
    return outcome;
}

CollectedNumbers CNumberDivision::Filter(DivisionMode mode, std::string_view name) const
{
    CollectedNumbers result;
    if (mode != DivisionMode::Extract && mode != DivisionMode::Remove) {
        return result;
    }
    for (const std::string& number : m_numbers.numbers) {
        if (taken(mode, name, number)) {
            result.addIfMobile(number);
        }
    }
    return result;
}

} // namespace telvora
