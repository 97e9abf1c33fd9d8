// Picture files made in memory with the real encoders, for the load tests.
#pragma once

#include "image/color.h"

#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// Pixels row by row, top row first.
struct TestPicture {
    int nWidth;
    int nHeight;
    std::vector<Color> aPixels;
    TestPicture(int w, int h) : nWidth(w), nHeight(h), aPixels(w * h) {}
    Color& at(int x, int y) { return aPixels[y * nWidth + x]; }
    const Color& at(int x, int y) const { return aPixels[y * nWidth + x]; }
};

// A picture with distinct colours and alphas everywhere.
TestPicture makeGradient(int w, int h, bool bAlpha);
Bytes encodePng(const TestPicture& pic, bool bAlpha);
// Up to 256 distinct colours, stored as a PLTE palette.
Bytes encodePalettedPng(const TestPicture& pic);
Bytes encodeJpeg(const TestPicture& pic, int nQuality);
// Uncompressed true-colour TGA, bottom row first.
Bytes encodeTga(const TestPicture& pic, bool bAlpha);
