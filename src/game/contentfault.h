#pragma once

#include "tsl2/error.h"
#include "tsl2/str.h"

// A fault of the game's content found after the start-up checks passed: an
// archive entry that does not read back, a preloaded name that does not load.
// The run ends as a start that misses content does (QarnApp::failStartOn):
// exit code 2 and a message for the player, who can do nothing but build the
// content again. The exception's own message keeps the details for the log.
class ContentFault : public Tsl::ResourceException {
public:
    ContentFault(const char* pszFile, int nLine, const char* pszDetails, const Tsl::String& sForPlayer)
        : Tsl::ResourceException(pszFile, nLine, pszDetails), m_sForPlayer(sForPlayer) {}
    const char* getTypeName() const override { return "ContentFault"; }
    // What the player is told: the archive and the entry when one is damaged.
    const Tsl::String& getTextForPlayer() const { return m_sForPlayer; }

    // Whether the exception is a fault of the content (a damaged archive
    // entry, content missing) rather than of the program.
    static bool isContentFault(const Tsl::Exception& e);
    // The player's words for a fault met while reading content: which
    // archive and entry are damaged, not what zlib said of them.
    static Tsl::String describe(const Tsl::Exception& e);

private:
    Tsl::String m_sForPlayer;
};
