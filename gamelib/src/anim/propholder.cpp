#include "anim/propholder.h"

PropHolder::PropHolder() : m_pParent(nullptr) {}

PropHolder::~PropHolder() {}

void PropHolder::setProp(const char* pszKey, const char* pszValue) {
    if (!m_pProps) m_pProps.reset(new Tsl::Hash<Tsl::String, Tsl::String>());
    m_pProps->set(Tsl::String(pszKey), Tsl::String(pszValue));
}

const PropHolder* PropHolder::holderOf(const Tsl::String& sKey, bool bSearchParents) const {
    for (const PropHolder* p = this; p; p = bSearchParents ? p->m_pParent : nullptr)
        if (p->m_pProps && p->m_pProps->hasKey(sKey)) return p;
    return nullptr;
}

bool PropHolder::hasProp(const char* pszKey, bool bSearchParents) const {
    return holderOf(Tsl::String(pszKey), bSearchParents) != nullptr;
}

Tsl::String PropHolder::getProp(const char* pszKey, bool bSearchParents) const {
    Tsl::String sKey(pszKey);
    const PropHolder* pHolder = holderOf(sKey, bSearchParents);
    return pHolder ? pHolder->m_pProps->get(sKey) : Tsl::String();
}

const Tsl::String* PropHolder::findProp(const Tsl::String& sKey, bool bSearchParents) const {
    const PropHolder* pHolder = holderOf(sKey, bSearchParents);
    return pHolder ? &pHolder->m_pProps->get(sKey) : nullptr;
}

Tsl::List<Tsl::String> PropHolder::getPropKeys() const {
    return m_pProps ? m_pProps->getKeys() : Tsl::List<Tsl::String>();
}
