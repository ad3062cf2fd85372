#pragma once

#include "send/NumberFileLoader.h"

#include <cstddef>
#include <string>

namespace telvora {

struct SpreadsheetNumberOptions
{
    std::size_t column = 0; // zero-based: column A is 0
    bool smartSearch = false; // look in every column instead of one
    std::size_t sheet = 0;
};

/// Loads mobile numbers from the cells of a workbook (see CSpreadsheetReader): each cell
/// of the chosen column, or of every column, is trimmed and kept when it is a valid
/// number. Progress counts rows: bytesRead is the rows done and totalBytes the row count.
class CSpreadsheetNumberLoader final : public CNumberLoaderBase
{
public:
    NumberFileResult load(const std::string& path, const SpreadsheetNumberOptions& options) const;
};

} // namespace telvora
