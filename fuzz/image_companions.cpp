// Loads a small picture with fuzzed companions (".spec", ".subimage",
// ".colorkey", an ".alpha" picture of another size) and then reads, blits,
// trims, cuts, mirrors and masks the result. Only Tsl exceptions may come
// out; any stray read or write is for AddressSanitizer to find.
//
// Input: byte 0 picks the companions, bytes 1 to 4 the picture's and the
// alpha picture's sizes, bytes 5 and 6 where to cut and draw (with the top
// bit set, a position near the int limits); the rest is the ".spec" text and
// the ".subimage" text, separated by a byte 0x01.
#include "fakes.h"
#include "image/shape.h"

#include "tsl2/error.h"
#include "tsl2/resource.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// Uncompressed 32-bit TGA, pixels varied so trims and keys find edges.
Bytes makeTga(int w, int h, unsigned nSeed) {
    Bytes out(18, 0);
    out[2] = 2;
    out[12] = static_cast<unsigned char>(w);
    out[14] = static_cast<unsigned char>(h);
    out[16] = 32;
    out[17] = 8;
    for (int i = 0; i < w * h; ++i) {
        unsigned v = (i * 2654435761u) ^ nSeed;
        unsigned char a = (v >> 24) < 64 ? 0 : static_cast<unsigned char>(v >> 24);
        out.insert(out.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                               static_cast<unsigned char>(v >> 16), a});
    }
    return out;
}

void putChunk(Bytes& out, const char* pszType, const Bytes& data) {
    unsigned n = static_cast<unsigned>(data.size());
    out.insert(out.end(), {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                           static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)});
    size_t nStart = out.size();
    out.insert(out.end(), pszType, pszType + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong nCrc = crc32(0L, out.data() + nStart, static_cast<uInt>(out.size() - nStart));
    out.insert(out.end(), {static_cast<unsigned char>(nCrc >> 24), static_cast<unsigned char>(nCrc >> 16),
                           static_cast<unsigned char>(nCrc >> 8), static_cast<unsigned char>(nCrc)});
}

// A grey PNG (the alpha companions are read through their red channel).
Bytes makeGreyPng(int w, int h) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header = {0, 0, 0, static_cast<unsigned char>(w), 0, 0, 0, static_cast<unsigned char>(h), 8, 0, 0, 0, 0};
    putChunk(out, "IHDR", header);
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) raw.push_back(static_cast<unsigned char>(x * 37 + y * 11));
    }
    uLongf nPacked = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(nPacked);
    compress(packed.data(), &nPacked, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(nPacked);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", Bytes());
    return out;
}

// A small position, or with the top bit one near the int limits, as a NaN
// or huge float turned into an int gives them (kept 40 inside, so the
// harness's own offsets cannot overflow).
int pickPosition(std::uint8_t nByte) {
    static const int aFar[] = {INT_MIN + 40, -(1 << 30), 1 << 30, INT_MAX - 40, INT_MAX - 3, INT_MAX};
    if (nByte & 0x80) return aFar[nByte % (sizeof(aFar) / sizeof(aFar[0]))];
    return nByte % 64;
}

void addBytes(Tsl::MemoryResourceProvider* pProvider, const char* pszName, const Bytes& bytes) {
    pProvider->add(pszName, bytes.data(), static_cast<int>(bytes.size()));
}

// Everything a picture offers for reading and drawing, within bounds the
// harness keeps small however large the fuzzed canvas is.
void exercise(Tsl::SmartPtr<Image> p, Tsl::SmartPtr<Image> pAlpha, int nCutX, int nCutY) {
    int w = std::min(p->getWidth(), 48), h = std::min(p->getHeight(), 48);
    for (int y = -1; y <= h; ++y)
        for (int x = -1; x <= w; ++x) {
            p->getColorAt(x, y);
            p->isTransparentAt(x, y, 0);
        }
    Tsl::SmartPtr<Image> pTarget = new SDLImage(40, 40, true, true);
    pTarget->blit(p, 20, 20);
    pTarget->copyImage(p, nCutX - 20, nCutY - 20);
    Tsl::SmartPtr<Image> pView = p->createSubImage(nCutX - 8, nCutY - 8, 24, 24, false);
    pView->flipHorizontal();
    pTarget->copy(pView, 3, 3);
    pView->tint(Color(200, 100, 50));
    Tsl::SmartPtr<Image> pCopy = p->clone(true);
    pCopy->flipVertical();
    pCopy->trim();
    pCopy->setAlphaFromImage(pAlpha, nCutX & 1);
    pCopy->alignInsPoint(nCutY & 0x7F);
    pTarget->blit(pCopy, 10, 10);
    if (p->getShape(4, 0, 0.5f)->collide(ShapePose(), pCopy->getShape(4, 0, 0.0f), ShapePose()))
        pTarget->fill(Color::Red);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize < 7 || nSize > 4096) return 0;
    unsigned nFlags = pData[0];
    int nWidth = pData[1] % 40 + 1, nHeight = pData[2] % 40 + 1;
    int nAlphaWidth = pData[3] % 48 + 1, nAlphaHeight = pData[4] % 48 + 1;
    const char* pText = reinterpret_cast<const char*>(pData + 7);
    const char* pEnd = reinterpret_cast<const char*>(pData + nSize);
    const char* pSplit = std::find(pText, pEnd, '\x01');

    TestApp* pApp = new TestApp();
    pApp->m_pFakePlatform->removeVideoDriver();
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pProvider = new Tsl::MemoryResourceProvider();
    pApp->addResourceProvider(pProvider.get());
    addBytes(pProvider, "pic.tga", makeTga(nWidth, nHeight, nFlags));
    addBytes(pProvider, "mask.png", makeGreyPng(nAlphaWidth, nAlphaHeight));
    if (nFlags & 1) pProvider->add("pic.spec", pText, static_cast<int>(pSplit - pText));
    if (pSplit != pEnd) pProvider->add("view.subimage", pSplit + 1, static_cast<int>(pEnd - pSplit - 1));
    if (nFlags & 2) pProvider->add("pic.colorkey", "", 0);
    if (nFlags & 4) addBytes(pProvider, "pic.alpha.png", makeGreyPng(nAlphaWidth, nAlphaHeight));
    try {
        SDLImageFactory factory;
        Tsl::SmartPtr<Image> pAlpha = factory.create("mask", (nFlags & 8) != 0);
        Tsl::SmartPtr<Image> p = factory.create((nFlags & 16) ? "view" : "pic", (nFlags & 32) != 0);
        exercise(p, pAlpha, pickPosition(pData[5]), pickPosition(pData[6]));
    } catch (const Tsl::Exception&) {
    }
    pProvider = nullptr;
    delete pApp;
    return 0;
}
