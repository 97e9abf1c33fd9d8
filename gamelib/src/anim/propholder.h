// Free-form string properties ("doaction", "sound") on animations,
// sequences and frames. A look-up that misses climbs to the parent holder,
// so a key set on an animation is the default for all of its frames.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <memory>

class PropHolder : public Tsl::RefCountedObject {
public:
    PropHolder();
    ~PropHolder() override;

    // Not owned: the holder searched after this one.
    void setParent(PropHolder* pParent) { m_pParent = pParent; }
    PropHolder* getParent() const { return m_pParent; }

    // Inserts or replaces in this holder.
    void setProp(const char* pszKey, const char* pszValue);
    bool hasProp(const char* pszKey, bool bSearchParents = true) const;
    // The value from the first holder up the chain that has the key; empty
    // when none has it (hasProp tells a missing key from an empty value).
    Tsl::String getProp(const char* pszKey, bool bSearchParents = true) const;
    // The value where getProp finds it, or null; neither the key nor the
    // value is copied, so a look-up made every frame allocates nothing.
    const Tsl::String* findProp(const Tsl::String& sKey, bool bSearchParents = true) const;
    // This holder's own keys, in the table's key order.
    Tsl::List<Tsl::String> getPropKeys() const;

private:
    // This holder or the first up the chain that has the key; null when none has it.
    const PropHolder* holderOf(const Tsl::String& sKey, bool bSearchParents) const;

    PropHolder* m_pParent;
    // Made on the first setProp: most frames carry no properties, and an
    // empty table of 97 buckets would cost several kilobytes a frame.
    std::unique_ptr<Tsl::Hash<Tsl::String, Tsl::String>> m_pProps;
};
