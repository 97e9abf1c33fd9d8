// The generated content before it is packed: entries by archive and name.
// Pictures are stored under lower-case names (the image cache lower-cases
// every name it is asked for, archive look-ups are exact); every other
// resource exactly as named.
#pragma once

#include "canvas.h"
#include "encoders.h"

#include <map>
#include <string>

class ContentSet {
public:
    // The archives of the game, in the order the game opens them.
    static const char* const ARCHIVES[];
    static const int ARCHIVE_COUNT;

    // A picture "name.png" (name lower-cased).
    void addImage(const std::string& sArchive, const std::string& sName, const Canvas& canvas);
    void addText(const std::string& sArchive, const std::string& sName, const std::string& sText);
    void addBytes(const std::string& sArchive, const std::string& sName, const Bytes& data);

    bool has(const std::string& sName) const;
    // A picture made earlier, by the name it was added under, as the game
    // will show it; an error when there is none.
    Canvas picture(const std::string& sName) const;
    // Every entry name with the archive that holds it.
    std::map<std::string, std::string> getIndex() const;
    const std::map<std::string, std::map<std::string, Bytes>>& getArchives() const { return m_hArchives; }

    // Writes each archive into the folder (a temporary file, then a
    // rename, so a broken run never leaves a half archive under the name).
    void write(const std::string& sFolder) const;

private:
    void add(const std::string& sArchive, const std::string& sName, Bytes data);

    std::map<std::string, std::map<std::string, Bytes>> m_hArchives;
};
