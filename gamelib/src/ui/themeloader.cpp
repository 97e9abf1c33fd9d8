// The theme's tables, look-ups and the ".theme" file reader (the syntax is
// described in theme.h).
#include "ui/themetables.h"

#include "app/gameapp.h"

#include "tsl2/resource.h"
#include "tsl2/tokenfilereader.h"

#include <cstdarg>

const char* const Theme::DEFAULT_FONT = "System::DefaultFont";
const char* const Theme::DEFAULT_STYLE = "Default";

Theme::Theme() : m_pTables(new Tables()) { addBuiltins(); }

Theme::~Theme() { delete m_pTables; }

// ---- look-ups -----------------------------------------------------------------------

Tsl::SmartPtr<Font> Theme::getFont(const char* pszName) const {
    Tsl::String sKey = Tsl::String(pszName ? pszName : "").toLower();
    if (m_pTables->hFonts.hasKey(sKey)) return m_pTables->hFonts.get(sKey);
    // No name at all asks for the default; only a name the theme lacks is news.
    if (!sKey.isEmpty()) reportMissing("font", pszName);
    return m_pTables->hFonts.get(Tsl::String(DEFAULT_FONT).toLower());
}

void Theme::reportMissing(const char* pszKind, const Tsl::String& sName) const {
    Tsl::String sReport = Tsl::String(pszKind) + " " + sName.toLower();
    if (m_hReported.hasKey(sReport)) return;
    m_hReported.set(sReport, true);
    GameApp::log("G: Theme has no %s '%s', using the default\n", pszKind, sName.c_str());
}

bool Theme::hasFont(const char* pszName) const {
    return m_pTables->hFonts.hasKey(Tsl::String(pszName ? pszName : "").toLower());
}

void Theme::addFont(const char* pszName, Tsl::SmartPtr<Font> pFont) {
    if (pFont) m_pTables->hFonts.set(Tsl::String(pszName).toLower(), pFont);
}

template <class Style>
Tsl::SmartPtr<Style> Theme::findStyle(const Tsl::Hash<Tsl::String, Tsl::SmartPtr<Style>>& hStyles,
                                      const char* pszKind, const char* pszName) const {
    Tsl::String sName = pszName && *pszName ? pszName : DEFAULT_STYLE;
    Tsl::String sKey = sName.toLower();
    if (hStyles.hasKey(sKey)) return hStyles.get(sKey);
    reportMissing((Tsl::String(pszKind) + " style").c_str(), sName);
    Tsl::String sDefault = Tsl::String(DEFAULT_STYLE).toLower();
    return hStyles.hasKey(sDefault) ? hStyles.get(sDefault) : Tsl::SmartPtr<Style>();
}

Tsl::SmartPtr<FrameStyle> Theme::getFrameStyle(const char* pszName) const {
    return findStyle(m_pTables->hFrames, "frame", pszName);
}

Tsl::SmartPtr<ButtonStyle> Theme::getButtonStyle(const char* pszName) const {
    return findStyle(m_pTables->hButtons, "button", pszName);
}

Tsl::SmartPtr<CursorStyle> Theme::getCursorStyle(const char* pszName) const {
    return findStyle(m_pTables->hCursors, "cursor", pszName);
}

Tsl::SmartPtr<SeparatorStyle> Theme::getSeparatorStyle(const char* pszName) const {
    return findStyle(m_pTables->hSeparators, "separator", pszName);
}

Tsl::SmartPtr<SliderStyle> Theme::getSliderStyle(const char* pszName) const {
    return findStyle(m_pTables->hSliders, "slider", pszName);
}

Tsl::SmartPtr<RadioStyle> Theme::getRadioStyle(const char* pszName) const {
    return findStyle(m_pTables->hRadios, "radio", pszName);
}

bool Theme::hasStyle(const char* pszKind, const char* pszName) const {
    Tsl::String sKind = Tsl::String(pszKind).toLower(), sKey = Tsl::String(pszName).toLower();
    if (sKind == "frame") return m_pTables->hFrames.hasKey(sKey);
    if (sKind == "button") return m_pTables->hButtons.hasKey(sKey);
    if (sKind == "cursor") return m_pTables->hCursors.hasKey(sKey);
    if (sKind == "separator") return m_pTables->hSeparators.hasKey(sKey);
    if (sKind == "slider") return m_pTables->hSliders.hasKey(sKey);
    if (sKind == "radio") return m_pTables->hRadios.hasKey(sKey);
    return false;
}

Tsl::SmartPtr<Image> Theme::makeCursorImage(const char* pszStyle) const {
    Tsl::SmartPtr<CursorStyle> pStyle = getCursorStyle(pszStyle);
    if (!pStyle || !pStyle->pImage) return nullptr;
    // A copy: the cached picture keeps its own insertion point.
    Tsl::SmartPtr<Image> pImage = pStyle->pImage->clone(true);
    pImage->setInsPoint(pStyle->nHotX, pStyle->nHotY);
    return pImage;
}

// ---- the file reader --------------------------------------------------------------------

class Theme::Parser {
public:
    Parser(Tables& tables, const Tsl::String& sText, const char* pszSource)
        : m_tables(tables), m_reader(sText, pszSource) {}

    void run() {
        while (m_reader.nextLine()) {
            Tsl::String sKind = word(0).toLower();
            if (sKind == "end") fail("'end' without a block");
            if (!isBlockKind(sKind)) fail("Unknown command '%s'", word(0).c_str());
            need(2);
            readBlock(sKind, word(1));
        }
    }

private:
    static bool isBlockKind(const Tsl::String& sKind) {
        return sKind == "font" || sKind == "frame" || sKind == "button" || sKind == "cursor" || sKind == "separator" ||
               sKind == "slider" || sKind == "radio";
    }

    [[noreturn]] void fail(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
    {
        va_list args;
        va_start(args, pszFormat);
        Tsl::String sText = Tsl::String::formatV(pszFormat, args);
        va_end(args);
        throw ThemeParserException(__FILE__, __LINE__,
                                   Tsl::String::format("%s in %s, line %d", sText.c_str(), m_reader.getSourceName().c_str(),
                                                       m_reader.getLineNumber())
                                       .c_str());
    }

    Tsl::String word(int i) const { return m_reader.getTokens().getAt(i); }
    int count() const { return m_reader.getTokens().getCount(); }
    void need(int nTokens) {
        if (count() < nTokens) throw ThemeParserException(__FILE__, __LINE__, m_reader.needTokensMessage(nTokens).c_str());
    }

    int number(int i) {
        return onThisLine([&] { return toNumber(word(i)); });
    }

    Rect edges(int nFirst) {
        int nLeft = number(nFirst), nTop = number(nFirst + 1), nRight = number(nFirst + 2);
        int nBottom = number(nFirst + 3);
        return makeEdges(nLeft, nTop, nRight, nBottom);
    }

    // Four optional edge values from nFirst: none, or all four.
    Rect optionalEdges(int nFirst) {
        if (count() == nFirst) return makeEdges(0, 0, 0, 0);
        need(nFirst + 4);
        return edges(nFirst);
    }

    Tsl::SmartPtr<Image> image(int i) {
        GameApp* pApp = GameApp::getInstance();
        Tsl::String sName = word(i);
        if (!pApp || !pApp->hasImage(sName)) fail("Image '%s' not found", sName.c_str());
        try {
            return pApp->getImage(sName);
        } catch (const Tsl::Exception& e) {
            fail("Image '%s' cannot be read (%s)", sName.c_str(), e.getMessage());
        }
    }

    // The font named by a one-argument command ("font", "copysettings").
    Tsl::String fontName() {
        need(2);
        if (!m_tables.hFonts.hasKey(word(1).toLower())) fail("Unknown font '%s'", word(1).c_str());
        return word(1);
    }

    // "<command> <image> [<l> <t> <r> <b>]": a picture and its unstretched borders.
    void imageAndBorders(Tsl::SmartPtr<Image>& pImage, Rect& borders) {
        need(2);
        pImage = image(1);
        borders = optionalEdges(2);
    }

    // Calls the handler for every line up to "end"; the handler returns false
    // for a command it does not know.
    template <class Handler>
    void forEachLine(const Tsl::String& sKind, const Tsl::String& sName, Handler handle) {
        int nStart = m_reader.getLineNumber();
        while (m_reader.nextLine()) {
            if (word(0).toLower() == "end") return;
            if (!handle(word(0).toLower())) {
                if (sKind == "font") fail("Theme::loadFontSpec : Unknown command %s", word(0).c_str());
                fail("Unknown command '%s' in %s '%s'", word(0).c_str(), sKind.c_str(), sName.c_str());
            }
        }
        throw ThemeParserException(__FILE__, __LINE__,
                                   Tsl::String::format("%s '%s' in %s, line %d has no 'end'", sKind.c_str(),
                                                       sName.c_str(), m_reader.getSourceName().c_str(), nStart)
                                       .c_str());
    }

    void readBlock(const Tsl::String& sKind, const Tsl::String& sName) {
        Tsl::String sKey = sName.toLower();
        if (sKind == "font") m_tables.hFonts.set(sKey, readFont(sName));
        else if (sKind == "frame") m_tables.hFrames.set(sKey, readFrame(sName));
        else if (sKind == "button") m_tables.hButtons.set(sKey, readButton(sName));
        else if (sKind == "cursor") m_tables.hCursors.set(sKey, readCursor(sName));
        else if (sKind == "separator") m_tables.hSeparators.set(sKey, readSeparator(sName));
        else if (sKind == "slider") m_tables.hSliders.set(sKey, readSlider(sName));
        else m_tables.hRadios.set(sKey, readRadio(sName));
    }

    // Runs a call into the font layer; its errors come back naming this file and line.
    template <class Call>
    auto onThisLine(Call call) -> decltype(call()) {
        try {
            return call();
        } catch (const ThemeParserException&) {
            throw;
        } catch (const Tsl::Exception& e) {
            fail("%s", e.getMessage());
        }
    }

    Tsl::SmartPtr<Font> createFont() {
        need(2);
        Tsl::List<Tsl::String> lParams;
        for (int i = 2; i < count(); ++i) lParams.append(word(i));
        Tsl::SmartPtr<Font> pFont = onThisLine([&] { return Theme::createFont(word(1), lParams); });
        if (!pFont) fail("Font class '%s' made no font", word(1).c_str());
        return pFont;
    }

    Tsl::SmartPtr<Font> readFont(const Tsl::String& sName) {
        Tsl::SmartPtr<Font> pFont;
        forEachLine("font", sName, [&](const Tsl::String& sCommand) {
            if (sCommand == "class") {
                if (pFont) fail("Font '%s' has a second class", sName.c_str());
                pFont = createFont();
                return true;
            }
            if (!pFont) fail("Font '%s' needs its class first", sName.c_str());
            if (sCommand == "copysettings") {
                pFont->copySettings(m_tables.hFonts.get(fontName().toLower()));
                return true;
            }
            return onThisLine([&] { return Theme::applyFontSetting(pFont, m_reader.getTokens()); });
        });
        if (!pFont) fail("Font '%s' has no class", sName.c_str());
        return pFont;
    }

    Tsl::SmartPtr<FrameStyle> readFrame(const Tsl::String& sName) {
        Tsl::SmartPtr<FrameStyle> pStyle = new FrameStyle();
        forEachLine("frame", sName, [&](const Tsl::String& sCommand) {
            if (sCommand == "image") {
                imageAndBorders(pStyle->pImage, pStyle->borders);
            } else if (sCommand == "padding") {
                need(5);
                pStyle->padding = edges(1);
            } else if (sCommand == "font") {
                pStyle->sFont = fontName();
            } else {
                return false;
            }
            return true;
        });
        if (!pStyle->pImage) fail("Frame '%s' has no image", sName.c_str());
        return pStyle;
    }

    int buttonState(int i) {
        static const char* const s_apStates[] = {"normal", "highlighted", "pushed", "disabled"};
        Tsl::String sState = word(i).toLower();
        for (int n = 0; n < ButtonStyle::STATE_COUNT; ++n)
            if (sState == s_apStates[n]) return n;
        fail("Unknown button state '%s'", word(i).c_str());
    }

    unsigned char channel(int i) {
        return onThisLine([&] { return toChannel(word(i)); });
    }

    Color color(int nFirst) {
        // One by one, so the first bad channel is the one reported.
        unsigned char r = channel(nFirst), g = channel(nFirst + 1), b = channel(nFirst + 2);
        return Color(r, g, b, 255);
    }

    Tsl::SmartPtr<ButtonStyle> readButton(const Tsl::String& sName) {
        Tsl::SmartPtr<ButtonStyle> pStyle = new ButtonStyle();
        forEachLine("button", sName, [&](const Tsl::String& sCommand) {
            if (sCommand == "image") {
                need(2);
                for (int i = 1; i < count() && i <= ButtonStyle::STATE_COUNT; ++i) pStyle->apImages[i - 1] = image(i);
            } else if (sCommand == "borders") {
                need(5);
                pStyle->borders = edges(1);
            } else if (sCommand == "font") {
                pStyle->sFont = fontName();
            } else if (sCommand == "textcolor") {
                need(5);
                pStyle->aTextColors[buttonState(1)] = color(2);
            } else if (sCommand == "padding") {
                need(3);
                pStyle->nPaddingX = number(1);
                pStyle->nPaddingY = number(2);
            } else if (sCommand == "minsize") {
                need(3);
                pStyle->nMinWidth = number(1);
                pStyle->nMinHeight = number(2);
            } else if (sCommand == "pushoffset") {
                need(2);
                pStyle->nPushOffset = number(1);
            } else {
                return false;
            }
            return true;
        });
        if (!pStyle->apImages[ButtonStyle::NORMAL]) fail("Button '%s' has no image", sName.c_str());
        return pStyle;
    }

    Tsl::SmartPtr<CursorStyle> readCursor(const Tsl::String& sName) {
        Tsl::SmartPtr<CursorStyle> pStyle = new CursorStyle();
        forEachLine("cursor", sName, [&](const Tsl::String& sCommand) {
            if (sCommand != "image") return false;
            need(2);
            pStyle->pImage = image(1);
            if (count() > 2) {
                need(4);
                pStyle->nHotX = number(2);
                pStyle->nHotY = number(3);
            }
            return true;
        });
        if (!pStyle->pImage) fail("Cursor '%s' has no image", sName.c_str());
        return pStyle;
    }

    Tsl::SmartPtr<SeparatorStyle> readSeparator(const Tsl::String& sName) {
        Tsl::SmartPtr<SeparatorStyle> pStyle = new SeparatorStyle();
        forEachLine("separator", sName, [&](const Tsl::String& sCommand) {
            if (sCommand != "image") return false;
            imageAndBorders(pStyle->pImage, pStyle->borders);
            return true;
        });
        if (!pStyle->pImage) fail("Separator '%s' has no image", sName.c_str());
        return pStyle;
    }

    Tsl::SmartPtr<SliderStyle> readSlider(const Tsl::String& sName) {
        Tsl::SmartPtr<SliderStyle> pStyle = new SliderStyle();
        forEachLine("slider", sName, [&](const Tsl::String& sCommand) {
            if (sCommand == "track") {
                imageAndBorders(pStyle->pTrack, pStyle->borders);
            } else if (sCommand == "thumb") {
                need(2);
                pStyle->pThumb = image(1);
            } else {
                return false;
            }
            return true;
        });
        if (!pStyle->pTrack || !pStyle->pThumb) fail("Slider '%s' needs a track and a thumb", sName.c_str());
        return pStyle;
    }

    Tsl::SmartPtr<RadioStyle> readRadio(const Tsl::String& sName) {
        Tsl::SmartPtr<RadioStyle> pStyle = new RadioStyle();
        forEachLine("radio", sName, [&](const Tsl::String& sCommand) {
            if (sCommand == "images") {
                need(3);
                pStyle->pClear = image(1);
                pStyle->pChosen = image(2);
            } else if (sCommand == "font") {
                pStyle->sFont = fontName();
            } else if (sCommand == "spacing") {
                need(2);
                pStyle->nSpacing = number(1);
            } else {
                return false;
            }
            return true;
        });
        if (!pStyle->pClear || !pStyle->pChosen) fail("Radio '%s' needs its two images", sName.c_str());
        return pStyle;
    }

    Tables& m_tables;
    Tsl::TokenFileReader m_reader;
};

void Theme::loadFromText(const Tsl::String& sText, const char* pszSourceName) {
    TSL_TRACE();
    // Read into a copy, so a broken file leaves the theme as it was.
    Tables tables(*m_pTables);
    Parser(tables, sText, pszSourceName).run();
    *m_pTables = tables;
}

void Theme::load(const char* pszResource) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Theme::load : no application to read '%s'", pszResource);
    Tsl::SmartPtr<Tsl::Resource> pResource = pApp->getResource(pszResource);
    GameApp::log("G: Loading theme %s\n", pszResource);
    loadFromText(pResource->getString(), pszResource);
}
