// A small XML reader that builds a tree of elements and texts, and reads
// the key/value tables kept as XML spreadsheets (the 2003 "SpreadsheetML"
// form: Workbook, Worksheet, Table, Row, Cell, Data).
//
// It reads what those files hold: elements, attributes, text, the five named
// entities and numeric character references (written out as UTF-8),
// comments, processing instructions, CDATA sections and a DOCTYPE without an
// internal subset. Names are not checked against any namespace; a look-up
// name without a prefix matches an element or attribute of any prefix, so
// "Index" finds "ss:Index". Malformed input raises BadStreamFormatException
// naming the source and the line.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <vector>

namespace Tsl {

class XMLNode : public RefCountedObject {
public:
    enum Type { eElement, eText };

    XMLNode(Type eType, const String& sNameOrText, int nLine);

    bool isElement() const { return m_eType == eElement; }
    bool isText() const { return m_eType == eText; }
    // The element's name as written (with its prefix); empty for a text.
    const String& getName() const { return m_sName; }
    // Source line where the node starts.
    int getLine() const { return m_nLine; }
    // A text's own text; for an element every text inside it, in document order.
    String getText() const;

    int getChildCount() const { return m_lChildren.getCount(); }
    SmartPtr<XMLNode> getChild(int i) const { return m_lChildren.getAt(i); }
    const List<SmartPtr<XMLNode>>& getChildren() const { return m_lChildren; }
    // Child elements, all of them or those of one name.
    List<SmartPtr<XMLNode>> getElements(const char* pszName = nullptr) const;
    // The first child element of that name, null when there is none.
    SmartPtr<XMLNode> findElement(const char* pszName) const;

    bool hasAttribute(const char* pszName) const;
    String getAttribute(const char* pszName, const char* pszDefault = "") const;
    int getAttributeCount() const { return static_cast<int>(m_aAttributes.size()); }
    const String& getAttributeName(int i) const;
    const String& getAttributeValue(int i) const;

    // True when the name equals the wanted one, or the wanted one has no
    // prefix and equals the name's part after its prefix.
    static bool nameMatches(const String& sName, const char* pszWanted);

    // Building, used by the parser.
    void addChild(const SmartPtr<XMLNode>& pChild) { m_lChildren.append(pChild); }
    void addAttribute(const String& sName, const String& sValue);
    void appendText(const char* pData, int nLength);

private:
    struct Attribute {
        String sName;
        String sValue;
    };
    void collectText(String& sText) const;
    const Attribute* findAttribute(const char* pszName) const;

    Type m_eType;
    String m_sName;
    String m_sText;
    int m_nLine;
    List<SmartPtr<XMLNode>> m_lChildren;
    std::vector<Attribute> m_aAttributes;
};

// One row of a key/value spreadsheet.
struct XMLKeyValue {
    String sKey;
    String sValue;
    bool operator==(const XMLKeyValue& other) const { return sKey == other.sKey && sValue == other.sValue; }
};

class XMLParser {
public:
    // Deeper documents are refused rather than walked.
    enum { MAX_DEPTH = 256 };

    // The source name labels error messages (usually the resource name).
    explicit XMLParser(const char* pszSourceName = nullptr);

    // The document's root element.
    SmartPtr<XMLNode> parse(const char* pData, int nLength) const;
    SmartPtr<XMLNode> parse(const String& sText) const { return parse(sText.c_str(), sText.getLength()); }

    // The first worksheet of a spreadsheet as (first column, second column)
    // rows in order; ss:Index and ss:MergeAcross place cells; rows without a
    // key are left out, a missing value is empty.
    List<XMLKeyValue> readKeyValueList(const String& sText) const;
    // The same rows in a table; a later row replaces an earlier key.
    void readKeyValueTable(const String& sText, Hash<String, String>& hTable) const;

    const String& getSourceName() const { return m_sSourceName; }

private:
    void readRow(const XMLNode& row, List<XMLKeyValue>& lRows) const;
    [[noreturn]] void fail(int nLine, const String& sWhat) const;

    String m_sSourceName;
};

} // namespace Tsl
