#include "send/SpreadsheetNumberLoader.h"

#include "contacts/SpreadsheetReader.h"

namespace telvora {

namespace {

constexpr std::size_t kRowsPerReport = 2000;

} // namespace

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
        return loadedOrNotFound(std::move(result));
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
            reportProgress(progress);
        }
    }
    progress.lines = progress.bytesRead = rows;
    reportProgress(progress);
    result.lines = rows;
    return loadedOrNotFound(std::move(result));
}

} // namespace telvora
