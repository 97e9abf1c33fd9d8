#include "text/fontregistry.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"

namespace {

typedef Tsl::Hash<Tsl::String, Tsl::SmartPtr<FontFactory>> FactoryTable;

FactoryTable& factories() {
    static FactoryTable s_hFactories(97);
    return s_hFactories;
}

} // namespace

namespace FontRegistry {

void registerFactory(const char* pszClass, Tsl::SmartPtr<FontFactory> pFactory) {
    factories().set(Tsl::String(pszClass).toLower(), pFactory);
}

void unregisterFactory(const char* pszClass) {
    // Taken out before it is released: a factory's destructor may come back here.
    Tsl::SmartPtr<FontFactory> pOld = factories().remove(Tsl::String(pszClass).toLower());
}

Tsl::SmartPtr<FontFactory> findFactory(const char* pszClass) {
    Tsl::String sKey = Tsl::String(pszClass).toLower();
    FactoryTable& hFactories = factories();
    return hFactories.hasKey(sKey) ? hFactories.get(sKey) : Tsl::SmartPtr<FontFactory>();
}

Tsl::SmartPtr<Font> createFont(const char* pszClass, const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::SmartPtr<FontFactory> pFactory = findFactory(pszClass);
    if (!pFactory) TSL_THROW(FatalErrorException, "Can't find factory for font class '%s'", pszClass);
    return pFactory->createFont(lParams);
}

} // namespace FontRegistry
