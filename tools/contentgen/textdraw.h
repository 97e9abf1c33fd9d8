// Captions drawn into pictures with the TrueType fonts the game ships.
#pragma once

#include "canvas.h"

#include <string>

// Opens SDL_ttf for the generator's run; fonts are read from the folder.
class TextDrawer {
public:
    explicit TextDrawer(const std::string& sFontFolder);
    ~TextDrawer();

    enum Align { LEFT, CENTER, RIGHT };
    // Draws the text with its top at y; x is its left edge, centre or right
    // edge by the alignment. With bOutline a dark rim makes it readable on
    // any background. Returns the width drawn.
    int draw(Canvas& canvas, const std::string& sText, float x, float y, int nSize, const Rgba& c, Align align,
             bool bBold = true, bool bOutline = false);
    int measure(const std::string& sText, int nSize, bool bBold);

private:
    void* open(int nSize, bool bBold);

    std::string m_sFolder;
    struct Cache;
    Cache* m_pCache;
};
