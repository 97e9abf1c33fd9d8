#include "effects/filter.h"

#include "app/gameapp.h"

#include "tsl2/error.h"

#include <algorithm>
#include <vector>

namespace {

// One line of pixels (a row or a column) read through index-clamped access.
// Every window index is clamped into the line, so a line shorter than the
// kernel repeats its edge pixels instead of reading past its end.
struct Line {
    Image* pImage;
    bool bRow;
    int nFixed;
    int nLength;
    Color at(int i) const {
        i = std::min(std::max(i, 0), nLength - 1);
        return bRow ? pImage->getPixel(i, nFixed) : pImage->getPixel(nFixed, i);
    }
    void put(Image* pTarget, int i, const Color& c) const {
        if (bRow) pTarget->putPixel(i, nFixed, c);
        else pTarget->putPixel(nFixed, i, c);
    }
};

unsigned char toChannel(float fValue) {
    if (!(fValue > 0.0f)) return 0;
    if (fValue >= 255.0f) return 255;
    return static_cast<unsigned char>(fValue);
}

void channelsOf(const Color& c, float* pfOut) {
    pfOut[0] = c.r;
    pfOut[1] = c.g;
    pfOut[2] = c.b;
    pfOut[3] = c.a;
}

// General kernel: each output is the weighted sum over the window, kernel[0]
// weighing its leftmost pixel.
void filterGeneral(const Line& src, Image* pTarget, const float* pKernel, int nSize) {
    int nHalf = nSize / 2;
    std::vector<Color> ring(nSize);
    for (int k = 0; k < nSize; ++k) ring[k] = src.at(k - nHalf);
    int nOldest = 0;
    for (int x = 0; x < src.nLength; ++x) {
        float afSum[4] = {0, 0, 0, 0}, afPixel[4];
        for (int k = 0; k < nSize; ++k) {
            channelsOf(ring[(nOldest + k) % nSize], afPixel);
            for (int c = 0; c < 4; ++c) afSum[c] += afPixel[c] * pKernel[k];
        }
        src.put(pTarget, x, Color(toChannel(afSum[0]), toChannel(afSum[1]), toChannel(afSum[2]), toChannel(afSum[3])));
        ring[nOldest] = src.at(x + nHalf + 1);
        nOldest = (nOldest + 1) % nSize;
    }
}

// Uniform kernel: running sums, a constant cost per pixel whatever its size.
void filterUniform(const Line& src, Image* pTarget, float fWeight, int nSize) {
    int nHalf = nSize / 2;
    long anSum[4] = {0, 0, 0, 0};
    for (int k = -nHalf; k <= nHalf; ++k) {
        Color p = src.at(k);
        anSum[0] += p.r;
        anSum[1] += p.g;
        anSum[2] += p.b;
        anSum[3] += p.a;
    }
    for (int x = 0; x < src.nLength; ++x) {
        src.put(pTarget, x,
                Color(toChannel(anSum[0] * fWeight), toChannel(anSum[1] * fWeight), toChannel(anSum[2] * fWeight),
                      toChannel(anSum[3] * fWeight)));
        Color in = src.at(x + nHalf + 1), out = src.at(x - nHalf);
        anSum[0] += in.r - out.r;
        anSum[1] += in.g - out.g;
        anSum[2] += in.b - out.b;
        anSum[3] += in.a - out.a;
    }
}

bool isUniform(const float* pData, int nSize) {
    for (int i = 1; i < nSize; ++i)
        if (pData[i] != pData[0]) return false;
    return true;
}

} // namespace

SeparableFilter::SeparableFilter()
    : m_nRowSize(0), m_pRowData(nullptr), m_bRowUniform(false), m_nColSize(0), m_pColData(nullptr),
      m_bColUniform(false) {}

SeparableFilter::SeparableFilter(int nRowSize, const float* pRowValues, float fRowScale, int nColSize,
                                 const float* pColValues, float fColScale)
    : SeparableFilter() {
    setKernels(nRowSize, pRowValues, fRowScale, nColSize, pColValues, fColScale);
}

SeparableFilter::~SeparableFilter() { freeKernels(); }

void SeparableFilter::freeKernels() {
    delete[] m_pRowData;
    delete[] m_pColData;
    m_pRowData = m_pColData = nullptr;
    m_nRowSize = m_nColSize = 0;
}

void SeparableFilter::setKernels(int nRowSize, const float* pRowValues, float fRowScale, int nColSize,
                                 const float* pColValues, float fColScale) {
    freeKernels();
    TSL_ASSERT((nRowSize % 2) == 1);
    TSL_ASSERT((nColSize % 2) == 1);
    TSL_ASSERT(pRowValues && pColValues);
    m_pRowData = new float[nRowSize];
    m_pColData = new float[nColSize];
    m_nRowSize = nRowSize;
    m_nColSize = nColSize;
    for (int i = 0; i < nRowSize; ++i) m_pRowData[i] = pRowValues[i] * fRowScale;
    for (int i = 0; i < nColSize; ++i) m_pColData[i] = pColValues[i] * fColScale;
    m_bRowUniform = isUniform(m_pRowData, nRowSize);
    m_bColUniform = isUniform(m_pColData, nColSize);
}

void SeparableFilter::apply(Image* pImage) {
    TSL_TRACE();
    TSL_ASSERT(m_pRowData);
    TSL_ASSERT(m_pColData);
    TSL_ASSERT(pImage);
    // The stored pixels, not the canvas: a trimmed image or a view has fewer.
    pImage->prepareForWrite();
    int nWidth = 0, nHeight = 0;
    pImage->getPhysicalSize(nWidth, nHeight);
    if (nWidth <= 0 || nHeight <= 0) return;
    Tsl::SmartPtr<Image> pWork = pImage->newBlankImage(nWidth, nHeight, pImage->hasAlpha());
    pImage->lock();
    pWork->lock();
    try {
        for (int y = 0; y < nHeight; ++y) {
            Line row = {pImage, true, y, nWidth};
            if (m_bRowUniform) filterUniform(row, pWork, m_pRowData[0], m_nRowSize);
            else filterGeneral(row, pWork, m_pRowData, m_nRowSize);
        }
        for (int x = 0; x < nWidth; ++x) {
            Line column = {pWork, false, x, nHeight};
            if (m_bColUniform) filterUniform(column, pImage, m_pColData[0], m_nColSize);
            else filterGeneral(column, pImage, m_pColData, m_nColSize);
        }
    } catch (...) {
        pWork->unlock();
        pImage->unlock();
        throw;
    }
    pWork->unlock();
    pImage->unlock();
    pImage->invalidate();
    pImage->notifyChanged();
}

namespace {
std::vector<float> ones(int n) { return std::vector<float>(n > 0 ? n : 0, 1.0f); }
} // namespace

BoxBlur::BoxBlur(int n) {
    std::vector<float> afOnes = ones(n);
    float fScale = n != 0 ? 1.0f / static_cast<float>(n) : 0.0f;
    setKernels(n, afOnes.data(), fScale, n, afOnes.data(), fScale);
}

