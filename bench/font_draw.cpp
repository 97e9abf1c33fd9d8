// Drawing a 40-word paragraph with shadow into an image, wrapped to a box,
// in a TrueType font and in an image font cut from a generated glyph sheet.
// items_per_second is draws per second. Each benchmark also times a
// reference in the same run: the same lines rendered by SDL_ttf and blitted
// with SDL_BlitSurface (TrueType), the same glyph rectangles blitted with
// SDL_BlitSurface (image font); the ratio is ours over the reference. Both sides
// draw into a cleared target; the clearing is done outside the timed part.
// WrapLongLine: wrapText of one line of 1,000 characters against one of 50,
// unwrapped (a label line) and wrapped to a 300-pixel box; "ratio_1000_vs_50"
// is 20 where wrapping costs the text's length.
#include "app/gameapp.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "text/codepage.h"
#include "text/glyphsheet.h"
#include "text/sdl_ttf_font.h"
#include "text/simplefont.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

namespace {

const char* const PARAGRAPH =
    "The bar opens at dawn and the first customers arrive before the ice is ready. Serve them quickly, keep "
    "the glasses moving, clear the tables and watch the clock: every drink counts toward the goal of the "
    "whole long day.";
const Rect BOX(10, 10, 310, 190);
const int STRIP = 14, BAND = STRIP + 4;

class BenchApp : public GameApp {};

// Every character a block of 4 to 8 columns, rows between markers.
Tsl::SmartPtr<Image> makeSheet() {
    Tsl::SmartPtr<Image> pSheet = new SDLImage(400, 7 * BAND, true, true);
    Color white(255, 255, 255, 255);
    pSheet->lock();
    for (int r = 0; r < GlyphSheetLayout::ROW_COUNT; ++r) {
        int y0 = r * BAND;
        pSheet->putPixel(0, y0, white);
        pSheet->putPixel(0, y0 + STRIP + 1, white);
        int x = 2;
        for (int k = 0; k < GlyphSheetLayout::rowCharacters(r).getLength(); ++k) {
            int w = 4 + k % 5;
            for (int y = 3; y < STRIP; ++y)
                for (int i = 0; i < w; ++i) pSheet->putPixel(x + i, y0 + 1 + y, white);
            x += w + 3;
        }
    }
    pSheet->unlock();
    return pSheet;
}

// nRounds of fnDraw, each after an untimed fnClear.
double secondsOf(const std::function<void()>& fnClear, const std::function<void()>& fnDraw, int nRounds) {
    std::chrono::steady_clock::duration total{};
    for (int i = 0; i < nRounds; ++i) {
        fnClear();
        auto start = std::chrono::steady_clock::now();
        fnDraw();
        total += std::chrono::steady_clock::now() - start;
    }
    return std::chrono::duration<double>(total).count();
}

SDL_Surface* newTarget() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 200, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
}

struct Fixture {
    BenchApp app;
    Tsl::SmartPtr<Image> pTarget;
    Tsl::List<Tsl::String> lLines;
    Fixture() {
        app.setPlatform(new SDLPlatform());
        app.addResourceProvider(new Tsl::FolderResourceProvider("/usr/share/fonts/truetype/dejavu"));
        pTarget = app.createImage(320, 200, true);
    }
    void clear() { pTarget->fill(Color(0, 0, 0, 0)); }
    void drawOurs(Font* pFont) { pFont->drawText(pTarget, BOX, PARAGRAPH); }
};

Tsl::List<Tsl::String> trimmedLines(Font* pFont) {
    Tsl::List<Tsl::String> lLines = pFont->wrapText(PARAGRAPH, BOX.getWidth());
    Tsl::List<Tsl::String> lTrimmed;
    for (int i = 0; i < lLines.getCount(); ++i) lTrimmed.append(lLines.getAt(i).trim());
    return lTrimmed;
}

void blitSurface(SDL_Surface* pSource, const SDL_Rect* pArea, SDL_Surface* pTarget, int x, int y) {
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(pSource, const_cast<SDL_Rect*>(pArea), pTarget, &dst);
}

// SDL_ttf renders each line twice (shadow, text), SDL blits both.
void referenceTrueType(TTF_Font* pFont, const Tsl::List<Tsl::String>& lLines, int nHeight, SDL_Surface* pTarget) {
    SDL_Color shadow = {0, 0, 0, 0}, text = {255, 255, 255, 0};
    int y = BOX.top;
    for (int i = 0; i < lLines.getCount(); ++i, y += nHeight) {
        SDL_Surface* pShadow = TTF_RenderUTF8_Blended(pFont, lLines.getAt(i), shadow);
        SDL_Surface* pText = TTF_RenderUTF8_Blended(pFont, lLines.getAt(i), text);
        blitSurface(pShadow, nullptr, pTarget, BOX.left + 1, y + 1);
        blitSurface(pText, nullptr, pTarget, BOX.left, y);
        SDL_FreeSurface(pShadow);
        SDL_FreeSurface(pText);
    }
}

// The same glyph rectangles, shadow then text, blitted from a plain surface.
void referenceGlyphs(const BitmapFontBase* pFont, const Tsl::List<Tsl::String>& lLines, SDL_Surface* pGlyphs,
                     SDL_Surface* pTarget) {
    const ImagePtrArrayWrapper& table = *pFont->getGlyphTable();
    int y = BOX.top;
    for (int i = 0; i < lLines.getCount(); ++i, y += pFont->getHeight()) {
        int x = BOX.left;
        const Tsl::String sLine = lLines.getAt(i); // getAt gives a copy: keep it while walking it
        for (const char* p = sLine; *p;) {
            int nByte = CodePage::nextByte(p);
            Image* pGlyph = nByte == CodePage::NO_BYTE ? nullptr : table[nByte].get();
            if (!pGlyph) {
                x += pFont->getBlankWidth();
                continue;
            }
            SDL_Rect area = {0, 0, static_cast<Uint16>(pGlyph->getWidth()), static_cast<Uint16>(pGlyph->getHeight())};
            blitSurface(pGlyphs, &area, pTarget, x + 1, y + 1);
            blitSurface(pGlyphs, &area, pTarget, x, y);
            x += pGlyph->getWidth() + pFont->getCharSpacing();
        }
    }
}

void runParagraph(benchmark::State& state, Fixture& f, Font* pFont, SDL_Surface* pReferenceTarget,
                  const std::function<void()>& reference) {
    for (auto _ : state) {
        state.PauseTiming();
        f.clear();
        state.ResumeTiming();
        f.drawOurs(pFont);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    int nRounds = 200;
    double fOurs = secondsOf([&] { f.clear(); }, [&] { f.drawOurs(pFont); }, nRounds);
    double fReference = secondsOf([&] { SDL_FillRect(pReferenceTarget, nullptr, 0); }, reference, nRounds);
    state.counters["ours_us"] = fOurs / nRounds * 1e6;
    state.counters["reference_us"] = fReference / nRounds * 1e6;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}

void BM_TrueTypeParagraph(benchmark::State& state) {
    Fixture f;
    Tsl::SmartPtr<SDLTTFFactory> pFactory = new SDLTTFFactory();
    Tsl::SmartPtr<Font> pFont = pFactory->createFont(Tsl::String("DejaVuSans.ttf 16").split(" "));
    TTF_Font* pTTF = dynamic_cast<SDLTrueTypeFont*>(pFont.get())->getData()->m_pFont;
    Tsl::List<Tsl::String> lLines = trimmedLines(pFont);
    SDL_Surface* pTarget = newTarget();
    runParagraph(state, f, pFont, pTarget, [&] { referenceTrueType(pTTF, lLines, pFont->getHeight(), pTarget); });
    SDL_FreeSurface(pTarget);
}
BENCHMARK(BM_TrueTypeParagraph);

void BM_ImageFontParagraph(benchmark::State& state) {
    Fixture f;
    Tsl::SmartPtr<SimpleFont> pFont = new SimpleFont();
    pFont->loadFromImage(makeSheet());
    Tsl::List<Tsl::String> lLines = trimmedLines(pFont);
    SDL_Surface* pTarget = newTarget();
    SDL_Surface* pGlyphs = newTarget();
    SDL_FillRect(pGlyphs, nullptr, 0xFFFFFFFF);
    SDL_SetAlpha(pGlyphs, SDL_SRCALPHA, 255);
    runParagraph(state, f, pFont, pTarget, [&] { referenceGlyphs(pFont, lLines, pGlyphs, pTarget); });
    SDL_FreeSurface(pGlyphs);
    SDL_FreeSurface(pTarget);
}
BENCHMARK(BM_ImageFontParagraph);

// Words of the paragraph repeated up to nLength characters.
Tsl::String lineOf(int nLength) {
    Tsl::String sLine;
    while (sLine.getLength() < nLength) sLine = sLine + PARAGRAPH + " ";
    return Tsl::String(sLine.c_str(), nLength);
}

void BM_WrapLongLine(benchmark::State& state) {
    Fixture f;
    Tsl::SmartPtr<SDLTTFFactory> pFactory = new SDLTTFFactory();
    Tsl::SmartPtr<Font> pFont = pFactory->createFont(Tsl::String("DejaVuSans.ttf 16").split(" "));
    Tsl::String sShort = lineOf(50), sLong = lineOf(1000);
    auto usOf = [&](const Tsl::String& sText, int nWidth) {
        int nRounds = 0;
        auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(50) || nRounds < 5) {
            benchmark::DoNotOptimize(pFont->wrapText(sText, nWidth).getCount());
            ++nRounds;
        }
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / nRounds;
    };
    for (auto _ : state) benchmark::DoNotOptimize(pFont->wrapText(sLong, 1 << 30).getCount());
    double fShort = usOf(sShort, 1 << 30), fLong = usOf(sLong, 1 << 30);
    double fShortBox = usOf(sShort, 300), fLongBox = usOf(sLong, 300);
    state.counters["line_50_us"] = fShort;
    state.counters["line_1000_us"] = fLong;
    state.counters["ratio_1000_vs_50"] = fLong / fShort;
    state.counters["wrapped_ratio_1000_vs_50"] = fLongBox / fShortBox;
}
BENCHMARK(BM_WrapLongLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
