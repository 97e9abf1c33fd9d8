#include "game/contentfault.h"

#include "tsl2/resourcefile.h"

#include <cstring>

bool ContentFault::isContentFault(const Tsl::Exception& e) {
    return dynamic_cast<const Tsl::ResourceException*>(&e) || dynamic_cast<const Tsl::DamagedEntryException*>(&e);
}

Tsl::String ContentFault::describe(const Tsl::Exception& e) {
    if (const ContentFault* pFault = dynamic_cast<const ContentFault*>(&e)) return pFault->getTextForPlayer();
    if (const Tsl::DamagedEntryException* pDamaged = dynamic_cast<const Tsl::DamagedEntryException*>(&e)) {
        // The archive as it was opened carries the content folder, which the
        // message names on a line of its own.
        const char* pszArchive = pDamaged->getArchive().c_str();
        const char* pszSlash = std::strrchr(pszArchive, '/');
        return Tsl::String::format("The archive '%s' is damaged: its entry '%s' cannot be read.",
                                   pszSlash ? pszSlash + 1 : pszArchive, pDamaged->getEntry().c_str());
    }
    if (dynamic_cast<const Tsl::ResourceException*>(&e))
        return Tsl::String("The game's content is damaged or incomplete: ") + e.getMessage();
    // The content's own reports (a theme's or a table's line) name the file and the line.
    return e.getMessage();
}
