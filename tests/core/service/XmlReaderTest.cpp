#include "service/XmlReader.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct TextCase
{
    const char* name;
    const char* doc;
    const char* text; // GetChildData of the root's first child
};

class XmlChildText : public testing::TestWithParam<TextCase>
{
};

TEST_P(XmlChildText, ReadsTheChildsText)
{
    CXmlReader xml(GetParam().doc);
    ASSERT_EQ(xml.GetError(), "");
    ASSERT_TRUE(xml.FindChildElem());
    EXPECT_EQ(xml.GetChildData(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, XmlChildText,
    testing::Values(TextCase {"AmpersandEntity", "<r><Token>ab&amp;c</Token></r>", "ab&c"},
        TextCase {"AllFiveEntities", "<r><A>&lt;&gt;&amp;&apos;&quot;</A></r>", "<>&'\""},
        TextCase {"UnknownAndNumericEntitiesStay", "<r><A>&nbsp;&#65;&x</A></r>", "&nbsp;&#65;&x"},
        TextCase {"WhiteSpaceKept", "<r><A>  x y \n</A></r>", "  x y \n"},
        TextCase {"EmptyElementTag", "<r><A/></r>", ""},
        TextCase {"CdataHoldingATag", "<r><A> <![CDATA[<b>x&amp;</b>]]> </A></r>", "<b>x&amp;</b>"},
        TextCase {"CdataHoldingTheEndTag", "<r><A><![CDATA[</A>]]></A></r>", "</A>"},
        TextCase {"CommentInsideIsRawText", "<r><A><!-- c --></A></r>", "<!-- c -->"},
        TextCase {"ElementWithChildrenHasNoText", "<r><A>x<B>y</B></A></r>", ""}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

struct ErrorCase
{
    const char* name;
    const char* doc;
    const char* error;
};

class XmlParseError : public testing::TestWithParam<ErrorCase>
{
};

TEST_P(XmlParseError, FailsWithTheMessageAndFindsNothing)
{
    CXmlReader xml(GetParam().doc);
    EXPECT_EQ(xml.GetError(), GetParam().error);
    EXPECT_FALSE(xml.FindElem());
    EXPECT_FALSE(xml.FindChildElem());
    EXPECT_FALSE(xml.IntoElem());
    EXPECT_EQ(xml.GetChildData(), "");
    EXPECT_EQ(xml.GetData(), "");
}

INSTANTIATE_TEST_SUITE_P(Errors, XmlParseError,
    testing::Values(ErrorCase {"Empty", "", "Element tag not found"},
        ErrorCase {"LessThanAtEnd", "<", "Abrupt end within tag"},
        ErrorCase {"UnclosedComment", "<!-- no end", "Invalid node"},
        ErrorCase {"StartTagCutShort", "<r a='1'", "End of tag not found"},
        ErrorCase {"MismatchedEndTag", "<x></y>", "End tag does not correspond to x"},
        ErrorCase {"EndTagPrefixOfName", "<xy></x>", "End tag does not correspond to xy"},
        ErrorCase {"EndTagCutShort", "<r><A>1</A></r", "End tag not completed for element r"},
        ErrorCase {"TruncatedInText", "<r><A>12", "End tag of A element not found"},
        ErrorCase {"TruncatedAfterChild", "<r><A>1</A>", "End tag of r element not found"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

// Declarations, a DOCTYPE whose quoted text holds "]>", and comments are skipped.
TEST(XmlReader, FindsWholeNamedFieldsInDocumentOrderOnly)
{
    CXmlReader xml("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                   "<!DOCTYPE Reply [ <!ENTITY x \"]>\"> ]>\n<!-- generated -->\n"
                   "<Reply><Token2>a</Token2><Tok>b</Tok><Token>T1</Token><Version>2.0</Version></Reply>");
    ASSERT_EQ(xml.GetError(), "");
    ASSERT_TRUE(xml.FindChildElem("Token"));
    EXPECT_EQ(xml.GetChildData(), "T1");
    ASSERT_TRUE(xml.FindChildElem("Version"));
    EXPECT_FALSE(xml.FindChildElem("Token")); // behind the child cursor, which stays
    EXPECT_EQ(xml.GetChildData(), "2.0");
    EXPECT_EQ(xml.GetTagName(), "Reply");
    EXPECT_FALSE(xml.FindElem("other"));
    // A longer searched name still matches when a blank, "=", "/" or "[" follows the tag name.
    CXmlReader longer("<r><A>1</A></r>");
    EXPECT_TRUE(longer.FindChildElem("A[0]"));
}

// Attributes quoted either way, entities in text and attributes, an empty element among them.
TEST(XmlReader, WalksAListOfRepliesAndReadsTheirAttributes)
{
    CXmlReader xml("<Reply><Count>3</Count><Nodes>"
                   "<SMSGroup Phone=\"1\" b='2 > \"3\"' c=bare d = \"x&amp;y\">你好</SMSGroup><Other/>"
                   "<SMSGroup Phone='2' b=\"\">a&lt;b</SMSGroup><SMSGroup Phone=\"3\" b='/'/></Nodes></Reply>");
    ASSERT_TRUE(xml.FindChildElem("Nodes"));
    ASSERT_TRUE(xml.IntoElem());
    std::vector<std::string> seen;
    while (xml.FindChildElem("SMSGroup")) {
        ASSERT_TRUE(xml.IntoElem());
        seen.push_back(xml.GetAttrib("Phone") + "|" + xml.GetAttrib("b") + "|" + xml.GetAttrib("c") + xml.GetAttrib("d")
            + xml.GetAttrib("missing") + xml.GetAttrib("SMSGroup") + "|" + xml.GetData());
        EXPECT_FALSE(xml.FindChildElem()); // no children, not even in the empty element
        ASSERT_TRUE(xml.OutOfElem());
    }
    EXPECT_EQ(seen, (std::vector<std::string> {"1|2 > \"3\"|x&y|你好", "2|||a<b", "3|/||"}));
    ASSERT_TRUE(xml.OutOfElem());
    EXPECT_FALSE(xml.OutOfElem());
    EXPECT_EQ(xml.GetTagName(), "Reply");
}

TEST(XmlReader, DeepNestingParsesWithoutExhaustingTheStack)
{
    constexpr int kDepth = 100'000;
    std::string doc;
    for (int i = 0; i < kDepth; ++i) {
        doc += "<a>";
    }
    EXPECT_EQ(CXmlReader(doc + "x").GetError(), "End tag of a element not found");
    for (int i = 0; i < kDepth; ++i) {
        doc += "</a>";
    }
    CXmlReader xml(doc);
    int depth = 1;
    while (xml.FindChildElem("a") && xml.IntoElem()) {
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
}

// A refused document also clears the one before it.
TEST(XmlReader, RefusesADocumentAboveTheLimit)
{
    CXmlReader xml("<r><A>1</A></r>");
    ASSERT_TRUE(xml.FindChildElem("A"));
    EXPECT_FALSE(xml.SetDoc(std::string(CXmlReader::kMaxDocumentSize + 1, '<')));
    EXPECT_EQ(xml.GetError(), "Document too large");
    EXPECT_EQ(xml.GetChildData(), "");
    EXPECT_FALSE(xml.FindChildElem());
}

} // namespace
} // namespace telvora
