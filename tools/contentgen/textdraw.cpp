#include "textdraw.h"

#include <SDL/SDL_ttf.h>

#include <map>
#include <stdexcept>
#include <utility>

struct TextDrawer::Cache {
    std::map<std::pair<int, bool>, TTF_Font*> fonts;
};

TextDrawer::TextDrawer(const std::string& sFontFolder) : m_sFolder(sFontFolder), m_pCache(new Cache()) {
    if (TTF_Init() != 0) throw std::runtime_error(std::string("SDL_ttf: ") + TTF_GetError());
}

TextDrawer::~TextDrawer() {
    for (auto& entry : m_pCache->fonts) TTF_CloseFont(entry.second);
    delete m_pCache;
    TTF_Quit();
}

void* TextDrawer::open(int nSize, bool bBold) {
    auto key = std::make_pair(nSize, bBold);
    auto it = m_pCache->fonts.find(key);
    if (it != m_pCache->fonts.end()) return it->second;
    std::string sPath = m_sFolder + (bBold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
    TTF_Font* pFont = TTF_OpenFont(sPath.c_str(), nSize);
    if (!pFont) throw std::runtime_error("can't open the font " + sPath + " : " + TTF_GetError());
    m_pCache->fonts[key] = pFont;
    return pFont;
}

int TextDrawer::measure(const std::string& sText, int nSize, bool bBold) {
    int w = 0, h = 0;
    TTF_SizeUTF8(static_cast<TTF_Font*>(open(nSize, bBold)), sText.c_str(), &w, &h);
    return w;
}

int TextDrawer::draw(Canvas& canvas, const std::string& sText, float x, float y, int nSize, const Rgba& c,
                     Align align, bool bBold, bool bOutline) {
    if (sText.empty()) return 0;
    TTF_Font* pFont = static_cast<TTF_Font*>(open(nSize, bBold));
    SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* pText = TTF_RenderUTF8_Blended(pFont, sText.c_str(), white);
    if (!pText) throw std::runtime_error(std::string("SDL_ttf: ") + TTF_GetError());
    Canvas glyphs(pText->w, pText->h);
    SDL_LockSurface(pText);
    for (int py = 0; py < pText->h; ++py)
        for (int px = 0; px < pText->w; ++px) {
            Uint32 v = static_cast<Uint32*>(pText->pixels)[py * pText->pitch / 4 + px];
            Uint8 r, g, b, a;
            SDL_GetRGBA(v, pText->format, &r, &g, &b, &a);
            glyphs.set(px, py, Rgba(c.r, c.g, c.b, a * c.a / 255));
        }
    SDL_UnlockSurface(pText);
    SDL_FreeSurface(pText);
    if (bOutline) {
        Canvas rimmed(glyphs.width() + 4, glyphs.height() + 4);
        rimmed.draw(glyphs, 2, 2);
        rimmed.outline(Rgba(30, 20, 10, 220), 1.6f);
        glyphs = rimmed;
        x -= 2, y -= 2;
    }
    int nLeft = static_cast<int>(x);
    if (align == CENTER) nLeft = static_cast<int>(x - glyphs.width() / 2);
    if (align == RIGHT) nLeft = static_cast<int>(x - glyphs.width());
    canvas.draw(glyphs, nLeft, static_cast<int>(y));
    return glyphs.width();
}
