#include "anim/propholder.h"

PropHolder::PropHolder() : m_pParent(nullptr) {}

PropHolder::~PropHolder() {}

void PropHolder::setProp(const char* pszKey, const char* pszValue) {
    if (!m_pProps) m_pProps.reset(new Tsl::Hash<Tsl::String, Tsl::String>());
    m_pProps->set(Tsl::String(pszKey), Tsl::String(pszValue));
}

bool PropHolder::hasProp(const char* pszKey, bool bSearchParents) const {
    for (const PropHolder* p = this; p; p = bSearchParents ? p->m_pParent : nullptr)
        if (p->m_pProps && p->m_pProps->hasKey(pszKey)) return true;
    return false;
}

Tsl::String PropHolder::getProp(const char* pszKey, bool bSearchParents) const {
    Tsl::String sKey(pszKey);
    for (const PropHolder* p = this; p; p = bSearchParents ? p->m_pParent : nullptr)
        if (p->m_pProps && p->m_pProps->hasKey(sKey)) return p->m_pProps->get(sKey);
    return Tsl::String();
}

Tsl::List<Tsl::String> PropHolder::getPropKeys() const {
    return m_pProps ? m_pProps->getKeys() : Tsl::List<Tsl::String>();
}
