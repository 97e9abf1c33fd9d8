// A window of its own for a message the player must see while the game has
// no screen: before its screen opens or after it has closed it (a start that
// failed). The caption, the text and the line "Click or press a key to
// close." are drawn in DejaVu Sans from the system's fonts straight into SDL's
// window, so nothing of the game's content is needed; only when no TrueType
// font opens does the built-in system font (ui/systemfont.h) stand in. show()
// waits for a click, a key, the window's close box, a termination signal, the
// window's loss or UNANSWERED_SECONDS; it shows nothing (and says why) while
// SDL's video is in use, without a display, or under a video driver other
// than x11 (the dummy driver of the tests shows no window).
#pragma once

#include "text/font.h"

#include <SDL.h>

#include <string>
#include <vector>

class MessageWindow {
public:
    enum {
        WIDTH = 720,       // of the window
        MARGIN = 24,       // around the lines
        LINE_SPACING = 4,  // between two lines, beyond the font's own height
        BORDER = 2,
        MAX_HEIGHT = 560,  // the window stays inside an 800x600 screen
        POINT_SIZE = 16,
        SYSTEM_FONT_SCALE = 3,
        // Unanswered for this long, the window closes by itself.
        UNANSWERED_SECONDS = 10 * 60
    };
    enum LineKind { LINE_CAPTION, LINE_TEXT, LINE_HINT };
    struct Line {
        std::string sText;
        LineKind eKind;
    };
    static const char* const CLOSE_HINT;
    // Where the TrueType font is read from (fonts-dejavu-core).
    static const char* const FONT_FOLDER;
    static const char* const FONT_FILE;

    MessageWindow(const char* pszCaption, const char* pszText);

    // The caption, a blank line, the text, a blank line and the hint, each
    // wrapped to getTextWidth(); a text taller than the window allows ends
    // in an ellipsis.
    const std::vector<Line>& getLines() const { return m_aLines; }
    // The font the lines are measured and drawn in.
    const Font& getFont() const { return *m_pFont; }
    int getWidth() const { return WIDTH; }
    int getHeight() const;
    // The widest a line may be.
    int getTextWidth() const { return WIDTH - 2 * MARGIN; }
    // Where a line's top-left corner lies inside the window.
    int getLineX() const { return MARGIN; }
    int getLineY(int nLine) const;
    static SDL_Color getBackground();

    // Paints the whole window into a surface of its size.
    void draw(SDL_Surface* pSurface) const;
    // Opens the window and waits until the player closes it, or for
    // UNANSWERED_SECONDS. False, with the reason, when it could not be shown;
    // how it was closed otherwise. A connection to the X server cut while it
    // is open ends the program with the exit code given.
    bool show(std::string* psOutcome, int nExitCodeIfCut);

private:
    static Tsl::SmartPtr<Font> openTrueTypeFont();
    void layOut(const char* pszCaption, const char* pszText);
    void addLines(std::string sText, LineKind eKind);
    // The lines of a text no wider than getTextWidth(): the font's own
    // wrapping, and a word wider than a line (a path) cut after its last "/"
    // that fits, or else where the line ends.
    std::vector<std::string> wrap(const std::string& sText) const;
    int cutLongWord(const Tsl::String& sLine) const;
    void cutToHeight();
    int getMaxLines() const;
    int getLineStep() const { return m_pFont->getHeight() + LINE_SPACING; }
    // Empty when the window can be shown here.
    static std::string whyNotShown();
    bool openAndWait(std::string* psOutcome) const;
    std::string waitForClose(SDL_Surface* pScreen) const;
    // How the events so far closed the window; empty while it stays.
    std::string takeEvents(SDL_Surface* pScreen) const;

    Tsl::SmartPtr<Font> m_pFont;
    std::vector<Line> m_aLines;
};
