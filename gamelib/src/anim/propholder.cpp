#include "anim/propholder.h"

PropHolder::PropHolder() : m_pParent(nullptr) {}

PropHolder::~PropHolder() {}

void PropHolder::setProp(const char* pszKey, const char* pszValue) {
    m_hProps.set(Tsl::String(pszKey), Tsl::String(pszValue));
}

bool PropHolder::hasProp(const char* pszKey, bool bSearchParents) const {
    for (const PropHolder* p = this; p; p = bSearchParents ? p->m_pParent : nullptr)
        if (p->m_hProps.hasKey(pszKey)) return true;
    return false;
}

Tsl::String PropHolder::getProp(const char* pszKey, bool bSearchParents) const {
    Tsl::String sKey(pszKey);
    for (const PropHolder* p = this; p; p = bSearchParents ? p->m_pParent : nullptr)
        if (p->m_hProps.hasKey(sKey)) return p->m_hProps.get(sKey);
    return Tsl::String();
}

Tsl::List<Tsl::String> PropHolder::getPropKeys() const { return m_hProps.getKeys(); }
