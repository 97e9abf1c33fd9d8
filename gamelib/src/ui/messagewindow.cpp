#include "ui/messagewindow.h"

#include "platform/scopedenvironment.h"
#include "platform/x11window.h"
#include "ui/systemfont.h"

#include <cstdlib>
#include <cstring>

const char* const MessageWindow::CLOSE_HINT = "Click or press a key to close.";

namespace {

const SDL_Color BACKGROUND = {248, 238, 212, 0};
const SDL_Color FRAME = {150, 112, 64, 0};
const SDL_Color CAPTION_INK = {128, 56, 16, 0};
const SDL_Color TEXT_INK = {36, 28, 20, 0};
const SDL_Color HINT_INK = {112, 100, 88, 0};
const int DELAY_MS = 20;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Characters, not bytes: a UTF-8 character is one glyph.
int countCharacters(const std::string& s) {
    int n = 0;
    for (unsigned char c : s) n += !isContinuation(c);
    return n;
}

// The bytes of the first nCount characters.
size_t bytesOf(const std::string& s, int nCount) {
    size_t i = 0;
    for (int n = 0; i < s.size(); ++i) {
        if (!isContinuation(static_cast<unsigned char>(s[i])) && n++ == nCount) break;
    }
    return i;
}

Uint32 mapColor(SDL_Surface* pSurface, const SDL_Color& c) { return SDL_MapRGB(pSurface->format, c.r, c.g, c.b); }

void fill(SDL_Surface* pSurface, int x, int y, int w, int h, Uint32 nColor) {
    SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(pSurface, &r, nColor);
}

// One line in the system font's glyphs, SCALE pixels to a glyph pixel.
void drawText(SDL_Surface* pSurface, int x, int y, const std::string& sText, Uint32 nInk) {
    const int nScale = MessageWindow::SCALE;
    int nPenX = x;
    for (unsigned char c : sText) {
        if (isContinuation(c)) continue;
        for (int nRow = 0; nRow < SystemFont::GLYPH_HEIGHT; ++nRow)
            for (int nColumn = 0; nColumn < SystemFont::GLYPH_WIDTH; ++nColumn)
                if (SystemFont::isGlyphPixel(c, nColumn, nRow))
                    fill(pSurface, nPenX + nColumn * nScale, y + nRow * nScale, nScale, nScale, nInk);
        nPenX += MessageWindow::getAdvance();
    }
}

} // namespace

MessageWindow::MessageWindow(const char* pszCaption, const char* pszText) {
    addLines(pszCaption ? pszCaption : "", LINE_CAPTION);
    m_aLines.push_back(Line{std::string(), LINE_TEXT});
    addLines(pszText ? pszText : "", LINE_TEXT);
    // Room for the blank line and the hint.
    if (int(m_aLines.size()) > MAX_LINES - 2) {
        m_aLines.resize(MAX_LINES - 2);
        Line& last = m_aLines.back();
        if (countCharacters(last.sText) > getColumns() - 3) last.sText.resize(bytesOf(last.sText, getColumns() - 3));
        last.sText += "...";
    }
    m_aLines.push_back(Line{std::string(), LINE_TEXT});
    m_aLines.push_back(Line{CLOSE_HINT, LINE_HINT});
}

void MessageWindow::addLines(const std::string& sText, LineKind eKind) {
    for (const std::string& sLine : wrap(sText, getColumns())) m_aLines.push_back(Line{sLine, eKind});
}

int MessageWindow::getColumns() { return (WIDTH - 2 * MARGIN) / getAdvance(); }

int MessageWindow::getAdvance() { return (SystemFont::GLYPH_WIDTH + 1) * SCALE; }

int MessageWindow::getGlyphHeight() { return SystemFont::GLYPH_HEIGHT * SCALE; }

SDL_Color MessageWindow::getBackground() { return BACKGROUND; }

int MessageWindow::getLineY(int nLine) const { return MARGIN + nLine * (getGlyphHeight() + SCALE + LINE_SPACING); }

int MessageWindow::getHeight() const {
    int nLines = static_cast<int>(m_aLines.size());
    return getLineY(nLines - 1) + getGlyphHeight() + MARGIN;
}

std::vector<std::string> MessageWindow::wrap(const std::string& sText, int nColumns) {
    std::vector<std::string> aLines;
    if (nColumns < 1) nColumns = 1;
    size_t nStart = 0;
    do {
        size_t nEnd = sText.find('\n', nStart);
        std::string sParagraph = sText.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart);
        nStart = nEnd == std::string::npos ? sText.size() + 1 : nEnd + 1;
        wrapParagraph(sParagraph, nColumns, &aLines);
    } while (nStart <= sText.size());
    return aLines;
}

void MessageWindow::wrapParagraph(std::string sParagraph, int nColumns, std::vector<std::string>* paLines) {
    for (char& c : sParagraph)
        if (c == '\r' || c == '\t') c = ' ';
    std::string sLine;
    size_t i = 0;
    while (i < sParagraph.size()) {
        size_t nWordEnd = sParagraph.find(' ', i);
        if (nWordEnd == std::string::npos) nWordEnd = sParagraph.size();
        std::string sWord = sParagraph.substr(i, nWordEnd - i);
        i = nWordEnd + 1;
        if (sWord.empty()) continue;
        if (countCharacters(sLine) + (sLine.empty() ? 0 : 1) + countCharacters(sWord) <= nColumns) {
            sLine += (sLine.empty() ? "" : " ") + sWord;
            continue;
        }
        if (!sLine.empty()) paLines->push_back(sLine);
        sLine = cutLongWord(sWord, nColumns, paLines);
    }
    paLines->push_back(sLine);
}

// A word wider than a line (a path) is cut into lines of its own, after a
// separator where one fits; what is left starts the next line.
std::string MessageWindow::cutLongWord(std::string sWord, int nColumns, std::vector<std::string>* paLines) {
    while (countCharacters(sWord) > nColumns) {
        size_t nCut = bytesOf(sWord, nColumns);
        size_t nSlash = sWord.rfind('/', nCut - 1);
        if (nSlash != std::string::npos && nSlash > 0) nCut = nSlash + 1;
        paLines->push_back(sWord.substr(0, nCut));
        sWord.erase(0, nCut);
    }
    return sWord;
}

void MessageWindow::draw(SDL_Surface* pSurface) const {
    if (!pSurface) return;
    if (SDL_MUSTLOCK(pSurface)) SDL_LockSurface(pSurface);
    fill(pSurface, 0, 0, getWidth(), getHeight(), mapColor(pSurface, FRAME));
    fill(pSurface, BORDER, BORDER, getWidth() - 2 * BORDER, getHeight() - 2 * BORDER, mapColor(pSurface, BACKGROUND));
    for (size_t i = 0; i < m_aLines.size(); ++i) {
        const Line& line = m_aLines[i];
        const SDL_Color& ink =
            line.eKind == LINE_CAPTION ? CAPTION_INK : (line.eKind == LINE_HINT ? HINT_INK : TEXT_INK);
        drawText(pSurface, getLineX(), getLineY(static_cast<int>(i)), line.sText, mapColor(pSurface, ink));
    }
    if (SDL_MUSTLOCK(pSurface)) SDL_UnlockSurface(pSurface);
}

bool MessageWindow::show(std::string* psOutcome, int nExitCodeIfCut) {
    std::string sOutcome = whyNotShown();
    bool bShown = false;
    if (sOutcome.empty()) {
        ScopedEnvironment driver("SDL_VIDEODRIVER", "x11");
        // Both before SDL's video: it passes X errors and a cut connection
        // on to the handlers it found.
        x11InstallErrorHandler();
        x11ExitOnLostConnection(nExitCodeIfCut);
        bShown = openAndWait(&sOutcome);
        x11RemoveLostConnectionExit();
        x11RemoveErrorHandler();
    }
    if (psOutcome) *psOutcome = sOutcome;
    return bShown;
}

std::string MessageWindow::whyNotShown() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return "the game's screen is open";
    // Only x11 shows a window here; any other driver SDL would pick (the
    // tests' dummy, a text-mode one) could show nothing or wait on a terminal.
    const char* pszDriver = std::getenv("SDL_VIDEODRIVER");
    if (pszDriver && *pszDriver && std::strcmp(pszDriver, "x11") != 0)
        return std::string("the video driver '") + pszDriver + "' shows no window";
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) return "no display (DISPLAY is not set)";
    return std::string();
}

bool MessageWindow::openAndWait(std::string* psOutcome) const {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
        *psOutcome = std::string("no display (") + SDL_GetError() + ")";
        if (!SDL_WasInit(SDL_INIT_EVERYTHING)) SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption(m_aLines.front().sText.c_str(), m_aLines.front().sText.c_str());
    SDL_Surface* pScreen = nullptr;
    {
        ScopedEnvironment centred("SDL_VIDEO_CENTERED", "1");
        pScreen = SDL_SetVideoMode(getWidth(), getHeight(), 0, SDL_SWSURFACE);
    }
    if (pScreen) {
        draw(pScreen);
        SDL_UpdateRect(pScreen, 0, 0, 0, 0);
        *psOutcome = waitForClose(pScreen);
    } else {
        *psOutcome = std::string("no window (") + SDL_GetError() + ")";
    }
    x11BeginLeaving();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!SDL_WasInit(SDL_INIT_EVERYTHING)) SDL_Quit();
    return pScreen != nullptr;
}

std::string MessageWindow::waitForClose(SDL_Surface* pScreen) const {
    const Uint32 nStart = SDL_GetTicks();
    for (;;) {
        std::string sOutcome = takeEvents(pScreen);
        if (!sOutcome.empty()) return sOutcome;
        if (x11IsWindowLost()) return "its window was destroyed from outside";
        // Nobody may be there to answer (a scripted run under a virtual
        // display): the run must end some time.
        if (SDL_GetTicks() - nStart >= Uint32(UNANSWERED_SECONDS) * 1000)
            return "not answered: closed after " + std::to_string(UNANSWERED_SECONDS / 60) + " minutes";
        SDL_Delay(DELAY_MS);
    }
}

std::string MessageWindow::takeEvents(SDL_Surface* pScreen) const {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            return "closed with a key";
        case SDL_MOUSEBUTTONDOWN:
            // The wheel only turns.
            if (event.button.button <= SDL_BUTTON_RIGHT) return "closed with a click";
            break;
        case SDL_QUIT:
            // The close box, or a termination signal (SDL turns it into this).
            return "closed by the window's close box or a signal";
        case SDL_VIDEOEXPOSE:
            draw(pScreen);
            SDL_UpdateRect(pScreen, 0, 0, 0, 0);
            break;
        default:
            break;
        }
    }
    return std::string();
}
