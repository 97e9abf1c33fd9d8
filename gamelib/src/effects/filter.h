// In-place image filters. A separable filter convolves the image with a row
// kernel, then a column kernel; a box blur's kernels are n equal weights.
// Edge pixels repeat past the border, so a uniform image stays uniform.
#pragma once

#include "image/image.h"

#include "tsl2/refcount.h"

class Filter : public Tsl::RefCountedObject {
public:
    Filter() {}
    ~Filter() override {}
    virtual void apply(Image* pImage) = 0;
};

class SeparableFilter : public Filter {
public:
    SeparableFilter();
    // Each entry is value x scale; sizes must be positive and odd.
    SeparableFilter(int nRowSize, const float* pRowValues, float fRowScale, int nColSize, const float* pColValues,
                    float fColScale);
    ~SeparableFilter() override;

    void setKernels(int nRowSize, const float* pRowValues, float fRowScale, int nColSize, const float* pColValues,
                    float fColScale);
    // Filters the image's stored pixels; a pixel store shared with another
    // image is copied first, so the other image keeps its pixels.
    void apply(Image* pImage) override;

private:
    SeparableFilter(const SeparableFilter&) = delete;
    SeparableFilter& operator=(const SeparableFilter&) = delete;

    void freeKernels();

    int m_nRowSize;
    float* m_pRowData;
    bool m_bRowUniform;
    int m_nColSize;
    float* m_pColData;
    bool m_bColUniform;
};

class BoxBlur : public SeparableFilter {
public:
    // n must be odd.
    explicit BoxBlur(int n);
};
