// Line reader for the small command files (themes, emitters, trimmed-image
// descriptions, alias lists): one command per line, tokens separated by
// blanks or tabs, "#" starting a comment that runs to the end of the line.
#pragma once

#include "tsl2/list.h"
#include "tsl2/str.h"

#include <vector>

namespace Tsl {

// A whole number word of a text file (optional sign, decimal digits only)
// that must lie within nMin to nMax. Raises FatalErrorException
// "'%s' is not a number" or "'%s' is out of range (%d to %d)"; the file's
// reader adds the file and line.
int toCheckedInt(const String& sWord, int nMin, int nMax);

class TokenFileReader {
public:
    // The source name only labels messages (usually the resource name).
    TokenFileReader(const char* sChunk, const char* pszSourceName = nullptr);
    TokenFileReader(const String& sChunk, const char* pszSourceName = nullptr);

    // No kept line is left to read.
    bool isEOF() const;
    // Moves to the next kept line and splits it; false (no tokens) past the end.
    bool nextLine();
    // The current line's tokens; the same list object for every line.
    List<String>& getTokens() { return m_lTokens; }
    const List<String>& getTokens() const { return m_lTokens; }
    // 1-based line of the current line in the source text; 0 before the first.
    int getLineNumber() const;
    // The current line without its comment and outer blanks.
    String getLine() const;
    const String& getSourceName() const { return m_sSourceName; }

    // The parsers' message for a line shorter than its command needs.
    String needTokensMessage(int nNeeded) const;
    // Raises FatalErrorException with that message when the line is short.
    void checkTokenCount(int nNeeded) const;

private:
    struct Line {
        int nNumber;
        String sText;
    };
    void splitLines(const char* pData, int nLength);

    String m_sSourceName;
    std::vector<Line> m_aLines;
    int m_nSourceLines;
    int m_nCurrent;
    List<String> m_lTokens;
};

} // namespace Tsl
