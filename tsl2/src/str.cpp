#include "tsl2/str.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Tsl {

namespace {
char s_szEmpty[1] = {0};

int lengthOf(const char* pszText) { return pszText ? static_cast<int>(std::strlen(pszText)) : 0; }

bool isBlank(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }
} // namespace

String::String() : m_pData(s_szEmpty), m_nLength(0), m_nCapacity(0) { reserve(DEFAULT_CAPACITY); }

String::String(const char* pszText) : String() { assign(pszText, lengthOf(pszText)); }

String::String(const char* pData, int nLength) : String() { assign(pData, pData && nLength > 0 ? nLength : 0); }

String::String(const String& other) : String() { assign(other.m_pData, other.m_nLength); }

String::String(String&& other) noexcept
    : m_pData(other.m_pData), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity) {
    other.m_pData = s_szEmpty;
    other.m_nLength = 0;
    other.m_nCapacity = 0;
}

String::~String() {
    if (m_nCapacity > 0) delete[] m_pData;
}

String& String::operator=(const String& other) {
    if (this != &other) assign(other.m_pData, other.m_nLength);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        if (m_nCapacity > 0) delete[] m_pData;
        m_pData = other.m_pData;
        m_nLength = other.m_nLength;
        m_nCapacity = other.m_nCapacity;
        other.m_pData = s_szEmpty;
        other.m_nLength = 0;
        other.m_nCapacity = 0;
    }
    return *this;
}

String& String::operator=(const char* pszText) {
    // The text may point into this string: copy before replacing.
    String sCopy(pszText);
    return *this = std::move(sCopy);
}

String& String::operator+=(const String& other) {
    if (this == &other) {
        String sCopy(other);
        append(sCopy.m_pData, sCopy.m_nLength);
    } else {
        append(other.m_pData, other.m_nLength);
    }
    return *this;
}

String& String::operator+=(const char* pszText) {
    String sCopy(pszText);
    append(sCopy.m_pData, sCopy.m_nLength);
    return *this;
}

String& String::operator+=(char c) {
    append(&c, 1);
    return *this;
}

int String::checkedIndex(int i) const {
    int nIndex = i < 0 ? m_nLength + i : i;
    if (nIndex < 0 || nIndex >= m_nLength)
        TSL_THROW(BadParmException, "String index out of range : %d (length %d)", i, m_nLength);
    return nIndex;
}

char& String::operator[](int i) { return m_pData[checkedIndex(i)]; }

char String::operator[](int i) const { return m_pData[checkedIndex(i)]; }

bool String::operator==(const String& other) const {
    return m_nLength == other.m_nLength && std::memcmp(m_pData, other.m_pData, m_nLength) == 0;
}

bool String::operator==(const char* pszText) const {
    int nLength = lengthOf(pszText);
    return m_nLength == nLength && (nLength == 0 || std::memcmp(m_pData, pszText, nLength) == 0);
}

int String::compare(const String& other) const {
    int nCommon = m_nLength < other.m_nLength ? m_nLength : other.m_nLength;
    int nResult = std::memcmp(m_pData, other.m_pData, nCommon);
    if (nResult != 0) return nResult;
    return m_nLength - other.m_nLength;
}

int String::find(const char* pszText, int nStart) const {
    // A null text is the empty text (memcmp must never see a null pointer).
    if (!pszText) pszText = "";
    int nNeedle = lengthOf(pszText);
    if (nStart < 0) nStart = 0;
    for (int i = nStart; i + nNeedle <= m_nLength; ++i)
        if (std::memcmp(m_pData + i, pszText, nNeedle) == 0) return i;
    return -1;
}

int String::find(char c, int nStart) const {
    if (nStart < 0) nStart = 0;
    for (int i = nStart; i < m_nLength; ++i)
        if (m_pData[i] == c) return i;
    return -1;
}

String String::left(int n) const {
    if (n < 0) n += m_nLength;
    if (n <= 0) return String();
    return String(m_pData, n < m_nLength ? n : m_nLength);
}

String String::right(int n) const {
    if (n <= 0) return String();
    if (n > m_nLength) n = m_nLength;
    return String(m_pData + m_nLength - n, n);
}

String String::substringFrom(int nPos) const {
    if (nPos < 0) nPos = 0;
    if (nPos >= m_nLength) return String();
    return String(m_pData + nPos, m_nLength - nPos);
}

String String::trim() const {
    int nBegin = 0, nEnd = m_nLength;
    while (nBegin < nEnd && isBlank(m_pData[nBegin])) ++nBegin;
    while (nEnd > nBegin && isBlank(m_pData[nEnd - 1])) --nEnd;
    return String(m_pData + nBegin, nEnd - nBegin);
}

String String::toLower() const {
    String sResult(*this);
    for (int i = 0; i < sResult.m_nLength; ++i)
        sResult.m_pData[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(sResult.m_pData[i])));
    return sResult;
}

String String::toUpper() const {
    String sResult(*this);
    for (int i = 0; i < sResult.m_nLength; ++i)
        sResult.m_pData[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(sResult.m_pData[i])));
    return sResult;
}

String String::replaceAll(const char* pszWhat, const char* pszWith) const {
    int nWhat = lengthOf(pszWhat);
    // Replacing the empty text would never end: nothing to replace.
    if (nWhat == 0) return *this;
    String sResult;
    int nPos = 0;
    for (int nFound = find(pszWhat, 0); nFound >= 0; nFound = find(pszWhat, nPos)) {
        sResult.append(m_pData + nPos, nFound - nPos);
        sResult += pszWith;
        nPos = nFound + nWhat;
    }
    sResult.append(m_pData + nPos, m_nLength - nPos);
    return sResult;
}

List<String> String::split(const char* pszDelimiters) const {
    const char* pszDelims = pszDelimiters ? pszDelimiters : " ";
    List<String> lParts;
    int nStart = -1;
    for (int i = 0; i <= m_nLength; ++i) {
        bool bDelimiter = i == m_nLength || (m_pData[i] != '\0' && std::strchr(pszDelims, m_pData[i]));
        if (bDelimiter) {
            if (nStart >= 0) lParts.append(String(m_pData + nStart, i - nStart));
            nStart = -1;
        } else if (nStart < 0) {
            nStart = i;
        }
    }
    return lParts;
}

List<String> String::tokenize(const List<String>& lClasses, const char* pszDelimiters) const {
    List<String> lTokens;
    const char* pszDelims = pszDelimiters ? pszDelimiters : "";
    auto classOf = [&lClasses](char c) {
        for (int i = 0; i < lClasses.getCount(); ++i)
            if (lClasses.getNode(i)->data.find(c) >= 0) return i;
        return -1;
    };
    String sCurrent;
    bool bHaveToken = false, bPreviousWasDelimiter = false;
    int nPreviousClass = -2;
    for (int i = 0; i < m_nLength; ++i) {
        char c = m_pData[i];
        if (c != '\0' && std::strchr(pszDelims, c)) {
            if (bHaveToken) lTokens.append(sCurrent);
            lTokens.append(String(&c, 1));
            sCurrent = String();
            bHaveToken = false;
            bPreviousWasDelimiter = true;
            continue;
        }
        int nClass = classOf(c);
        if (bHaveToken && !bPreviousWasDelimiter && nClass == nPreviousClass) {
            sCurrent += c;
        } else {
            if (bHaveToken) lTokens.append(sCurrent);
            sCurrent = String(&c, 1);
            bHaveToken = true;
        }
        nPreviousClass = nClass;
        bPreviousWasDelimiter = false;
    }
    if (bHaveToken) lTokens.append(sCurrent);
    return lTokens;
}

String String::formatV(const char* pszFormat, va_list args) {
    va_list argsCopy;
    va_copy(argsCopy, args);
    int nLength = std::vsnprintf(nullptr, 0, pszFormat ? pszFormat : "", argsCopy);
    va_end(argsCopy);
    String sResult;
    if (nLength <= 0) return sResult;
    sResult.reserve(nLength + 1);
    std::vsnprintf(sResult.m_pData, static_cast<size_t>(nLength) + 1, pszFormat, args);
    sResult.m_nLength = nLength;
    return sResult;
}

String String::format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    String sResult = formatV(pszFormat, args);
    va_end(args);
    return sResult;
}

String& String::sprintf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    *this = formatV(pszFormat, args);
    va_end(args);
    return *this;
}

int String::toInt(const char* pszText) { return pszText ? std::atoi(pszText) : 0; }

float String::toFloat(const char* pszText) { return pszText ? static_cast<float>(std::atof(pszText)) : 0.0f; }

String String::encodeBinary(const void* pData, int nSize) {
    const unsigned char* pBytes = static_cast<const unsigned char*>(pData);
    String sResult;
    sResult.reserve(nSize + nSize / 8 + 1);
    for (int i = 0; i < nSize; ++i) {
        if (pBytes[i] == 0x00) {
            sResult.append("\x01\x01", 2);
        } else if (pBytes[i] == 0x01) {
            sResult.append("\x01\x02", 2);
        } else {
            sResult.append(reinterpret_cast<const char*>(pBytes + i), 1);
        }
    }
    return sResult;
}

void String::reserve(int nCapacity) {
    if (nCapacity <= m_nCapacity) return;
    char* pNew = new char[nCapacity + 1];
    std::memcpy(pNew, m_pData, m_nLength);
    pNew[m_nLength] = '\0';
    if (m_nCapacity > 0) delete[] m_pData;
    m_pData = pNew;
    m_nCapacity = nCapacity;
}

void String::assign(const char* pData, int nLength) {
    // Capacity 0 means the shared empty buffer of a moved-from string.
    if (nLength > m_nCapacity || m_nCapacity == 0) {
        int nCapacity = nLength > DEFAULT_CAPACITY ? nLength : DEFAULT_CAPACITY;
        char* pNew = new char[nCapacity + 1];
        if (nLength > 0) std::memcpy(pNew, pData, nLength);
        if (m_nCapacity > 0) delete[] m_pData;
        m_pData = pNew;
        m_nCapacity = nCapacity;
        m_nLength = nLength;
        m_pData[m_nLength] = '\0';
        return;
    }
    if (nLength > 0) std::memmove(m_pData, pData, nLength);
    m_nLength = nLength;
    m_pData[m_nLength] = '\0';
}

void String::append(const char* pData, int nLength) {
    if (nLength <= 0) return;
    if (m_nLength + nLength > m_nCapacity) {
        int nGrown = m_nCapacity * 2;
        reserve(nGrown > m_nLength + nLength ? nGrown : m_nLength + nLength);
    }
    std::memcpy(m_pData + m_nLength, pData, nLength);
    m_nLength += nLength;
    m_pData[m_nLength] = '\0';
}

String operator+(const String& a, const String& b) {
    String sResult(a);
    sResult += b;
    return sResult;
}

String operator+(const String& a, const char* b) {
    String sResult(a);
    sResult += b;
    return sResult;
}

String operator+(const char* a, const String& b) {
    String sResult(a);
    sResult += b;
    return sResult;
}

unsigned int hashString(const char* pszText) {
    unsigned int h = 0;
    const char* p = pszText ? pszText : "";
    for (;;) {
        h = h * 31u + static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(*p)));
        if (*p == '\0') break;
        ++p;
    }
    return h;
}

} // namespace Tsl
