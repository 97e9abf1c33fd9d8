// TrueType fonts through SDL_ttf. SDLTTFData holds one opened font with the
// resource bytes it reads from, and keeps SDL_ttf initialised while any font
// lives. SDLTTFFactory ("TrueType") keeps the fonts of the last distinct
// specs so widgets asking for the same font do not reopen the file; it hands
// out clones, never the cached font.
#pragma once

#include "text/font.h"

#include "tsl2/hash.h"
#include "tsl2/resource.h"

struct _TTF_Font;
struct SDL_RWops;

class SDLTTFData : public Tsl::RefCountedObject {
public:
    SDLTTFData();
    ~SDLTTFData() override;

    // Fonts alive; SDL_ttf is shut down when the last one goes.
    static int getUseCount() { return s_nTTFUseCount; }

    _TTF_Font* m_pFont;
    SDL_RWops* m_pRWOps;
    Tsl::SmartPtr<Tsl::Resource> m_pResource;

private:
    static int s_nTTFUseCount;
};

class SDLTrueTypeFont : public Font {
public:
    // Style bits.
    enum { STYLE_BOLD = 1, STYLE_ITALIC = 2, STYLE_UNDERLINE = 4 };
    // Every text is rendered whole into memory: beyond glyphs about the
    // screen's height a size only costs memory (and FreeType's arithmetic
    // overflows long before the int does).
    enum { MAX_POINT_SIZE = 512 };

    SDLTrueTypeFont();

    Tsl::SmartPtr<Font> clone() const override;
    // Renders the shadow (when on) and then the text, each copied into the
    // target; a text SDL_ttf cannot render draws nothing.
    void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const override;
    bool hasGlyph(char) const override { return true; }
    // The widest of the LF-separated lines.
    int getTextWidth(const char* pszText) const override;
    int getHeight() const override;
    // SDL_ttf's width is the furthest right any glyph reaches from the pen's
    // start, and the pen ends no further than that: appending moves the second
    // part's glyphs by at most the first's width plus the kerning between them,
    // which stays far inside a line's height.
    int getAppendSlack() const override { return getHeight(); }

    virtual void copyTTFSettings(const SDLTrueTypeFont* pOther);
    virtual int getSize() const { return m_nSize; }

    // Opens a font resource at a point size (1 or more) with style bits.
    void open(const char* pszResource, int nSize, int nStyle);
    // The same over the bytes of a font file read already: no application
    // is needed (a message shown after the game's has gone).
    void open(Tsl::SmartPtr<Tsl::Resource> pResource, int nSize, int nStyle);
    Tsl::SmartPtr<SDLTTFData> getData() const { return m_pData; }

private:
    static void checkSize(const char* pszResource, int nSize);
    void renderInto(Image* pTarget, int x, int y, const char* pszText, const Color& c) const;

    Tsl::SmartPtr<SDLTTFData> m_pData;
    int m_nSize;
};

// Spec: the font resource, the point size, then style words ("bold",
// "italic", "underline"; others are ignored but belong to the cache key).
// Parameter 0 is the point size.
class SDLTTFFactory : public FontFactory {
public:
    enum { CACHE_SIZE = 15 };

    SDLTTFFactory();
    ~SDLTTFFactory() override;

    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override;
    bool setIntParam(Tsl::List<Tsl::String>& lSpec, int nIndex, int nValue) override;
    int getIntParam(const Tsl::List<Tsl::String>& lSpec, int nIndex) const override;

    // Drops every cached font (clones handed out live on).
    void clearCache();
    // The cache keys, least recently used first.
    Tsl::List<Tsl::String> getUseOrder() const { return m_lUseOrder; }

    // Counters of the whole program.
    static int getHits() { return s_nHits; }
    static int getMisses() { return s_nMisses; }
    // "S: Font cache : %d hits (%.1lf%%), %d misses\n" with the counters.
    static Tsl::String formatStatistics();
    // The cache key of a spec whose font resource resolved to sResolved.
    static Tsl::String makeKey(const Tsl::String& sResolved, const Tsl::List<Tsl::String>& lParams);

private:
    Tsl::SmartPtr<Font> handOut(Font* pCached);
    void touch(const Tsl::String& sKey);
    void evictOldest();

    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Font>> m_hCache;
    Tsl::List<Tsl::String> m_lUseOrder;

    static int s_nHits;
    static int s_nMisses;
};
