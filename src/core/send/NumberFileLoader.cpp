#include "send/NumberFileLoader.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace telvora {

namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

NumberFileResult finished(NumberFileResult::Status status, std::string message, NumberFileResult result)
{
    result.status = status;
    result.message = std::move(message);
    if (status != NumberFileResult::Status::Loaded) {
        result.found = {};
    }
    return result;
}

constexpr const char* kNotFound = "该文件没有找到可以加载的手机号码!";

} // namespace

NumberFileKind NumberFileKindOf(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return NumberFileKind::Unsupported;
    }
    const std::string extension = lowerAscii(name.substr(dot + 1));
    if (extension == "txt") {
        return NumberFileKind::Text;
    }
    if (extension == "xls" || extension == "xlsx") {
        return NumberFileKind::Spreadsheet;
    }
    return NumberFileKind::Unsupported;
}

void CNumberLoaderBase::setProgressCallback(ProgressCallback callback)
{
    m_progress = std::move(callback);
}

void CNumberLoaderBase::setCancelFlag(const std::atomic<bool>* cancel)
{
    m_cancel = cancel;
}

bool CNumberLoaderBase::cancelled() const
{
    return m_cancel && m_cancel->load(std::memory_order_relaxed);
}

void CNumberLoaderBase::reportProgress(const NumberFileProgress& progress) const
{
    if (m_progress) {
        m_progress(progress);
    }
}

NumberFileResult CNumberLoaderBase::loadedOrNotFound(NumberFileResult result)
{
    if (result.found.numbers.empty()) {
        return finished(NumberFileResult::Status::NotFound, kNotFound, std::move(result));
    }
    const std::string loaded = "您已成功加载[" + std::to_string(result.found.numbers.size()) + "]个手机号码!";
    return finished(NumberFileResult::Status::Loaded, loaded, std::move(result));
}

void CNumberFileLoader::scanLine(std::string_view line, CollectedNumbers& into)
{
    if (line.size() < 11) {
        return;
    }
    static constexpr std::string_view prefixes[] = {"13", "15", "18", "14", "17", "16", "19"};
    for (const std::string_view prefix : prefixes) {
        std::size_t pos = line.find(prefix);
        while (pos != std::string_view::npos) {
            // Valid numbers are ASCII digits, so eleven bytes are eleven characters whenever
            // it matters; any other window is refused either way.
            if (into.addIfMobile(line.substr(pos, 11))) {
                pos = line.find(prefix, pos + 11);
            } else {
                pos = line.find(prefix, pos + 2);
            }
        }
    }
}

CNumberLoaderBase::TextReadStatus CNumberLoaderBase::readTextLines(const std::string& path,
    const std::function<void(std::string_view)>& onLine, TextEncoding& encoding, std::size_t& lines) const
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return TextReadStatus::OpenFailed;
    }
    NumberFileProgress progress;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        progress.totalBytes = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        std::rewind(file.get());
    }

    // The encoding is decided over the whole file first: a GBK byte may come late.
    std::vector<char> buffer(kChunkBytes);
    CTextEncodingDetector detector;
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (read == 0) {
            break;
        }
        detector.feed({buffer.data(), read});
        if (cancelled()) {
            return TextReadStatus::Cancelled;
        }
    }
    if (std::ferror(file.get())) {
        return TextReadStatus::OpenFailed;
    }
    encoding = detector.result();
    if (encoding == TextEncoding::Empty || encoding == TextEncoding::Binary) {
        return TextReadStatus::NoText;
    }

    std::rewind(file.get());
    CTextFileDecoder decoder(encoding);
    std::string text;
    text.reserve(kChunkBytes * 3);
    const auto emit = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        onLine(line);
        ++progress.lines;
    };
    const auto emitCompleteLines = [&]() {
        std::size_t start = 0;
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
            emit(std::string_view(text).substr(start, end - start));
            start = end + 1;
        }
        text.erase(0, start);
    };
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (read == 0) {
            break;
        }
        decoder.feed({buffer.data(), read}, text);
        emitCompleteLines();
        progress.bytesRead += read;
        reportProgress(progress);
        if (cancelled()) {
            return TextReadStatus::Cancelled;
        }
    }
    if (std::ferror(file.get())) {
        return TextReadStatus::OpenFailed;
    }
    decoder.finish(text);
    emitCompleteLines();
    if (!text.empty()) {
        emit(text); // the last line has no line break
    }
    lines = progress.lines;
    reportProgress(progress);
    return TextReadStatus::Read;
}

NumberFileResult CNumberFileLoader::loadTextFile(const std::string& path) const
{
    using Status = NumberFileResult::Status;
    NumberFileResult result;
    const TextReadStatus read = readTextLines(
        path, [&](std::string_view line) { scanLine(line, result.found); }, result.encoding, result.lines);
    switch (read) {
    case TextReadStatus::OpenFailed:
        return finished(Status::OpenFailed, "打开加载文件[" + path + "]失败!", std::move(result));
    case TextReadStatus::Cancelled:
        return finished(Status::Cancelled, {}, std::move(result));
    case TextReadStatus::NoText:
        return finished(Status::NotFound, kNotFound, std::move(result));
    case TextReadStatus::Read:
        break;
    }
    return loadedOrNotFound(std::move(result));
}

} // namespace telvora
