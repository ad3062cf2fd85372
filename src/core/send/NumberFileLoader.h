#pragma once

#include "send/NumberList.h"
#include "send/TextFileDecoder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace telvora {

/// How the number-loading dialog reads a file, chosen by its extension.
enum class NumberFileKind { Text, Spreadsheet, Unsupported };

/// "txt" loads as text, "xls" and "xlsx" as a spreadsheet, in any letter case.
NumberFileKind NumberFileKindOf(std::string_view path);

struct NumberFileProgress
{
    std::size_t lines = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t totalBytes = 0;
};

struct NumberFileResult
{
    enum class Status { Loaded, NotFound, OpenFailed, Cancelled };

    Status status = Status::NotFound;
    std::string message; // the notice to show ("提示"); empty when cancelled
    CollectedNumbers found; // in the order found; a number found twice stays twice
    TextEncoding encoding = TextEncoding::Empty;
    std::size_t lines = 0;
};

/// The progress callback and stop flag the number loaders share.
class CNumberLoaderBase
{
public:
    using ProgressCallback = std::function<void(const NumberFileProgress&)>;

    void setProgressCallback(ProgressCallback callback);
    void setCancelFlag(const std::atomic<bool>* cancel);

protected:
    ~CNumberLoaderBase() = default;

    enum class TextReadStatus { Read, OpenFailed, Cancelled, NoText };

    /// Reads a text file line by line, converted to UTF-8 from its detected encoding; each
    /// line comes without its line break. Reports progress and stops when asked to.
    TextReadStatus readTextLines(const std::string& path, const std::function<void(std::string_view)>& onLine,
        TextEncoding& encoding, std::size_t& lines) const;

    bool cancelled() const;
    void reportProgress(const NumberFileProgress& progress) const;
    /// Loaded with the count, or NotFound when nothing was found.
    static NumberFileResult loadedOrNotFound(NumberFileResult result);

private:
    ProgressCallback m_progress;
    const std::atomic<bool>* m_cancel = nullptr;
};

/// Loads mobile numbers from a text file in UTF-8 (with or without mark), UTF-16 with a
/// mark, or GBK. Made to run off the UI thread: progress goes to a callback and a stop flag
/// is honoured between pieces of the file.
class CNumberFileLoader final : public CNumberLoaderBase
{
public:
    NumberFileResult loadTextFile(const std::string& path) const;

    /// Finds the numbers of one line: for each prefix "13", "15", "18", "14", "17", "16", "19" in turn,
    /// every place where the eleven characters from the prefix on are a valid mobile number.
    static void scanLine(std::string_view line, CollectedNumbers& into);
};

} // namespace telvora
