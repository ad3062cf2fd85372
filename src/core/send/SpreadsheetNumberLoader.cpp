#include "send/SpreadsheetNumberLoader.h"

#include "contacts/SpreadsheetReader.h"

namespace telvora {

namespace {

constexpr std::size_t kRowsPerReport = 2000;

} // namespace

void CSpreadsheetNumberLoader::setProgressCallback(ProgressCallback callback)
{
    m_progress = std::move(callback);
}

void CSpreadsheetNumberLoader::setCancelFlag(const std::atomic<bool>* cancel)
{
    m_cancel = cancel;
}

bool CSpreadsheetNumberLoader::cancelled() const
{
    return m_cancel && m_cancel->load(std::memory_order_relaxed);
}

NumberFileResult CSpreadsheetNumberLoader::load(const std::string& path, const SpreadsheetNumberOptions& options) const
{
    using Status = NumberFileResult::Status;
    NumberFileResult result;
    CSpreadsheetReader reader;
    if (!reader.Open(path)) {
        result.status = Status::OpenFailed;
        result.message = reader.GetLastError();
        return result;
    }
    if (cancelled()) {
        result.status = Status::Cancelled;
        return result;
    }
    if (!reader.SelectSheet(options.sheet)) {
        result.status = Status::NotFound;
        result.message = "该文件没有找到可以加载的手机号码!";
        return result;
    }

    NumberFileProgress progress;
    const std::size_t rows = reader.GetRowCount();
    const std::size_t columns = reader.GetColumnCount();
    progress.totalBytes = rows;
    for (std::size_t row = 0; row < rows; ++row) {
        if (options.smartSearch) {
            for (std::size_t col = 0; col < columns; ++col) {
                result.found.addIfMobile(reader.GetCell(row, col));
            }
        } else {
            result.found.addIfMobile(reader.GetCell(row, options.column));
        }
        if ((row + 1) % kRowsPerReport == 0) {
            if (cancelled()) {
                result.status = Status::Cancelled;
                result.found = {};
                return result;
            }
            progress.lines = progress.bytesRead = row + 1;
            if (m_progress) {
                m_progress(progress);
            }
        }
    }
    progress.lines = progress.bytesRead = rows;
    if (m_progress) {
        m_progress(progress);
    }
    result.lines = rows;
    if (result.found.numbers.empty()) {
        result.status = Status::NotFound;
        result.message = "该文件没有找到可以加载的手机号码!";
        return result;
    }
    result.status = Status::Loaded;
    result.message = "您已成功加载[" + std::to_string(result.found.numbers.size()) + "]个手机号码!";
    return result;
}

} // namespace telvora
