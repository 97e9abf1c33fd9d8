// Owned, deep-copied 8-bit text with an explicit length (it may hold zero
// bytes, e.g. a resource read as text). Comparison is byte-wise; texts shown
// on screen are UTF-8.
#pragma once

#include "tsl2/error.h"

#include <cstdarg>

namespace Tsl {

template <class T>
class List;
class MemStream;

class String {
public:
    enum { DEFAULT_CAPACITY = 32 };

    String();
    String(const char* pszText);
    String(const char* pData, int nLength);
    String(const String& other);
    String(String&& other) noexcept;
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* pszText);

    String& operator+=(const String& other);
    String& operator+=(const char* pszText);
    String& operator+=(char c);

    // Byte i; a negative i counts from the end (-1 is the last byte).
    char& operator[](int i);
    char operator[](int i) const;

    int getLength() const { return m_nLength; }
    bool isEmpty() const { return m_nLength == 0; }
    const char* c_str() const { return m_pData; }
    operator const char*() const { return m_pData; }

    bool operator==(const String& other) const;
    bool operator==(const char* pszText) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    bool operator!=(const char* pszText) const { return !(*this == pszText); }
    int compare(const String& other) const;
    bool operator<(const String& other) const { return compare(other) < 0; }
    bool operator>(const String& other) const { return compare(other) > 0; }

    int find(const char* pszText, int nStart = 0) const;
    int find(char c, int nStart = 0) const;
    String left(int n) const;
    String right(int n) const;
    String substringFrom(int nPos) const;
    String trim() const;
    String toLower() const;
    String toUpper() const;
    String replaceAll(const char* pszWhat, const char* pszWith) const;
    List<String> split(const char* pszDelimiters = nullptr) const;
    List<String> tokenize(const List<String>& lClasses, const char* pszDelimiters) const;

    static String format(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;
    static String formatV(const char* pszFormat, va_list args);
    String& sprintf(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    static int toInt(const char* pszText);
    static float toFloat(const char* pszText);

    // Escapes 0x00 as 0x01 0x01 and 0x01 as 0x01 0x02 so binary data fits in a
    // text without terminators; decodeBinary undoes it into a new stream owned
    // by the caller and raises on a broken escape.
    static String encodeBinary(const void* pData, int nSize);
    static MemStream* decodeBinary(const String& sText);

    void reserve(int nCapacity);

private:
    void assign(const char* pData, int nLength);
    void append(const char* pData, int nLength);
    int checkedIndex(int i) const;

    char* m_pData;
    int m_nLength;
    int m_nCapacity;
};

// The text on the left: without these the comparison would silently fall
// back to comparing pointers through the conversion to const char*.
inline bool operator==(const char* a, const String& b) { return b == a; }
inline bool operator!=(const char* a, const String& b) { return !(b == a); }

String operator+(const String& a, const String& b);
String operator+(const String& a, const char* b);
String operator+(const char* a, const String& b);

// h = h * 31 + c over the signed characters, terminator included.
unsigned int hashString(const char* pszText);

} // namespace Tsl

#include "tsl2/list.h"
