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
        TextCase {"EntityNamesAreLowerCase", "<r><A>&LT;</A></r>", "&LT;"},
        TextCase {"LoneAmpersandAtEnd", "<r><A>a&</A></r>", "a&"},
        TextCase {"WhiteSpaceKept", "<r><A>  x y \n</A></r>", "  x y \n"},
        TextCase {"EmptyElementTag", "<r><A/></r>", ""}, TextCase {"StartAndEndTagOnly", "<r><A></A></r>", ""},
        TextCase {"CdataHoldingATag", "<r><A> <![CDATA[<b>x&amp;</b>]]> </A></r>", "<b>x&amp;</b>"},
        TextCase {"CdataHoldingTheEndTag", "<r><A><![CDATA[</A>]]></A></r>", "</A>"},
        TextCase {"CommentInsideIsRawText", "<r><A><!-- c --></A></r>", "<!-- c -->"},
        TextCase {"ElementWithChildrenHasNoText", "<r><A>x<B>y</B></A></r>", ""},
        TextCase {"SpacedEndTag", "<r><A>x</A ></r>", "x"}),
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
        ErrorCase {"PlainText", "服务器操作超时", "Element tag not found"},
        ErrorCase {"LessThanAtEnd", "<", "Abrupt end within tag"},
        ErrorCase {"QuotedTagName", "<'r'>", "Tag starts with quote"},
        ErrorCase {"UnclosedComment", "<!-- no end", "Invalid node"},
        ErrorCase {"UnclosedDeclaration", "<?xml version='1.0'", "Invalid node"},
        ErrorCase {"UnclosedDoctype", "<!DOCTYPE r [ <!ENTITY a 'b'> ", "Invalid node"},
        ErrorCase {"StartTagCutShort", "<r a='1'", "End of tag not found"},
        ErrorCase {"UnterminatedAttributeQuote", "<r a='1>text</r>", "End of tag not found"},
        ErrorCase {"MismatchedEndTag", "<x></y>", "End tag does not correspond to x"},
        ErrorCase {"EndTagPrefixOfName", "<xy></x>", "End tag does not correspond to xy"},
        ErrorCase {"EndTagWithoutName", "<r></>", "End tag does not correspond to r"},
        ErrorCase {"EndTagCutShort", "<r><A>1</A></r", "End tag not completed for element r"},
        ErrorCase {"TruncatedInText", "<r><A>12", "End tag of A element not found"},
        ErrorCase {"TruncatedAfterChild", "<r><A>1</A>", "End tag of r element not found"},
        ErrorCase {"EndTagFirst", "</r>", "Element tag not found"}),
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

TEST(XmlReader, AttributesQuotedEitherWay)
{
    CXmlReader xml(R"(<r><I a="1" b='2 > "3"' c=bare d = "x&amp;y" e="" f='/'/></r>)");
    ASSERT_TRUE(xml.FindChildElem("I"));
    ASSERT_TRUE(xml.IntoElem());
    EXPECT_EQ(xml.GetAttrib("a"), "1");
    EXPECT_EQ(xml.GetAttrib("b"), "2 > \"3\"");
    EXPECT_EQ(xml.GetAttrib("c"), "");
    EXPECT_EQ(xml.GetAttrib("d"), "x&y");
    EXPECT_EQ(xml.GetAttrib("e"), "");
    EXPECT_EQ(xml.GetAttrib("f"), "/");
    EXPECT_EQ(xml.GetAttrib("missing"), "");
    EXPECT_EQ(xml.GetAttrib("I"), "");
}

TEST(XmlReader, WalksAListOfReplies)
{
    CXmlReader xml(
        "<Reply><RetCode>Sucess</RetCode><Count>3</Count><Nodes>"
        "<SMSGroup Phone=\"13800000001\" RecDateTime=\"2026-01-02 03:04:05\" PostFixNumber=\"\">你好</SMSGroup>"
        "<Other/>"
        "<SMSGroup Phone='13800000002' RecDateTime='2026-01-02 03:04:06'>a&lt;b</SMSGroup>"
        "<SMSGroup Phone=\"13800000003\"/>"
        "</Nodes></Reply>");
    ASSERT_TRUE(xml.FindChildElem("Count"));
    EXPECT_EQ(xml.GetChildData(), "3");
    ASSERT_TRUE(xml.FindChildElem("Nodes"));
    ASSERT_TRUE(xml.IntoElem());
    std::vector<std::string> seen;
    while (xml.FindChildElem("SMSGroup")) {
        ASSERT_TRUE(xml.IntoElem());
        seen.push_back(xml.GetAttrib("Phone") + "|" + xml.GetAttrib("RecDateTime") + "|" + xml.GetData());
        EXPECT_FALSE(xml.FindChildElem()); // no children, not even in the empty element
        ASSERT_TRUE(xml.OutOfElem());
    }
    EXPECT_EQ(seen,
        (std::vector<std::string> {
            "13800000001|2026-01-02 03:04:05|你好", "13800000002|2026-01-02 03:04:06|a<b", "13800000003||"}));
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
    doc += "x";
    CXmlReader truncated(doc);
    EXPECT_EQ(truncated.GetError(), "End tag of a element not found");
    for (int i = 0; i < kDepth; ++i) {
        doc += "</a>";
    }

    CXmlReader xml(doc);
    ASSERT_EQ(xml.GetError(), "");
    int depth = 1;
    while (xml.FindChildElem("a")) {
        ASSERT_TRUE(xml.IntoElem());
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(xml.GetData(), "x");
}

TEST(XmlReader, RefusesADocumentAboveTheLimit)
{
    CXmlReader xml(std::string(CXmlReader::kMaxDocumentSize + 1, '<'));
    EXPECT_EQ(xml.GetError(), "Document too large");
    EXPECT_FALSE(xml.FindChildElem());
}

TEST(XmlReader, SetDocReplacesThePreviousDocument)
{
    CXmlReader xml("<r><A>1</A></r>");
    ASSERT_TRUE(xml.FindChildElem("A"));
    EXPECT_FALSE(xml.SetDoc("not xml"));
    EXPECT_EQ(xml.GetChildData(), "");
    EXPECT_TRUE(xml.SetDoc("<r><B>2</B></r>"));
    ASSERT_TRUE(xml.FindChildElem("B"));
    EXPECT_EQ(xml.GetChildData(), "2");
}

} // namespace
} // namespace telvora
