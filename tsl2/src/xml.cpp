#include "tsl2/xml.h"

#include <cstring>
#include <string>
#include <unordered_set>

namespace Tsl {

// ---------------------------------------------------------------- XMLNode

XMLNode::XMLNode(Type eType, const String& sNameOrText, int nLine) : m_eType(eType), m_nLine(nLine) {
    if (eType == eElement) m_sName = sNameOrText;
    else m_sText = sNameOrText;
}

String XMLNode::getText() const {
    if (isText()) return m_sText;
    String sText;
    collectText(sText);
    return sText;
}

void XMLNode::collectText(String& sText) const {
    // Depth is bounded by the parser's nesting limit.
    for (const SmartPtr<XMLNode>& pChild : m_lChildren) {
        if (pChild->isText()) sText += pChild->m_sText;
        else pChild->collectText(sText);
    }
}

List<SmartPtr<XMLNode>> XMLNode::getElements(const char* pszName) const {
    List<SmartPtr<XMLNode>> lElements;
    for (const SmartPtr<XMLNode>& pChild : m_lChildren)
        if (pChild->isElement() && (!pszName || nameMatches(pChild->m_sName, pszName))) lElements.append(pChild);
    return lElements;
}

SmartPtr<XMLNode> XMLNode::findElement(const char* pszName) const {
    for (const SmartPtr<XMLNode>& pChild : m_lChildren)
        if (pChild->isElement() && nameMatches(pChild->m_sName, pszName)) return pChild;
    return SmartPtr<XMLNode>();
}

bool XMLNode::nameMatches(const String& sName, const char* pszWanted) {
    if (!pszWanted) return false;
    if (sName == pszWanted) return true;
    if (std::strchr(pszWanted, ':')) return false;
    int nColon = sName.find(':');
    return nColon >= 0 && sName.substringFrom(nColon + 1) == pszWanted;
}

const XMLNode::Attribute* XMLNode::findAttribute(const char* pszName) const {
    // An exact match wins over a prefixed one.
    for (const Attribute& attribute : m_aAttributes)
        if (attribute.sName == pszName) return &attribute;
    for (const Attribute& attribute : m_aAttributes)
        if (nameMatches(attribute.sName, pszName)) return &attribute;
    return nullptr;
}

bool XMLNode::hasAttribute(const char* pszName) const { return findAttribute(pszName) != nullptr; }

String XMLNode::getAttribute(const char* pszName, const char* pszDefault) const {
    const Attribute* pAttribute = findAttribute(pszName);
    return pAttribute ? pAttribute->sValue : String(pszDefault);
}

const String& XMLNode::getAttributeName(int i) const {
    if (i < 0 || i >= getAttributeCount())
        TSL_THROW(BadParmException, "XML attribute index out of range : %d (have %d)", i, getAttributeCount());
    return m_aAttributes[static_cast<size_t>(i)].sName;
}

const String& XMLNode::getAttributeValue(int i) const {
    getAttributeName(i);
    return m_aAttributes[static_cast<size_t>(i)].sValue;
}

void XMLNode::addAttribute(const String& sName, const String& sValue) { m_aAttributes.push_back(Attribute{sName, sValue}); }

void XMLNode::appendText(const char* pData, int nLength) {
    if (nLength <= 0) return;
    // Neighbouring pieces (text, entities, CDATA) make one text node.
    List<SmartPtr<XMLNode>>::Node* pLast = m_lChildren.getTail();
    if (pLast && pLast->data->isText()) {
        pLast->data->m_sText += String(pData, nLength);
        return;
    }
    m_lChildren.append(SmartPtr<XMLNode>(new XMLNode(eText, String(pData, nLength), m_nLine)));
}

// ---------------------------------------------------------------- parsing

namespace {

// The one form of every parse error, from the reader and from the table reader.
[[noreturn]] void throwXmlError(const String& sSource, int nLine, const String& sWhat) {
    TSL_THROW(BadStreamFormatException, "XML error in %s, line %d : %s", sSource.c_str(), nLine, sWhat.c_str());
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameStart(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

void appendUtf8(String& sText, unsigned long nCode) {
    char aBytes[4];
    int nCount;
    if (nCode < 0x80) {
        aBytes[0] = static_cast<char>(nCode);
        nCount = 1;
    } else if (nCode < 0x800) {
        aBytes[0] = static_cast<char>(0xC0 | (nCode >> 6));
        aBytes[1] = static_cast<char>(0x80 | (nCode & 0x3F));
        nCount = 2;
    } else if (nCode < 0x10000) {
        aBytes[0] = static_cast<char>(0xE0 | (nCode >> 12));
        aBytes[1] = static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        aBytes[2] = static_cast<char>(0x80 | (nCode & 0x3F));
        nCount = 3;
    } else {
        aBytes[0] = static_cast<char>(0xF0 | (nCode >> 18));
        aBytes[1] = static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
        aBytes[2] = static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        aBytes[3] = static_cast<char>(0x80 | (nCode & 0x3F));
        nCount = 4;
    }
    sText += String(aBytes, nCount);
}

// One pass over the text with the position, the line and the open elements.
class XMLReader {
public:
    XMLReader(const char* pData, int nLength, const String& sSource)
        : m_pData(pData), m_nLength(nLength), m_nPos(0), m_nLine(1), m_sSource(sSource) {}

    SmartPtr<XMLNode> readDocument();

private:
    [[noreturn]] void fail(const String& sWhat) const { throwXmlError(m_sSource, m_nLine, sWhat); }
    bool atEnd() const { return m_nPos >= m_nLength; }
    char peek() const { return m_nPos < m_nLength ? m_pData[m_nPos] : '\0'; }
    bool startsWith(const char* pszText) const {
        int n = static_cast<int>(std::strlen(pszText));
        return m_nLength - m_nPos >= n && std::memcmp(m_pData + m_nPos, pszText, static_cast<size_t>(n)) == 0;
    }
    void advance(int n) {
        for (int i = 0; i < n && m_nPos < m_nLength; ++i)
            if (m_pData[m_nPos++] == '\n') ++m_nLine;
    }
    void skipSpace() {
        while (!atEnd() && isSpace(peek())) advance(1);
    }
    // Skips past the terminator; fails with the construct's name when it is missing.
    void skipPast(const char* pszEnd, const char* pszWhat);
    void skipMisc(bool bAllowDoctype);
    void skipDoctype();
    String readName(const char* pszWhere);
    void readEntity(String& sText);
    String readAttributeValue();
    SmartPtr<XMLNode> readStartTag(bool& bEmpty);
    void readEndTag(const XMLNode& open);
    void readText(XMLNode& parent);
    void readCData(XMLNode& parent);

    const char* m_pData;
    int m_nLength;
    int m_nPos;
    int m_nLine;
    const String& m_sSource;
};

void XMLReader::skipPast(const char* pszEnd, const char* pszWhat) {
    int nStartLine = m_nLine;
    int nEnd = static_cast<int>(std::strlen(pszEnd));
    while (!atEnd() && !startsWith(pszEnd)) advance(1);
    if (atEnd()) {
        m_nLine = nStartLine;
        fail(String::format("unterminated %s", pszWhat));
    }
    advance(nEnd);
}

void XMLReader::skipDoctype() {
    // Only the plain form: an internal subset would bring entity definitions.
    advance(9);
    while (!atEnd() && peek() != '>') {
        if (peek() == '[') fail("DOCTYPE with an internal subset is not supported");
        if (peek() == '"' || peek() == '\'') {
            char cQuote = peek();
            advance(1);
            while (!atEnd() && peek() != cQuote) advance(1);
            if (atEnd()) break;
        }
        advance(1);
    }
    if (atEnd()) fail("unterminated DOCTYPE");
    advance(1);
}

void XMLReader::skipMisc(bool bAllowDoctype) {
    for (;;) {
        skipSpace();
        if (startsWith("<?")) skipPast("?>", "processing instruction");
        else if (startsWith("<!--")) skipPast("-->", "comment");
        else if (bAllowDoctype && startsWith("<!DOCTYPE")) skipDoctype();
        else return;
    }
}

String XMLReader::readName(const char* pszWhere) {
    int nStart = m_nPos;
    if (atEnd() || !isNameStart(peek())) fail(String::format("name expected in %s", pszWhere));
    while (!atEnd() && isNameChar(peek())) advance(1);
    return String(m_pData + nStart, m_nPos - nStart);
}

void XMLReader::readEntity(String& sText) {
    int nStart = m_nPos + 1;
    int nEnd = nStart;
    while (nEnd < m_nLength && nEnd - nStart < 16 && m_pData[nEnd] != ';') ++nEnd;
    if (nEnd >= m_nLength || m_pData[nEnd] != ';') fail("'&' without a complete entity reference");
    String sName(m_pData + nStart, nEnd - nStart);
    if (sName == "lt") sText += '<';
    else if (sName == "gt") sText += '>';
    else if (sName == "amp") sText += '&';
    else if (sName == "quot") sText += '"';
    else if (sName == "apos") sText += '\'';
    else if (sName.getLength() >= 2 && sName[0] == '#') {
        bool bHex = sName[1] == 'x';
        const char* p = sName.c_str() + (bHex ? 2 : 1);
        if (!*p) fail(String::format("bad character reference &%s;", sName.c_str()));
        unsigned long nCode = 0;
        for (; *p; ++p) {
            int nDigit;
            if (*p >= '0' && *p <= '9') nDigit = *p - '0';
            else if (bHex && *p >= 'a' && *p <= 'f') nDigit = *p - 'a' + 10;
            else if (bHex && *p >= 'A' && *p <= 'F') nDigit = *p - 'A' + 10;
            else fail(String::format("bad character reference &%s;", sName.c_str()));
            nCode = nCode * (bHex ? 16 : 10) + static_cast<unsigned long>(nDigit);
            if (nCode > 0x10FFFF) fail(String::format("bad character reference &%s;", sName.c_str()));
        }
        if (nCode == 0 || (nCode >= 0xD800 && nCode <= 0xDFFF))
            fail(String::format("bad character reference &%s;", sName.c_str()));
        appendUtf8(sText, nCode);
    } else {
        fail(String::format("unknown entity &%s;", sName.c_str()));
    }
    advance(nEnd + 1 - m_nPos);
}

String XMLReader::readAttributeValue() {
    char cQuote = peek();
    if (cQuote != '"' && cQuote != '\'') fail("attribute value must be quoted");
    int nStartLine = m_nLine;
    advance(1);
    String sValue;
    int nRun = m_nPos;
    while (!atEnd() && peek() != cQuote) {
        char c = peek();
        if (c == '<') fail("'<' in an attribute value");
        if (c == '&') {
            sValue += String(m_pData + nRun, m_nPos - nRun);
            readEntity(sValue);
            nRun = m_nPos;
        } else {
            advance(1);
        }
    }
    if (atEnd()) {
        m_nLine = nStartLine;
        fail("unterminated attribute value");
    }
    sValue += String(m_pData + nRun, m_nPos - nRun);
    advance(1);
    return sValue;
}

SmartPtr<XMLNode> XMLReader::readStartTag(bool& bEmpty) {
    int nLine = m_nLine;
    advance(1);
    SmartPtr<XMLNode> pNode(new XMLNode(XMLNode::eElement, readName("a start tag"), nLine));
    std::unordered_set<std::string> aNames;
    for (;;) {
        bool bSpace = !atEnd() && isSpace(peek());
        skipSpace();
        if (atEnd()) fail(String::format("unterminated start tag <%s>", pNode->getName().c_str()));
        if (peek() == '>') {
            advance(1);
            bEmpty = false;
            return pNode;
        }
        if (startsWith("/>")) {
            advance(2);
            bEmpty = true;
            return pNode;
        }
        if (!bSpace) fail(String::format("blank expected before an attribute of <%s>", pNode->getName().c_str()));
        String sName = readName("an attribute");
        // A set, not a scan of the names so far: a tag with many attributes
        // would otherwise cost quadratic time.
        if (!aNames.insert(std::string(sName.c_str(), static_cast<size_t>(sName.getLength()))).second)
            fail(String::format("duplicate attribute %s", sName.c_str()));
        skipSpace();
        if (peek() != '=') fail(String::format("'=' expected after attribute %s", sName.c_str()));
        advance(1);
        skipSpace();
        pNode->addAttribute(sName, readAttributeValue());
    }
}

void XMLReader::readEndTag(const XMLNode& open) {
    advance(2);
    String sName = readName("an end tag");
    skipSpace();
    if (peek() != '>') fail(String::format("'>' expected after </%s", sName.c_str()));
    if (sName != open.getName())
        fail(String::format("</%s> does not close <%s> of line %d", sName.c_str(), open.getName().c_str(), open.getLine()));
    advance(1);
}

void XMLReader::readText(XMLNode& parent) {
    String sText;
    int nRun = m_nPos;
    while (!atEnd() && peek() != '<') {
        if (peek() == '&') {
            sText += String(m_pData + nRun, m_nPos - nRun);
            readEntity(sText);
            nRun = m_nPos;
        } else {
            advance(1);
        }
    }
    sText += String(m_pData + nRun, m_nPos - nRun);
    parent.appendText(sText.c_str(), sText.getLength());
}

void XMLReader::readCData(XMLNode& parent) {
    advance(9);
    int nStart = m_nPos;
    skipPast("]]>", "CDATA section");
    parent.appendText(m_pData + nStart, m_nPos - 3 - nStart);
}

SmartPtr<XMLNode> XMLReader::readDocument() {
    if (startsWith("\xEF\xBB\xBF")) advance(3);
    skipMisc(true);
    if (atEnd() || peek() != '<') fail("no root element");
    bool bEmpty = false;
    SmartPtr<XMLNode> pRoot = readStartTag(bEmpty);
    // The open elements, innermost last; an explicit stack keeps deep input
    // off the machine stack.
    std::vector<XMLNode*> aOpen;
    if (!bEmpty) aOpen.push_back(pRoot.get());
    while (!aOpen.empty()) {
        XMLNode& top = *aOpen.back();
        if (atEnd()) {
            fail(String::format("<%s> of line %d is not closed", top.getName().c_str(), top.getLine()));
        } else if (peek() != '<') {
            readText(top);
        } else if (startsWith("</")) {
            readEndTag(top);
            aOpen.pop_back();
        } else if (startsWith("<!--")) {
            skipPast("-->", "comment");
        } else if (startsWith("<![CDATA[")) {
            readCData(top);
        } else if (startsWith("<?")) {
            skipPast("?>", "processing instruction");
        } else if (startsWith("<!")) {
            fail("unexpected markup declaration");
        } else {
            if (static_cast<int>(aOpen.size()) >= XMLParser::MAX_DEPTH)
                fail(String::format("elements nested deeper than %d levels", static_cast<int>(XMLParser::MAX_DEPTH)));
            SmartPtr<XMLNode> pChild = readStartTag(bEmpty);
            top.addChild(pChild);
            if (!bEmpty) aOpen.push_back(pChild.get());
        }
    }
    skipMisc(false);
    if (!atEnd()) fail("content after the root element");
    return pRoot;
}

} // namespace

// ---------------------------------------------------------------- XMLParser

XMLParser::XMLParser(const char* pszSourceName) : m_sSourceName(pszSourceName) {}

SmartPtr<XMLNode> XMLParser::parse(const char* pData, int nLength) const {
    TSL_TRACE();
    traceSetNote(m_sSourceName.c_str());
    if (!pData || nLength < 0) nLength = 0;
    XMLReader reader(pData ? pData : "", nLength, m_sSourceName);
    return reader.readDocument();
}

void XMLParser::fail(int nLine, const String& sWhat) const { throwXmlError(m_sSourceName, nLine, sWhat); }

void XMLParser::readRow(const XMLNode& row, List<XMLKeyValue>& lRows) const {
    XMLKeyValue entry;
    int nColumn = 1;
    for (const SmartPtr<XMLNode>& pCell : row.getElements("Cell")) {
        if (pCell->hasAttribute("Index")) {
            String sIndex = pCell->getAttribute("Index");
            int nIndex = String::toInt(sIndex);
            if (nIndex < nColumn || nIndex > 1000000)
                fail(pCell->getLine(), String::format("bad cell index \"%s\" (next column is %d)", sIndex.c_str(), nColumn));
            nColumn = nIndex;
        }
        if (nColumn <= 2) {
            SmartPtr<XMLNode> pData = pCell->findElement("Data");
            String sText = pData ? pData->getText() : String();
            if (nColumn == 1) entry.sKey = sText;
            else entry.sValue = sText;
        }
        // A merged cell spans the columns after it.
        int nMerge = String::toInt(pCell->getAttribute("MergeAcross", "0"));
        if (nMerge < 0 || nMerge > 1000000)
            fail(pCell->getLine(), String::format("bad cell span %d", nMerge));
        nColumn += 1 + nMerge;
    }
    if (!entry.sKey.isEmpty()) lRows.append(entry);
}

List<XMLKeyValue> XMLParser::readKeyValueList(const String& sText) const {
    TSL_TRACE();
    SmartPtr<XMLNode> pRoot = parse(sText);
    if (!XMLNode::nameMatches(pRoot->getName(), "Workbook"))
        fail(pRoot->getLine(), String::format("spreadsheet expected, found <%s>", pRoot->getName().c_str()));
    SmartPtr<XMLNode> pSheet = pRoot->findElement("Worksheet");
    if (!pSheet) fail(pRoot->getLine(), "the workbook has no worksheet");
    List<XMLKeyValue> lRows;
    SmartPtr<XMLNode> pTable = pSheet->findElement("Table");
    if (!pTable) return lRows;
    for (const SmartPtr<XMLNode>& pRow : pTable->getElements("Row")) readRow(*pRow, lRows);
    return lRows;
}

void XMLParser::readKeyValueTable(const String& sText, Hash<String, String>& hTable) const {
    TSL_TRACE();
    List<XMLKeyValue> lRows = readKeyValueList(sText);
    for (const XMLKeyValue& entry : lRows) hTable.set(entry.sKey, entry.sValue);
}

} // namespace Tsl
