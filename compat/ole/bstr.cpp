#include "ole/bstr.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace ole {

// The length in characters sits in the word before the text.
BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    size_t nLength = std::wcslen(psz);
    void* pBlock = std::malloc(sizeof(UINT) * 2 + (nLength + 1) * sizeof(OLECHAR));
    if (!pBlock) return nullptr;
    UINT* pHeader = static_cast<UINT*>(pBlock);
    pHeader[1] = static_cast<UINT>(nLength);
    BSTR bstr = reinterpret_cast<BSTR>(pHeader + 2);
    std::memcpy(bstr, psz, (nLength + 1) * sizeof(OLECHAR));
    return bstr;
}

void SysFreeString(BSTR bstr) {
    if (bstr) std::free(reinterpret_cast<UINT*>(bstr) - 2);
}

UINT SysStringLen(BSTR bstr) { return bstr ? (reinterpret_cast<UINT*>(bstr) - 2)[1] : 0; }

BStr::BStr(const char* psz) : m_bstr(nullptr) {
    if (!psz) return;
    std::wstring sWide;
    for (const char* p = psz; *p; ++p) sWide += static_cast<OLECHAR>(static_cast<unsigned char>(*p));
    m_bstr = SysAllocString(sWide.c_str());
}

BStr& BStr::operator=(BStr&& other) noexcept {
    if (this != &other) {
        SysFreeString(m_bstr);
        m_bstr = other.m_bstr;
        other.m_bstr = nullptr;
    }
    return *this;
}

BStr BStr::attach(BSTR bstr) {
    BStr s;
    s.m_bstr = bstr;
    return s;
}

std::string BStr::narrow() const {
    std::string s;
    for (const OLECHAR* p = text(); *p; ++p) s += *p > 255 ? '?' : static_cast<char>(*p);
    return s;
}

} // namespace ole
