#include "ui/messagewindow.h"

#include "image/sdl_image.h"
#include "platform/scopedenvironment.h"
#include "platform/x11window.h"
#include "text/sdl_ttf_font.h"
#include "ui/systemfont.h"

#include "tsl2/error.h"
#include "tsl2/resource.h"

#include <cstdlib>
#include <cstring>

const char* const MessageWindow::CLOSE_HINT = "Click or press a key to close.";
const char* const MessageWindow::FONT_FOLDER = "/usr/share/fonts/truetype/dejavu";
const char* const MessageWindow::FONT_FILE = "DejaVuSans.ttf";

namespace {

const Color BACKGROUND(248, 238, 212, 255);
const Color FRAME(150, 112, 64, 255);
const Color CAPTION_INK(128, 56, 16, 255);
const Color TEXT_INK(36, 28, 20, 255);
const Color HINT_INK(112, 100, 88, 255);
const int DELAY_MS = 20;

Uint32 mapColor(SDL_Surface* pSurface, const Color& c) { return SDL_MapRGB(pSurface->format, c.r, c.g, c.b); }

void fill(SDL_Surface* pSurface, int x, int y, int w, int h, Uint32 nColor) {
    SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(pSurface, &r, nColor);
}

// What the font draws of a wrapped line: no line break, no blanks at its ends.
Tsl::String shownPart(const Tsl::String& sLine) { return sLine.trim(); }

} // namespace

MessageWindow::MessageWindow(const char* pszCaption, const char* pszText) {
    try {
        m_pFont = openTrueTypeFont();
        layOut(pszCaption, pszText);
    } catch (const Tsl::Exception&) {
        // Without a TrueType font that opens and measures the text, the
        // built-in one still tells the player.
        m_pFont = new SystemFont(SYSTEM_FONT_SCALE);
        layOut(pszCaption, pszText);
    }
}

Tsl::SmartPtr<Font> MessageWindow::openTrueTypeFont() {
    Tsl::SmartPtr<Tsl::Resource> pFile = Tsl::FolderResourceProvider(FONT_FOLDER).getResource(FONT_FILE);
    if (!pFile) TSL_THROW(ResourceException, "No font %s in %s", FONT_FILE, FONT_FOLDER);
    Tsl::SmartPtr<SDLTrueTypeFont> pFont = new SDLTrueTypeFont();
    pFont->open(pFile, POINT_SIZE, 0);
    return pFont.get();
}

void MessageWindow::layOut(const char* pszCaption, const char* pszText) {
    // Plain ink on the window's light ground: a shadow would only blur it.
    m_pFont->setDrawShadow(false);
    m_aLines.clear();
    addLines(pszCaption ? pszCaption : "", LINE_CAPTION);
    m_aLines.push_back(Line{std::string(), LINE_TEXT});
    addLines(pszText ? pszText : "", LINE_TEXT);
    cutToHeight();
    m_aLines.push_back(Line{std::string(), LINE_TEXT});
    m_aLines.push_back(Line{CLOSE_HINT, LINE_HINT});
}

void MessageWindow::addLines(std::string sText, LineKind eKind) {
    // Fonts draw a box for a tab or a lone carriage return.
    for (char& c : sText)
        if (c == '\r' || c == '\t') c = ' ';
    for (const std::string& sLine : wrap(sText)) m_aLines.push_back(Line{sLine, eKind});
}

std::vector<std::string> MessageWindow::wrap(const std::string& sText) const {
    std::vector<std::string> aLines;
    Tsl::String sRest = sText.c_str();
    // Wrapped again after each cut word: the rest of its line may join the
    // words that follow. Lines past the window's are not needed.
    while (!sRest.isEmpty() && int(aLines.size()) <= getMaxLines()) {
        int nUsed = 0;
        bool bCut = false;
        for (const Tsl::String& sLine : m_pFont->wrapText(sRest, getTextWidth())) {
            if (m_pFont->getTextWidth(shownPart(sLine)) > getTextWidth()) {
                int nCut = cutLongWord(sLine);
                aLines.push_back(shownPart(sLine.left(nCut)).c_str());
                nUsed += nCut;
                bCut = true;
                break;
            }
            aLines.push_back(shownPart(sLine).c_str());
            nUsed += sLine.getLength();
        }
        sRest = bCut ? sRest.substringFrom(nUsed) : Tsl::String();
    }
    if (aLines.empty()) aLines.push_back(std::string());
    return aLines;
}

// Bytes of the over-wide line that go on a line of their own: up to its
// last "/" that fits, or else as many whole characters as fit (one at least).
int MessageWindow::cutLongWord(const Tsl::String& sLine) const {
    for (int i = sLine.getLength() - 1; i > 1; --i)
        if (sLine[i - 1] == '/' && m_pFont->getTextWidth(shownPart(sLine.left(i))) <= getTextWidth()) return i;
    int nFits = m_pFont->cutToWidth(sLine, getTextWidth(), "").getLength();
    int nFirst = 1;
    while (nFirst < sLine.getLength() && (static_cast<unsigned char>(sLine[nFirst]) & 0xC0) == 0x80) ++nFirst;
    return nFits > 0 ? nFits : nFirst;
}

// Room for the blank line and the hint; the last line kept ends in an ellipsis.
void MessageWindow::cutToHeight() {
    int nKept = getMaxLines() - 2;
    if (int(m_aLines.size()) <= nKept) return;
    m_aLines.resize(nKept);
    // The built-in font has no glyph for the one-character ellipsis.
    const char* pszEllipsis = dynamic_cast<const SystemFont*>(m_pFont.get()) ? "..." : "\u2026";
    Line& last = m_aLines.back();
    last.sText = m_pFont->cutToWidth((last.sText + pszEllipsis).c_str(), getTextWidth(), pszEllipsis).c_str();
}

int MessageWindow::getMaxLines() const { return (MAX_HEIGHT - 2 * MARGIN + LINE_SPACING) / getLineStep(); }

SDL_Color MessageWindow::getBackground() { return SDL_Color{BACKGROUND.r, BACKGROUND.g, BACKGROUND.b, 0}; }

int MessageWindow::getLineY(int nLine) const { return MARGIN + nLine * getLineStep(); }

int MessageWindow::getHeight() const {
    int nLines = static_cast<int>(m_aLines.size());
    return getLineY(nLines - 1) + m_pFont->getHeight() + MARGIN;
}

void MessageWindow::draw(SDL_Surface* pSurface) const {
    if (!pSurface) return;
    fill(pSurface, 0, 0, getWidth(), getHeight(), mapColor(pSurface, FRAME));
    fill(pSurface, BORDER, BORDER, getWidth() - 2 * BORDER, getHeight() - 2 * BORDER, mapColor(pSurface, BACKGROUND));
    // The fonts draw into images: one over the window's own pixels, which stay SDL's.
    Tsl::SmartPtr<SDLImage> pWindow = new SDLImage(pSurface);
    pWindow->getSurface()->setOwnsSurface(false);
    for (size_t i = 0; i < m_aLines.size(); ++i) {
        const Line& line = m_aLines[i];
        m_pFont->setTextColor(line.eKind == LINE_CAPTION ? CAPTION_INK
                                                         : (line.eKind == LINE_HINT ? HINT_INK : TEXT_INK));
        m_pFont->drawString(pWindow.get(), getLineX(), getLineY(static_cast<int>(i)), line.sText.c_str());
    }
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
