// Wide strings as the interfaces pass them: a length-prefixed, null-ended
// buffer that the receiver of an out-parameter frees with SysFreeString.
#pragma once

#include "ole/types.h"

#include <string>

namespace ole {

BSTR SysAllocString(const OLECHAR* psz);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);

// Owns one BSTR; made from narrow text (each byte widened) or wide text.
class BStr {
public:
    BStr() : m_bstr(nullptr) {}
    explicit BStr(const char* psz);
    explicit BStr(const OLECHAR* psz) : m_bstr(SysAllocString(psz)) {}
    BStr(BStr&& other) noexcept : m_bstr(other.m_bstr) { other.m_bstr = nullptr; }
    BStr& operator=(BStr&& other) noexcept;
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    ~BStr() { SysFreeString(m_bstr); }

    // Takes over a BSTR a callee allocated.
    static BStr attach(BSTR bstr);
    BSTR get() const { return m_bstr; }
    // "" for none.
    const OLECHAR* text() const { return m_bstr ? m_bstr : L""; }
    // Each character narrowed; characters above 255 become '?'.
    std::string narrow() const;

private:
    BSTR m_bstr;
};

} // namespace ole
