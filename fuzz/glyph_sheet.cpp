// Cuts a fuzzed font sheet into glyphs and draws fuzzed text with the
// result. Only Tsl exceptions may come out, and every scan must end; any
// stray read or write is for AddressSanitizer to find.
//
// Input: bytes 0 and 1 the sheet's width and height, then one bit a pixel
// (set = opaque), row by row; whatever follows the pixels is the text.
#include "fakes.h"
#include "text/bitmapfont.h"
#include "text/codepage.h"

#include "tsl2/error.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

Tsl::SmartPtr<Image> makeSheet(const uint8_t* pData, size_t nSize, size_t& nUsed) {
    int w = 1 + pData[0] % 96, h = 1 + pData[1] % 96;
    Tsl::SmartPtr<Image> pSheet = new SDLImage(w, h, true, true);
    size_t nBit = 0, nBits = (nSize - 2) * 8;
    pSheet->lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w && nBit < nBits; ++x, ++nBit)
            if (pData[2 + nBit / 8] & (1u << (nBit % 8))) pSheet->putPixel(x, y, Color(255, 255, 255, 255));
    pSheet->unlock();
    nUsed = 2 + (nBit + 7) / 8;
    return pSheet;
}

class SheetFont : public BitmapFont {};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize < 2) return 0;
    static TestApp* s_pApp = new TestApp();
    (void)s_pApp;
    size_t nUsed = 0;
    Tsl::SmartPtr<Image> pSheet = makeSheet(pData, nSize, nUsed);
    std::string sText(reinterpret_cast<const char*>(pData) + nUsed, nSize - nUsed);
    Tsl::String sWindows = CodePage::toWindows1252(sText.c_str());
    Tsl::SmartPtr<SheetFont> pFont = new SheetFont();
    try {
        pFont->loadFromImage(pSheet);
    } catch (const Tsl::Exception&) {
        return 0;
    }
    Tsl::SmartPtr<Image> pTarget = new SDLImage(64, 32, true, true);
    pFont->setTextAlign(Font::ALIGN_JUSTIFY);
    pFont->drawText(pTarget, Rect(0, 0, 64, 32), sText.c_str());
    pFont->getTextWidth(sWindows);
    return 0;
}
