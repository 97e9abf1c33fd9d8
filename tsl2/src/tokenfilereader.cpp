#include "tsl2/tokenfilereader.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Tsl {

namespace {
// CR counts as a blank so CR LF files read like LF files; a zero byte too, so
// no token carries one.
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; }
} // namespace

int toCheckedInt(const String& sWord, int nMin, int nMax) {
    const char* pszWord = sWord.c_str();
    const char* p = pszWord;
    if (*p == '-' || *p == '+') ++p;
    bool bDigits = *p != '\0';
    for (; *p; ++p) bDigits = bDigits && std::isdigit(static_cast<unsigned char>(*p));
    if (!bDigits) TSL_THROW(FatalErrorException, "'%s' is not a number", pszWord);
    errno = 0;
    long long nValue = std::strtoll(pszWord, nullptr, 10);
    if (errno == ERANGE || nValue < nMin || nValue > nMax)
        TSL_THROW(FatalErrorException, "'%s' is out of range (%d to %d)", pszWord, nMin, nMax);
    return static_cast<int>(nValue);
}

TokenFileReader::TokenFileReader(const char* sChunk, const char* pszSourceName)
    : m_sSourceName(pszSourceName), m_nSourceLines(0), m_nCurrent(-1) {
    TSL_TRACE();
    TSL_ASSERT(sChunk);
    splitLines(sChunk, static_cast<int>(std::strlen(sChunk)));
}

TokenFileReader::TokenFileReader(const String& sChunk, const char* pszSourceName)
    : m_sSourceName(pszSourceName), m_nSourceLines(0), m_nCurrent(-1) {
    TSL_TRACE();
    splitLines(sChunk.c_str(), sChunk.getLength());
}

void TokenFileReader::splitLines(const char* pData, int nLength) {
    TSL_TRACE();
    int nLineNumber = 1;
    int nStart = 0;
    for (int i = 0; i <= nLength; ++i) {
        if (i < nLength && pData[i] != '\n') continue;
        int nEnd = nStart;
        while (nEnd < i && pData[nEnd] != '#') ++nEnd;
        int nBegin = nStart;
        while (nBegin < nEnd && isSeparator(pData[nBegin])) ++nBegin;
        while (nEnd > nBegin && isSeparator(pData[nEnd - 1])) --nEnd;
        if (nEnd > nBegin) m_aLines.push_back(Line{nLineNumber, String(pData + nBegin, nEnd - nBegin)});
        ++nLineNumber;
        nStart = i + 1;
    }
    m_nSourceLines = nLineNumber - 1;
}

bool TokenFileReader::isEOF() const { return m_nCurrent + 1 >= static_cast<int>(m_aLines.size()); }

bool TokenFileReader::nextLine() {
    TSL_TRACE();
    m_lTokens.clear();
    if (m_nCurrent < static_cast<int>(m_aLines.size())) ++m_nCurrent;
    if (m_nCurrent >= static_cast<int>(m_aLines.size())) return false;
    const String& sLine = m_aLines[static_cast<size_t>(m_nCurrent)].sText;
    const char* pData = sLine.c_str();
    int nLength = sLine.getLength();
    for (int i = 0; i < nLength;) {
        while (i < nLength && isSeparator(pData[i])) ++i;
        int nStart = i;
        while (i < nLength && !isSeparator(pData[i])) ++i;
        if (i > nStart) m_lTokens.append(String(pData + nStart, i - nStart));
    }
    return true;
}

int TokenFileReader::getLineNumber() const {
    if (m_nCurrent < 0) return 0;
    // Past the end: the last line of the source, where reading stopped.
    if (m_nCurrent >= static_cast<int>(m_aLines.size())) return m_nSourceLines;
    return m_aLines[static_cast<size_t>(m_nCurrent)].nNumber;
}

String TokenFileReader::getLine() const {
    if (m_nCurrent < 0 || m_nCurrent >= static_cast<int>(m_aLines.size())) return String();
    return m_aLines[static_cast<size_t>(m_nCurrent)].sText;
}

String TokenFileReader::needTokensMessage(int nNeeded) const {
    String sCommand = m_lTokens.isEmpty() ? String() : m_lTokens.getFirst();
    return String::format("Command %s in %s, line %d : need %d tokens (Line = \"%s\")", sCommand.c_str(),
                          m_sSourceName.c_str(), getLineNumber(), nNeeded, getLine().c_str());
}

void TokenFileReader::checkTokenCount(int nNeeded) const {
    if (m_lTokens.getCount() < nNeeded) throw FatalErrorException(__FILE__, __LINE__, needTokensMessage(nNeeded).c_str());
}

} // namespace Tsl
