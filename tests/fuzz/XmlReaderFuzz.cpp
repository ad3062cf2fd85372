#include "FuzzTargets.h"
#include "service/XmlReader.h"

#include <cstdlib>
#include <string>

namespace telvora::fuzz {

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

// Parses the input and walks every element depth first the way the reply readers do:
// FindChildElem, IntoElem, GetData, GetAttrib, and OutOfElem to go on with the siblings.
int FuzzXmlReader(const std::uint8_t* data, std::size_t size)
{
    static const char* const kNames[] = {"", "a", "Phone", "RecDateTime", "x y", "a=b"};
    const std::string doc(reinterpret_cast<const char*>(data), size);
    const std::string_view name = size > 0 ? kNames[data[0] % std::size(kNames)] : "";

    CXmlReader xml(doc);
    const bool parsed = xml.GetError().empty();
    if (!parsed) {
        check(!xml.FindChildElem() && !xml.FindElem() && !xml.IntoElem() && !xml.OutOfElem());
        check(xml.GetData().empty() && xml.GetChildData().empty() && xml.GetAttrib(name).empty());
        return 0;
    }
    check(xml.FindElem());

    std::size_t visited = 1;
    std::size_t depth = 0;
    for (;;) {
        check(xml.GetData().size() <= size);
        check(xml.GetAttrib(name).size() <= size);
        check(xml.GetChildData().size() <= size);
        check(!xml.GetTagName().empty());
        if (xml.FindChildElem()) {
            check(xml.GetChildAttrib(name).size() <= size);
            check(xml.IntoElem());
            ++visited;
            ++depth;
            check(visited <= size); // every element takes at least "<x>" of the text
            continue;
        }
        if (!xml.OutOfElem()) {
            break;
        }
        check(depth > 0);
        --depth;
    }
    check(depth == 0);
    // Named searches, as the reply readers make them.
    CXmlReader again(doc);
    while (again.FindChildElem(name)) {
        check(again.GetChildData().size() <= size);
    }
    return 0;
}

} // namespace telvora::fuzz
