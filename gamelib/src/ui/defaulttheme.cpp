// The theme every application has before it loads a ".theme" file: the
// built-in fonts and a plain "Default" style of every kind, drawn in code.
#include "ui/systemfont.h"
#include "ui/themetables.h"

#include "app/gameapp.h"
#include "platform/platform.h"

#include <cmath>
#include <functional>

namespace {

typedef std::function<Color(int, int)> PixelFunc;

Tsl::SmartPtr<Image> paint(int nWidth, int nHeight, const PixelFunc& fnPixel) {
    Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->createImage(nWidth, nHeight, true);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) pImage->putPixel(x, y, fnPixel(x, y));
    pImage->unlock();
    pImage->invalidate();
    return pImage;
}

// A box with a border of nBorder pixels and cut corners.
Tsl::SmartPtr<Image> box(int nSize, int nBorder, const Color& edge, const Color& fill) {
    return paint(nSize, nSize, [=](int x, int y) {
        int dx = std::min(x, nSize - 1 - x), dy = std::min(y, nSize - 1 - y);
        if (dx + dy < 1) return Color(0, 0, 0, 0);
        return dx < nBorder || dy < nBorder ? edge : fill;
    });
}

// A radio option's mark: a hollow ring, filled solid when the option is chosen.
Tsl::SmartPtr<Image> radioMark(int nSize, bool bChosen) {
    return paint(nSize, nSize, [=](int x, int y) {
        float c = (nSize - 1) / 2.0f;
        float d = std::sqrt((x - c) * (x - c) + (y - c) * (y - c));
        if (d > c + 0.5f) return Color(0, 0, 0, 0);
        // A dark rim keeps the mark visible on light backgrounds too.
        if (d > c - 0.5f) return Color(40, 30, 20);
        if (bChosen || d > c - 2.5f) return Color(250, 245, 230);
        return Color(0, 0, 0, 0);
    });
}

Tsl::SmartPtr<Image> arrow() {
    return paint(12, 19, [](int x, int y) {
        if (y >= 16 || x > y * 2 / 3) return Color(0, 0, 0, 0);
        bool bEdge = x == 0 || x == y * 2 / 3 || y == 15;
        return bEdge ? Color(0, 0, 0) : Color(255, 255, 255);
    });
}

Tsl::SmartPtr<Font> systemFont(int nScale, const Color& text, bool bShadow) {
    Tsl::SmartPtr<Font> pFont = new SystemFont(nScale);
    pFont->setTextColor(text);
    pFont->setDrawShadow(bShadow);
    return pFont;
}

// A frame with even borders and padding that is the same left and right, top and bottom.
Tsl::SmartPtr<FrameStyle> frame(Tsl::SmartPtr<Image> pImage, int nBorder, int nPadX, int nPadY, const char* pszFont) {
    Tsl::SmartPtr<FrameStyle> pFrame = new FrameStyle();
    pFrame->pImage = pImage;
    pFrame->borders = makeEdges(nBorder, nBorder, nBorder, nBorder);
    pFrame->padding = makeEdges(nPadX, nPadY, nPadX, nPadY);
    pFrame->sFont = pszFont;
    return pFrame;
}

bool canPaint() {
    GameApp* pApp = GameApp::getInstance();
    return pApp && pApp->getPlatform() && pApp->getPlatform()->getImageFactory();
}

} // namespace

void Theme::addBuiltins() {
    TSL_TRACE();
    const Color white(255, 255, 255), black(0, 0, 0);
    addFont(DEFAULT_FONT, systemFont(2, white, true));
    addFont("System::SmallFont", systemFont(1, white, false));
    addFont("Theme::Default", systemFont(2, white, true));
    addFont("Theme::DefaultBlack", systemFont(2, black, false));
    addFont("Theme::DefaultSmall", systemFont(1, white, false));
    addFont("Theme::Button", systemFont(2, white, true));
    addFont("Theme::DialogTitle", systemFont(3, Color(255, 220, 120), true));
    addFont("Theme::Tooltip", systemFont(1, black, false));
    if (!canPaint()) return;

    Tsl::String sDefault = Tsl::String(DEFAULT_STYLE).toLower();
    m_pTables->hFrames.set(sDefault, frame(box(24, 2, Color(220, 200, 150), Color(60, 50, 40, 235)), 6, 14, 12,
                                           "Theme::Tooltip"));
    m_pTables->hFrames.set("tooltip",
                           frame(box(12, 1, Color(40, 40, 40), Color(255, 250, 210)), 3, 4, 3, "Theme::Tooltip"));
    m_pTables->hFrames.set("editbox", frame(box(12, 1, Color(120, 120, 120), Color(250, 250, 250)), 3, 4, 3,
                                            "Theme::DefaultBlack"));

    Tsl::SmartPtr<ButtonStyle> pButton = new ButtonStyle();
    const Color aFills[ButtonStyle::STATE_COUNT] = {Color(70, 110, 170), Color(100, 150, 220), Color(40, 70, 120),
                                                     Color(110, 110, 110)};
    for (int i = 0; i < ButtonStyle::STATE_COUNT; ++i) pButton->apImages[i] = box(16, 2, Color(20, 30, 50), aFills[i]);
    pButton->borders = makeEdges(4, 4, 4, 4);
    pButton->sFont = "Theme::Button";
    pButton->aTextColors[ButtonStyle::DISABLED] = Color(170, 170, 170);
    pButton->nPaddingX = 12;
    pButton->nPaddingY = 6;
    m_pTables->hButtons.set(sDefault, pButton);

    Tsl::SmartPtr<CursorStyle> pCursor = new CursorStyle();
    pCursor->pImage = arrow();
    m_pTables->hCursors.set(sDefault, pCursor);

    Tsl::SmartPtr<SeparatorStyle> pSeparator = new SeparatorStyle();
    pSeparator->pImage = paint(32, 4, [](int, int y) { return y == 1 || y == 2 ? Color(220, 200, 150) : Color(0, 0, 0, 0); });
    pSeparator->borders = makeEdges(4, 0, 4, 0);
    m_pTables->hSeparators.set(sDefault, pSeparator);

    Tsl::SmartPtr<SliderStyle> pSlider = new SliderStyle();
    pSlider->pTrack = box(12, 1, Color(20, 20, 20), Color(90, 90, 90));
    pSlider->borders = makeEdges(4, 4, 4, 4);
    pSlider->pThumb = paint(12, 20, [](int x, int y) {
        bool bEdge = x == 0 || y == 0 || x == 11 || y == 19;
        return bEdge ? Color(20, 30, 50) : Color(200, 210, 235);
    });
    m_pTables->hSliders.set(sDefault, pSlider);

    Tsl::SmartPtr<RadioStyle> pRadio = new RadioStyle();
    pRadio->pClear = radioMark(16, false);
    pRadio->pChosen = radioMark(16, true);
    pRadio->sFont = "Theme::Default";
    m_pTables->hRadios.set(sDefault, pRadio);
}
