#include "app/stringtable.h"

#include "tsl2/xml.h"

namespace {

bool looksLikeXml(const Tsl::String& sText) {
    Tsl::String sStart = sText.left(64).trim();
    // A UTF-8 byte order mark may come first.
    if (sStart.getLength() >= 3 && static_cast<unsigned char>(sStart[0]) == 0xEF) sStart = sStart.substringFrom(3);
    return sStart.getLength() > 0 && sStart[0] == '<';
}

Tsl::String unescapeText(const Tsl::String& sText) { return sText.replaceAll("\\n", "\n"); }

void parseLine(const Tsl::String& sLine, int nLine, const char* pszSourceName,
               Tsl::Hash<Tsl::String, Tsl::String>& hTable) {
    int nEnd = 0;
    while (nEnd < sLine.getLength() && sLine[nEnd] != ' ' && sLine[nEnd] != '\t' && sLine[nEnd] != '=') ++nEnd;
    if (nEnd == 0 || nEnd == sLine.getLength())
        TSL_THROW(BadStreamFormatException, "String table %s, line %d : need a key and a text (Line = \"%s\")",
                  pszSourceName, nLine, sLine.c_str());
    Tsl::String sRest = sLine.substringFrom(nEnd).trim();
    if (sRest.getLength() > 0 && sRest[0] == '=') sRest = sRest.substringFrom(1).trim();
    hTable.set(sLine.left(nEnd).toUpper(), unescapeText(sRest));
}

} // namespace

Tsl::Hash<Tsl::String, Tsl::String> parseStringTable(const Tsl::String& sText, const char* pszSourceName) {
    TSL_TRACE();
    const char* pszSource = pszSourceName ? pszSourceName : "(string table)";
    Tsl::Hash<Tsl::String, Tsl::String> hTable;
    if (looksLikeXml(sText)) {
        Tsl::Hash<Tsl::String, Tsl::String> hRaw;
        Tsl::XMLParser(pszSource).readKeyValueTable(sText, hRaw);
        for (const Tsl::String& sKey : hRaw.getKeys()) hTable.set(sKey.toUpper(), hRaw.get(sKey));
        return hTable;
    }
    int nLine = 0;
    for (int nPos = 0; nPos <= sText.getLength();) {
        int nBreak = sText.find('\n', nPos);
        if (nBreak < 0) nBreak = sText.getLength();
        ++nLine;
        Tsl::String sLine = Tsl::String(sText.c_str() + nPos, nBreak - nPos).trim();
        nPos = nBreak + 1;
        if (sLine.isEmpty() || sLine[0] == '#') continue;
        parseLine(sLine, nLine, pszSource, hTable);
    }
    return hTable;
}
