#include "service/XmlReader.h"

#include <cstring>

namespace telvora {

namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that form a token of their own.
bool isMarkup(char c)
{
    return c == '<' || c == '>' || c == '=' || c == '\\' || c == '/' || c == '?' || c == '!';
}

} // namespace

void AppendXmlDecoded(std::string& out, std::string_view text)
{
    struct Entity
    {
        std::string_view name;
        char value;
    };
    static constexpr Entity kEntities[] = {{"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'}};

    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos) {
            break;
        }
        out.append(text.substr(pos, amp - pos));
        pos = amp + 1;
        const std::string_view rest = text.substr(pos);
        bool decoded = false;
        for (const Entity& entity : kEntities) {
            if (rest.starts_with(entity.name)) {
                out.push_back(entity.value);
                pos += entity.name.size();
                decoded = true;
                break;
            }
        }
        if (!decoded) {
            out.push_back('&');
        }
    }
    out.append(text.substr(pos));
}

CXmlReader::CXmlReader()
{
    m_elems.resize(1);
}

CXmlReader::CXmlReader(std::string text)
{
    SetDoc(std::move(text));
}

bool CXmlReader::SetDoc(std::string text)
{
    m_doc = std::move(text);
    return parse();
}

bool CXmlReader::parseError(std::string message)
{
    m_error = std::move(message);
    m_elems.assign(1, ElemPos {});
    m_parent = m_current = m_child = 0;
    return false;
}

bool CXmlReader::parseErrorFor(const char* format, std::int32_t elem)
{
    std::string message = format;
    const std::size_t slot = message.find("%s");
    if (slot != std::string::npos) {
        message.replace(slot, 2, tagName(elem));
    }
    return parseError(std::move(message));
}

std::int32_t CXmlReader::takeEntry()
{
    if (m_elems.size() == m_elems.capacity()) {
        m_elems.reserve(m_elems.capacity() + m_elems.capacity() / 2 + 1);
    }
    m_elems.emplace_back();
    return static_cast<std::int32_t>(m_elems.size() - 1);
}

bool CXmlReader::findToken(std::size_t& pos, Token& token) const
{
    const std::size_t size = m_doc.size();
    while (pos < size && isSpace(m_doc[pos])) {
        ++pos;
    }
    if (pos >= size) {
        return false;
    }
    token.begin = pos;
    const char c = m_doc[pos];
    if (c == '"' || c == '\'') {
        const std::size_t close = m_doc.find(c, pos + 1);
        token.end = close == std::string::npos ? size : close + 1;
        token.quoted = true;
    } else if (isMarkup(c)) {
        token.end = pos + 1;
        token.quoted = false;
    } else {
        std::size_t end = pos + 1;
        while (end < size && !isSpace(m_doc[end]) && !isMarkup(m_doc[end])) {
            ++end;
        }
        token.end = end;
        token.quoted = false;
    }
    pos = token.end;
    return true;
}

// mark is the "?" or "!" after "<"; on success pos is just past the node.
bool CXmlReader::skipNode(std::size_t mark, std::size_t& pos) const
{
    auto skipTo = [&](std::string_view terminator, std::size_t from) {
        const std::size_t at = from <= m_doc.size() ? m_doc.find(terminator, from) : std::string::npos;
        if (at == std::string::npos) {
            return false;
        }
        pos = at + terminator.size();
        return true;
    };
    if (m_doc[mark] == '?') {
        return skipTo("?>", mark + 1);
    }
    const char next = mark + 1 < m_doc.size() ? m_doc[mark + 1] : '\0';
    if (next == '[') {
        return skipTo(kCdataClose, mark + 2);
    }
    if (next == '-') {
        return skipTo("-->", mark + 2);
    }
    // A declaration such as <!DOCTYPE ...[ ... ]>: ends at the first ">" outside brackets and quotes.
    int depth = 0;
    for (std::size_t i = mark + 1; i < m_doc.size(); ++i) {
        const char c = m_doc[i];
        if (c == '"' || c == '\'') {
            i = m_doc.find(c, i + 1);
            if (i == std::string::npos) {
                return false;
            }
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (c == '>' && depth == 0) {
            pos = i + 1;
            return true;
        }
    }
    return false;
}

// On success pos is the ">" that closes the start tag; quoted values may hold ">".
bool CXmlReader::findStartTagEnd(std::size_t& pos) const
{
    Token token;
    while (findToken(pos, token)) {
        if (!token.quoted && m_doc[token.begin] == '>') {
            pos = token.begin;
            return true;
        }
    }
    return false;
}

bool CXmlReader::parseEndTag(std::int32_t elem, std::size_t& pos)
{
    const std::size_t lt = m_doc.find('<', pos);
    if (lt == std::string::npos) {
        return parseErrorFor("End tag of %s element not found", elem);
    }
    std::size_t scan = lt + 1;
    Token token;
    if (!findToken(scan, token) || token.quoted || m_doc[token.begin] != '/') {
        return parseErrorFor("Expecting end tag of element %s", elem);
    }
    if (!findToken(scan, token)
        || std::string_view(m_doc).substr(token.begin, token.end - token.begin) != tagName(elem)) {
        return parseErrorFor("End tag does not correspond to %s", elem);
    }
    while (findToken(scan, token)) {
        if (!token.quoted && m_doc[token.begin] == '>') {
            m_elems[elem].endTagStart = static_cast<std::int32_t>(lt);
            m_elems[elem].endTagEnd = static_cast<std::int32_t>(token.begin);
            pos = token.begin + 1;
            return true;
        }
    }
    return parseErrorFor("End tag not completed for element %s", elem);
}

// Iterative so that deeply nested input cannot exhaust the stack: the table's parent links
// are the stack. While an element's children are being read, its endTagStart field holds
// its last child so far, which the next child is linked after.
bool CXmlReader::parse()
{
    if (m_doc.empty()) {
        return parseError("Element tag not found");
    }
    if (m_doc.size() > kMaxDocumentSize) {
        return parseError("Document too large");
    }
    m_error.clear();
    m_elems.clear();
    m_elems.reserve(m_doc.size() / 64 + 8);
    m_elems.emplace_back();
    m_parent = m_current = m_child = 0;

    std::int32_t parent = 0;
    std::size_t pos = 0;
    for (;;) {
        std::size_t lt = 0;
        Token token;
        for (;;) {
            lt = m_doc.find('<', pos);
            if (lt == std::string::npos) {
                return parent == 0 ? parseError("Element tag not found")
                                   : parseErrorFor("End tag of %s element not found", parent);
            }
            std::size_t scan = lt + 1;
            if (!findToken(scan, token)) {
                return parseError("Abrupt end within tag");
            }
            if (token.quoted) {
                return parseError("Tag starts with quote");
            }
            const char first = m_doc[token.begin];
            if (first != '?' && first != '!') {
                break;
            }
            if (!skipNode(token.begin, pos)) {
                return parseError("Invalid node");
            }
        }

        std::int32_t completed = 0;
        if (m_doc[token.begin] == '/') {
            if (parent == 0) {
                return parseError("Element tag not found");
            }
            pos = lt;
            if (!parseEndTag(parent, pos)) {
                return false;
            }
            completed = parent;
        } else {
            const std::int32_t elem = takeEntry();
            ElemPos& entry = m_elems[static_cast<std::size_t>(elem)];
            entry.startTagStart = static_cast<std::int32_t>(lt);
            entry.parent = parent;
            ElemPos& owner = m_elems[static_cast<std::size_t>(parent)];
            if (owner.firstChild == 0) {
                owner.firstChild = elem;
            } else {
                m_elems[static_cast<std::size_t>(owner.endTagStart)].nextSibling = elem;
            }
            owner.endTagStart = elem;

            std::size_t close = token.end;
            if (!findStartTagEnd(close)) {
                return parseError("End of tag not found");
            }
            ElemPos& self = m_elems[static_cast<std::size_t>(elem)];
            self.startTagEnd = static_cast<std::int32_t>(close);
            if (m_doc[close - 1] == '/') {
                self.endTagStart = static_cast<std::int32_t>(close - 1);
                self.endTagEnd = static_cast<std::int32_t>(close);
                completed = elem;
            } else {
                parent = elem;
                pos = close + 1;
                continue;
            }
        }

        const std::int32_t up = m_elems[static_cast<std::size_t>(completed)].parent;
        if (up == 0) {
            m_elems[0] = ElemPos {};
            m_elems[0].firstChild = completed;
            return true;
        }
        parent = up;
        pos = static_cast<std::size_t>(m_elems[static_cast<std::size_t>(completed)].endTagEnd) + 1;
    }
}

std::string_view CXmlReader::tagName(std::int32_t elem) const
{
    if (elem <= 0) {
        return {};
    }
    std::size_t pos = static_cast<std::size_t>(m_elems[static_cast<std::size_t>(elem)].startTagStart) + 1;
    Token token;
    if (!findToken(pos, token)) {
        return {};
    }
    return std::string_view(m_doc).substr(token.begin, token.end - token.begin);
}

// A searched name longer than the tag still matches when what follows is one of " =/[".
bool CXmlReader::nameMatches(std::int32_t elem, std::string_view name) const
{
    if (name.empty()) {
        return true;
    }
    const std::string_view tag = tagName(elem);
    if (!name.starts_with(tag)) {
        return false;
    }
    if (name.size() == tag.size()) {
        return true;
    }
    const char next = name[tag.size()];
    return next == ' ' || next == '=' || next == '/' || next == '[';
}

std::int32_t CXmlReader::findSibling(std::int32_t parent, std::int32_t after, std::string_view name) const
{
    std::int32_t elem = after != 0 ? m_elems[static_cast<std::size_t>(after)].nextSibling
                                   : m_elems[static_cast<std::size_t>(parent)].firstChild;
    while (elem != 0 && !nameMatches(elem, name)) {
        elem = m_elems[static_cast<std::size_t>(elem)].nextSibling;
    }
    return elem;
}

bool CXmlReader::FindElem(std::string_view name)
{
    const std::int32_t found = findSibling(m_parent, m_current, name);
    if (found == 0) {
        return false;
    }
    m_current = found;
    m_child = 0;
    return true;
}

bool CXmlReader::FindChildElem(std::string_view name)
{
    if (m_current == 0 && !FindElem()) {
        return false;
    }
    const std::int32_t found = findSibling(m_current, m_child, name);
    if (found == 0) {
        return false;
    }
    m_child = found;
    return true;
}

bool CXmlReader::IntoElem()
{
    if (m_current == 0) {
        return false;
    }
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    return true;
}

bool CXmlReader::OutOfElem()
{
    if (m_parent == 0) {
        return false;
    }
    m_child = m_current;
    m_current = m_parent;
    m_parent = m_elems[static_cast<std::size_t>(m_parent)].parent;
    return true;
}

std::string CXmlReader::elementText(std::int32_t elem) const
{
    if (elem <= 0) {
        return {};
    }
    const ElemPos& entry = m_elems[static_cast<std::size_t>(elem)];
    if (entry.firstChild != 0 || entry.startTagEnd == entry.endTagEnd) {
        return {};
    }
    const std::string_view doc(m_doc);
    const std::size_t begin = static_cast<std::size_t>(entry.startTagEnd) + 1;
    const std::size_t end = static_cast<std::size_t>(entry.endTagStart);
    const std::string_view content = doc.substr(begin, end - begin);

    std::size_t lead = 0;
    while (lead < content.size() && isSpace(content[lead])) {
        ++lead;
    }
    if (content.substr(lead).starts_with(kCdataOpen)) {
        const std::size_t from = lead + kCdataOpen.size();
        const std::size_t close = content.find(kCdataClose, from);
        if (close != std::string_view::npos) {
            return std::string(content.substr(from, close - from));
        }
    }
    if (content.find('&') == std::string_view::npos) {
        return std::string(content);
    }
    std::string text;
    text.reserve(content.size());
    AppendXmlDecoded(text, content);
    return text;
}

std::string CXmlReader::attribute(std::int32_t elem, std::string_view name) const
{
    if (elem <= 0) {
        return {};
    }
    const std::string_view doc(m_doc);
    std::size_t pos = static_cast<std::size_t>(m_elems[static_cast<std::size_t>(elem)].startTagStart) + 1;
    Token token;
    if (!findToken(pos, token)) { // the element's name
        return {};
    }
    enum class Expect { Name, Equals, Value } expect = Expect::Name;
    bool wanted = false;
    while (findToken(pos, token)) {
        const std::string_view text = doc.substr(token.begin, token.end - token.begin);
        if (!token.quoted && (text == ">" || text == "/" || text == "?")) {
            return {};
        }
        if (expect == Expect::Equals && !token.quoted && text == "=") {
            expect = Expect::Value;
            continue;
        }
        if (expect == Expect::Value) {
            expect = Expect::Name;
            if (token.quoted) {
                if (wanted) {
                    std::string value;
                    AppendXmlDecoded(value, text.substr(1, text.size() >= 2 ? text.size() - 2 : 0));
                    return value;
                }
                continue;
            }
            // An unquoted value is not a value; read on as if it were a name.
        }
        wanted = !token.quoted && text == name;
        expect = Expect::Equals;
    }
    return {};
}

std::string CXmlReader::GetData() const
{
    return elementText(m_current);
}

std::string CXmlReader::GetChildData() const
{
    return elementText(m_child);
}

std::string CXmlReader::GetAttrib(std::string_view name) const
{
    return attribute(m_current, name);
}

std::string CXmlReader::GetChildAttrib(std::string_view name) const
{
    return attribute(m_child, name);
}

std::string CXmlReader::GetTagName() const
{
    return std::string(tagName(m_current));
}

} // namespace telvora
