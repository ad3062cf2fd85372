#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// A small non-validating reader for the service's XML replies.
///
/// The text is scanned once into a flat table that records where each element's start
/// and end tags lie; navigation then moves three cursors (parent, current, child) over
/// that table and only builds strings for what is asked for. The text is UTF-8: trail
/// bytes are never ASCII, so scanning byte by byte never mistakes part of a character for
/// markup.
///
/// Typical use: construct on a reply, then FindChildElem(field) + GetChildData() for each
/// field in document order (a child search continues after the last child found).
class CXmlReader final
{
public:
    /// Documents above this size are refused: the table costs up to 7 words per element.
    static constexpr std::size_t kMaxDocumentSize = 64 * 1024 * 1024;

    CXmlReader();
    explicit CXmlReader(std::string text);

    /// Parses text; false (with GetError()) leaves only the virtual root, so every search fails.
    bool SetDoc(std::string text);

    /// Moves the current cursor to the next sibling named name (any element when empty).
    bool FindElem(std::string_view name = {});
    /// Moves the child cursor to the next child of the current element named name.
    bool FindChildElem(std::string_view name = {});
    /// Steps down: the current element becomes the parent, the child the current one.
    bool IntoElem();
    /// Steps up: the parent becomes the current element, the current one the child.
    bool OutOfElem();

    std::string GetData() const;
    std::string GetChildData() const;
    /// Value of a quoted attribute of the current element; empty when absent.
    std::string GetAttrib(std::string_view name) const;
    /// Value of a quoted attribute of the child element; empty when absent.
    std::string GetChildAttrib(std::string_view name) const;
    /// Name of the current element, empty when there is none.
    std::string GetTagName() const;

    const std::string& GetError() const { return m_error; }
    const std::string& GetDoc() const { return m_doc; }

private:
    // One entry per element; offsets are byte positions in m_doc.
    struct ElemPos
    {
        std::int32_t startTagStart = 0; // "<" of the start tag
        std::int32_t startTagEnd = 0; // ">" of the start tag
        std::int32_t endTagStart = 0; // "<" of the end tag, or the "/" of an empty-element tag
        std::int32_t endTagEnd = 0; // ">" of the end tag (== startTagEnd for an empty element)
        std::int32_t parent = 0;
        std::int32_t firstChild = 0;
        std::int32_t nextSibling = 0;
    };

    struct Token
    {
        std::size_t begin = 0; // first byte (the opening quote of a quoted token)
        std::size_t end = 0; // one past the last byte
        bool quoted = false;
    };

    bool parse();
    bool parseError(std::string message);
    bool parseErrorFor(const char* format, std::int32_t elem);
    std::int32_t takeEntry();
    bool findToken(std::size_t& pos, Token& token) const;
    bool skipNode(std::size_t lessThan, std::size_t& pos) const;
    bool findStartTagEnd(std::size_t& pos) const;
    bool parseEndTag(std::int32_t elem, std::size_t& pos);

    std::string_view tagName(std::int32_t elem) const;
    bool nameMatches(std::int32_t elem, std::string_view name) const;
    std::int32_t findSibling(std::int32_t parent, std::int32_t after, std::string_view name) const;
    std::string elementText(std::int32_t elem) const;
    std::string attribute(std::int32_t elem, std::string_view name) const;

    std::string m_doc;
    std::string m_error;
    std::vector<ElemPos> m_elems;
    std::int32_t m_parent = 0;
    std::int32_t m_current = 0;
    std::int32_t m_child = 0;
};

/// Appends text with the five predefined entities decoded; other "&" sequences stay as they are.
void AppendXmlDecoded(std::string& out, std::string_view text);

} // namespace telvora
