// The settings file: a zlib stream holding the object streamer header, the
// record word "SET" + version 1, the entry count and the key/value strings.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

namespace Tsl {
class Stream;
}

class SettingsFile {
public:
    // No stored key or value may be longer than MAX_VALUE_SIZE; all of them
    // together may unpack to no more than MAX_TOTAL_SIZE, so a small file can
    // never cost more memory or time than that.
    enum { MAX_VALUE_SIZE = 1 << 20, MAX_TOTAL_SIZE = 16 << 20 };
    // New keys one read adds at most, the caller's own keys aside. The game
    // writes about twenty (the options, the profile list, the high-score
    // tables and a few kept copies); the bound is hundreds of times that, yet
    // a file of tiny entries, which would pass the size bounds by the
    // million, stays a few hundred kilobytes of table.
    enum { MAX_ENTRIES = 10000 };

    // What a read found besides the entries.
    struct Report {
        // The stream ended right after its last entry and its check held:
        // every entry read is exactly as written (the bounds may still have
        // refused some). A damaged stream can hand on changed bytes before
        // the damage shows, so what it gave is not to be trusted over a
        // checked copy.
        bool bChecked = true;
        // Not checked because the stream ended before its end (a file cut
        // short): what it gave is exactly as written, only the rest is lost.
        bool bCutShort = false;
        // Checked, and nothing was refused.
        bool bWhole = true;
        // One line for the log per fault: a refused entry, where the data broke off.
        Tsl::List<Tsl::String> lProblems;
    };

    // Reads the file's bytes from pSource (not owned) into hEntries. Never
    // raises on bad data: an entry over the size bound is refused and
    // reading goes on; once MAX_ENTRIES new keys are stored, the rest of the
    // count is still read (within MAX_TOTAL_SIZE), but only keys named in
    // lOwnKeys, or stored already, are kept, the others refused in one
    // problem line; damage ends the reading, and every entry read whole
    // before it is kept.
    static Report read(Tsl::Stream* pSource, Tsl::Hash<Tsl::String, Tsl::String>& hEntries,
                       const Tsl::List<Tsl::String>& lOwnKeys = Tsl::List<Tsl::String>());
    // What takeFromKept did.
    struct Merge {
        int nTaken = 0;     // entries the read had lost
        int nReplaced = 0;  // entries the read may have changed
        int nDropped = 0;   // entries whose key the damage may have changed
    };
    // Fills in hRead, as a damaged read found it (read), from a kept copy
    // read as kept found it: the entries it lacks (past MAX_ENTRIES only
    // lOwnKeys). Where the read's stream failed its check inside (not merely
    // cut short), the copy's own values win as well when its check held, and
    // the read keeps only the keys that the copy holds or lOwnKeys names.
    static Merge takeFromKept(Tsl::Hash<Tsl::String, Tsl::String>& hRead, const Report& read,
                              const Tsl::Hash<Tsl::String, Tsl::String>& hKept, const Report& kept,
                              const Tsl::List<Tsl::String>& lOwnKeys);
    // Raises FileAccessException when the target takes no more bytes.
    static void write(Tsl::Stream* pTarget, const Tsl::Hash<Tsl::String, Tsl::String>& hEntries);
};
