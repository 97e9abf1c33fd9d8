#include "tsl2/xml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string errorOf(const char* pszText) {
    try {
        Tsl::XMLParser("bad.xml").parse(Tsl::String(pszText));
    } catch (const Tsl::BadStreamFormatException& e) {
        return e.getMessage();
    }
    return "(no error)";
}

const char* const SHEET =
    "<?xml version=\"1.0\"?>\n"
    "<?mso-application progid=\"Excel.Sheet\"?>\n"
    "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"\n"
    " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n"
    " <Worksheet ss:Name=\"Texts\">\n"
    "  <Table>\n"
    "   <Row><Cell><Data ss:Type=\"String\">HELLO</Data></Cell><Cell><Data ss:Type=\"String\">Hi &amp; welcome</Data></Cell></Row>\n"
    "   <Row><Cell ss:Index=\"2\"><Data ss:Type=\"String\">no key</Data></Cell></Row>\n"
    "   <Row><Cell><Data ss:Type=\"String\">EMPTY</Data></Cell></Row>\n"
    "   <Row><Cell ss:MergeAcross=\"1\"><Data ss:Type=\"String\">WIDE</Data></Cell><Cell><Data>third</Data></Cell></Row>\n"
    "   <Row><Cell><Data>RICH</Data></Cell><Cell><ss:Data ss:Type=\"String\"><B>bold</B> and <I>more</I></ss:Data></Cell></Row>\n"
    "   <Row><Cell><Data>HELLO</Data></Cell><Cell ss:Index=\"2\"><Data>again</Data></Cell><Cell><Data>ignored</Data></Cell></Row>\n"
    "  </Table>\n"
    " </Worksheet>\n"
    " <Worksheet ss:Name=\"Notes\"><Table><Row><Cell><Data>NOTE</Data></Cell></Row></Table></Worksheet>\n"
    "</Workbook>\n";

} // namespace

TEST(XMLParser, BuildsATreeOfElementsAttributesAndText) {
    const char* pszText =
        "\xEF\xBB\xBF<?xml version='1.0'?>\n"
        "<!DOCTYPE root SYSTEM \"x.dtd\">\n"
        "<!-- leading -->\n"
        "<root a=\"1\" b='two &lt;&gt;&amp;&quot;&apos;'>\n"
        "  <item id=\"x\"/>\n"
        "  text &#65;&#x263A; <![CDATA[<raw & data>]]><!-- skip --><?pi x?>\n"
        "  <ns:item ns:id=\"y\">inner</ns:item>\n"
        "</root>\n"
        "<!-- trailing -->\n";
    Tsl::SmartPtr<Tsl::XMLNode> pRoot = Tsl::XMLParser("t.xml").parse(Tsl::String(pszText));
    EXPECT_EQ(Tsl::String("root"), pRoot->getName());
    EXPECT_EQ(4, pRoot->getLine());
    EXPECT_EQ(Tsl::String("1"), pRoot->getAttribute("a"));
    EXPECT_EQ(Tsl::String("two <>&\"'"), pRoot->getAttribute("b"));
    EXPECT_EQ(Tsl::String("dflt"), pRoot->getAttribute("c", "dflt"));

    Tsl::List<Tsl::SmartPtr<Tsl::XMLNode>> lItems = pRoot->getElements("item");
    ASSERT_EQ(2, lItems.getCount());
    EXPECT_EQ(Tsl::String("x"), lItems.getAt(0)->getAttribute("id"));
    EXPECT_EQ(Tsl::String("y"), lItems.getAt(1)->getAttribute("id"));
    EXPECT_EQ(7, lItems.getAt(1)->getLine());
    EXPECT_TRUE(pRoot->findElement("ns:item"));
    EXPECT_FALSE(pRoot->findElement("other:item"));
    EXPECT_FALSE(pRoot->findElement("missing"));

    Tsl::String sText = pRoot->getText();
    EXPECT_GE(sText.find("text A\xE2\x98\xBA <raw & data>"), 0) << sText.c_str();
    EXPECT_GE(sText.find("inner"), 0);
}

TEST(XMLParser, MalformedInputNamesSourceAndLine) {
    EXPECT_EQ("XML error in bad.xml, line 3 : </b> does not close <a> of line 2", errorOf("<r>\n<a>\n</b></r>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : no root element", errorOf("  "));
    EXPECT_EQ("XML error in bad.xml, line 1 : unknown entity &nbsp;", errorOf("<r>&nbsp;</r>"));
    EXPECT_EQ("XML error in bad.xml, line 2 : unterminated comment", errorOf("<r>\n<!-- open\n\n</r>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : content after the root element", errorOf("<r/><s/>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : duplicate attribute a", errorOf("<r a='1' a='2'/>"));
    EXPECT_EQ("XML error in bad.xml, line 2 : <r> of line 1 is not closed", errorOf("<r>\n<s/>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : bad character reference &#0;", errorOf("<r>&#0;</r>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : bad character reference &#x110000;", errorOf("<r>&#x110000;</r>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : '<' in an attribute value", errorOf("<r a='<'/>"));
    EXPECT_EQ("XML error in bad.xml, line 1 : attribute value must be quoted", errorOf("<r a=1/>"));
}

TEST(XMLParser, RefusesNestingBeyondTheLimit) {
    auto nested = [](int nDepth) {
        std::string s;
        for (int i = 0; i < nDepth; ++i) s += "<a>";
        for (int i = 0; i < nDepth; ++i) s += "</a>";
        return Tsl::String(s.c_str());
    };
    EXPECT_NO_THROW(Tsl::XMLParser().parse(nested(Tsl::XMLParser::MAX_DEPTH)));
    try {
        Tsl::XMLParser("deep.xml").parse(nested(100000));
        FAIL() << "no exception";
    } catch (const Tsl::BadStreamFormatException& e) {
        EXPECT_STREQ("XML error in deep.xml, line 1 : elements nested deeper than 256 levels", e.getMessage());
    }
}

TEST(XMLParser, ManyAttributesParseInLinearTime) {
    // 100000 attributes: a scan of the earlier names for duplicates would take
    // minutes here.
    std::string s = "<r";
    for (int i = 0; i < 100000; ++i) s += " a" + std::to_string(i) + "=''";
    Tsl::SmartPtr<Tsl::XMLNode> pRoot = Tsl::XMLParser().parse(Tsl::String((s + "/>").c_str()));
    EXPECT_EQ(100000, pRoot->getAttributeCount());
    EXPECT_EQ("XML error in bad.xml, line 1 : duplicate attribute a7", errorOf((s + " a7='x'/>").c_str()));
}

TEST(XMLParser, EveryTruncationOfASpreadsheetFailsCleanly) {
    Tsl::String sText(SHEET);
    Tsl::XMLParser parser("cut.xml");
    // Every cut before the root's end tag is complete is malformed; only the
    // trailing newline may go.
    int nComplete = sText.find("</Workbook>") + 11;
    for (int n = 0; n < sText.getLength(); ++n) {
        if (n < nComplete)
            EXPECT_THROW(parser.readKeyValueList(sText.left(n)), Tsl::BadStreamFormatException) << n;
        else
            EXPECT_EQ(5, parser.readKeyValueList(sText.left(n)).getCount());
    }
}

TEST(XMLParser, ReadsTheFirstWorksheetAsKeyValueRows) {
    Tsl::XMLParser parser("strings.xml");
    Tsl::List<Tsl::XMLKeyValue> lRows = parser.readKeyValueList(Tsl::String(SHEET));
    ASSERT_EQ(5, lRows.getCount());
    EXPECT_EQ(Tsl::String("HELLO"), lRows.getAt(0).sKey);
    EXPECT_EQ(Tsl::String("Hi & welcome"), lRows.getAt(0).sValue);
    EXPECT_EQ(Tsl::String("EMPTY"), lRows.getAt(1).sKey);
    EXPECT_TRUE(lRows.getAt(1).sValue.isEmpty());
    // The merged key cell pushes "third" into column 3.
    EXPECT_EQ(Tsl::String("WIDE"), lRows.getAt(2).sKey);
    EXPECT_TRUE(lRows.getAt(2).sValue.isEmpty());
    EXPECT_EQ(Tsl::String("bold and more"), lRows.getAt(3).sValue);
    EXPECT_EQ(Tsl::String("again"), lRows.getAt(4).sValue);

    Tsl::Hash<Tsl::String, Tsl::String> hTable;
    parser.readKeyValueTable(Tsl::String(SHEET), hTable);
    EXPECT_EQ(4, hTable.getCount());
    EXPECT_EQ(Tsl::String("again"), hTable.get("HELLO"));
    EXPECT_FALSE(hTable.hasKey("NOTE"));
}

TEST(XMLParser, SpreadsheetShapeErrors) {
    Tsl::XMLParser parser("s.xml");
    EXPECT_THROW(parser.readKeyValueList("<html/>"), Tsl::BadStreamFormatException);
    EXPECT_THROW(parser.readKeyValueList("<Workbook/>"), Tsl::BadStreamFormatException);
    EXPECT_EQ(0, parser.readKeyValueList("<Workbook><Worksheet/></Workbook>").getCount());
    try {
        parser.readKeyValueList(
            "<Workbook><Worksheet><Table>\n<Row><Cell ss:Index=\"3\"/>\n<Cell ss:Index=\"2\"/></Row>"
            "</Table></Worksheet></Workbook>");
        FAIL() << "no exception";
    } catch (const Tsl::BadStreamFormatException& e) {
        EXPECT_STREQ("XML error in s.xml, line 3 : bad cell index \"2\" (next column is 4)", e.getMessage());
    }
}
