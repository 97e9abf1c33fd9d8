// A window of its own for a message the player must see while the game has
// no screen: before its screen opens or after it has closed it (a start that
// failed). The caption, the text wrapped at spaces and the line "Click or
// press a key to close." are drawn in the built-in system font
// (ui/systemfont.h) straight into SDL's window, so nothing of the game's
// content is needed. show() waits for a click, a key, the window's close box,
// a termination signal, the window's loss or UNANSWERED_SECONDS; it shows
// nothing (and says why) while SDL's video is in use, without a display, or
// under a video driver other than x11 (the dummy driver of the tests shows no
// window).
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

class MessageWindow {
public:
    enum {
        SCALE = 3,         // of the system font's glyphs
        WIDTH = 720,       // of the window
        MARGIN = 24,       // around the lines
        LINE_SPACING = 4,  // between two lines, beyond the font's own height
        BORDER = 2,
        MAX_LINES = 22,    // the window stays inside an 800x600 screen
        // Unanswered for this long, the window closes by itself.
        UNANSWERED_SECONDS = 10 * 60
    };
    enum LineKind { LINE_CAPTION, LINE_TEXT, LINE_HINT };
    struct Line {
        std::string sText;
        LineKind eKind;
    };
    static const char* const CLOSE_HINT;

    MessageWindow(const char* pszCaption, const char* pszText);

    // The caption, a blank line, the text, a blank line and the hint, each
    // wrapped to getColumns(); text beyond MAX_LINES ends in "...".
    const std::vector<Line>& getLines() const { return m_aLines; }
    int getWidth() const { return WIDTH; }
    int getHeight() const;
    // Where a line's first glyph starts inside the window.
    int getLineX() const { return MARGIN; }
    int getLineY(int nLine) const;
    static int getColumns();
    // Horizontal advance and height of one drawn character.
    static int getAdvance();
    static int getGlyphHeight();
    static SDL_Color getBackground();

    // Paints the whole window into a surface of its size.
    void draw(SDL_Surface* pSurface) const;
    // Opens the window and waits until the player closes it, or for
    // UNANSWERED_SECONDS. False, with the reason, when it could not be shown;
    // how it was closed otherwise. A connection to the X server cut while it
    // is open ends the program with the exit code given.
    bool show(std::string* psOutcome, int nExitCodeIfCut);

    // Lines of at most nColumns characters (a UTF-8 character counts once),
    // broken at spaces and at the text's own line breaks; a longer word is
    // cut after its last "/" that fits, or else where the line ends.
    static std::vector<std::string> wrap(const std::string& sText, int nColumns);

private:
    static void wrapParagraph(std::string sParagraph, int nColumns, std::vector<std::string>* paLines);
    static std::string cutLongWord(std::string sWord, int nColumns, std::vector<std::string>* paLines);
    void addLines(const std::string& sText, LineKind eKind);
    // Empty when the window can be shown here.
    static std::string whyNotShown();
    bool openAndWait(std::string* psOutcome) const;
    std::string waitForClose(SDL_Surface* pScreen) const;
    // How the events so far closed the window; empty while it stays.
    std::string takeEvents(SDL_Surface* pScreen) const;

    std::vector<Line> m_aLines;
};
