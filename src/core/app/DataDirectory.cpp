#include "app/DataDirectory.h"

#include "app/AppConstants.h"
#include "app/AtomicWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace telvora {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool isFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

DataDirectoryInputs DataDirectoryInputs::FromProcess()
{
    DataDirectoryInputs inputs;
    std::error_code error;
    const fs::path binary = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        inputs.binaryDirectory = binary.parent_path().string();
    }
    inputs.telvoraHome = environment("TELVORA_HOME");
    inputs.xdgDataHome = environment("XDG_DATA_HOME");
    inputs.home = environment("HOME");
    inputs.templateDirectory = environment("TELVORA_TEMPLATE_DIR");
    return inputs;
}

CDataDirectory::CDataDirectory(DataDirectoryInputs inputs)
    : m_inputs(std::move(inputs))
{
}

std::string CDataDirectory::resolve()
{
    if (!m_inputs.telvoraHome.empty()) {
        return m_inputs.telvoraHome;
    }
    if (!m_inputs.binaryDirectory.empty() && isFile(fs::path(m_inputs.binaryDirectory) / kSetupFileName)) {
        return m_inputs.binaryDirectory;
    }
    // XDG base directories must be absolute; a relative value is ignored.
    if (!m_inputs.xdgDataHome.empty() && fs::path(m_inputs.xdgDataHome).is_absolute()) {
        return (fs::path(m_inputs.xdgDataHome) / "telvora").string();
    }
    if (!m_inputs.home.empty()) {
        return (fs::path(m_inputs.home) / ".local" / "share" / "telvora").string();
    }
    return {};
}

bool CDataDirectory::Prepare()
{
    m_path.clear();
    std::string path = resolve();
    if (path.empty()) {
        m_lastError = "无法确定数据目录：TELVORA_HOME、XDG_DATA_HOME 和 HOME 都未设置";
        return false;
    }
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }

    std::error_code error;
    if (!fs::exists(path, error)) {
        fs::create_directories(path, error);
        if (error) {
            m_lastError = "无法创建数据目录 " + path + "：" + error.message();
            return false;
        }
        ::chmod(path.c_str(), S_IRWXU);
    }
    if (!fs::is_directory(path, error)) {
        m_lastError = "数据目录 " + path + " 不是目录";
        return false;
    }
    if (::access(path.c_str(), W_OK | X_OK) != 0) {
        m_lastError = "数据目录 " + path + " 不可写：" + std::strerror(errno);
        return false;
    }
    m_path = path;
    return true;
}

std::string CDataDirectory::GetApplicationDirectory() const
{
    return m_path.empty() ? std::string() : m_path + "/";
}

std::string CDataDirectory::FilePath(const std::string& fileName) const
{
    return (fs::path(m_path) / fileName).string();
}

std::string CDataDirectory::FindShipped(const std::string& fileName) const
{
    std::vector<fs::path> candidates;
    if (!m_inputs.templateDirectory.empty()) {
        candidates.push_back(fs::path(m_inputs.templateDirectory) / fileName);
    }
    if (!m_inputs.binaryDirectory.empty()) {
        candidates.push_back(fs::path(m_inputs.binaryDirectory) / fileName);
        candidates.push_back(fs::path(m_inputs.binaryDirectory) / ".." / "share" / "telvora" / fileName);
    }
    for (const fs::path& candidate : candidates) {
        if (isFile(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

bool CDataDirectory::EnsureShippedCopy(const std::string& fileName)
{
    if (m_path.empty()) {
        m_lastError = "数据目录尚未准备好";
        return false;
    }
    const std::string target = FilePath(fileName);
    std::error_code error;
    if (fs::exists(target, error)) {
        return true;
    }
    const std::string source = FindShipped(fileName);
    if (source.empty()) {
        m_lastError = "找不到程序自带的文件 " + fileName;
        return false;
    }
    // The shipped files are read-only and never opened for writing (no WAL), so a byte
    // copy is complete; it goes through a temporary file so a half copy never appears.
    std::string content;
    if (!ReadWholeFile(source, content)) {
        m_lastError = "无法读取文件 " + source;
        return false;
    }
    return WriteFileAtomically(target, content, m_lastError);
}

} // namespace telvora
