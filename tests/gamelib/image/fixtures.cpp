#include "fixtures.h"

#include <png.h>
#include <cstdio>
#include <jpeglib.h>

#include <map>
#include <stdexcept>

TestPicture makeGradient(int w, int h, bool bAlpha) {
    TestPicture pic(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.at(x, y) = Color(static_cast<unsigned char>(x * 255 / std::max(w - 1, 1)),
                                 static_cast<unsigned char>(y * 255 / std::max(h - 1, 1)),
                                 static_cast<unsigned char>((x * 7 + y * 13) & 0xFF),
                                 bAlpha ? static_cast<unsigned char>((x * 31 + y * 17) & 0xFF) : 255);
    return pic;
}

static void pngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* pOut = static_cast<Bytes*>(png_get_io_ptr(png));
    pOut->insert(pOut->end(), data, data + n);
}

static void pngFlush(png_structp) {}

static Bytes writePng(int w, int h, int nColorType, const std::vector<std::vector<unsigned char>>& rows,
                      const std::vector<png_color>* pPalette) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("png encoding failed");
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, w, h, 8, nColorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (pPalette) png_set_PLTE(png, info, pPalette->data(), static_cast<int>(pPalette->size()));
    png_write_info(png, info);
    for (const auto& row : rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes encodePng(const TestPicture& pic, bool bAlpha) {
    std::vector<std::vector<unsigned char>> rows;
    for (int y = 0; y < pic.nHeight; ++y) {
        std::vector<unsigned char> row;
        for (int x = 0; x < pic.nWidth; ++x) {
            const Color& c = pic.at(x, y);
            row.insert(row.end(), {c.r, c.g, c.b});
            if (bAlpha) row.push_back(c.a);
        }
        rows.push_back(row);
    }
    return writePng(pic.nWidth, pic.nHeight, bAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, rows, nullptr);
}

Bytes encodePalettedPng(const TestPicture& pic) {
    std::map<unsigned int, int> indexes;
    std::vector<png_color> palette;
    std::vector<std::vector<unsigned char>> rows;
    for (int y = 0; y < pic.nHeight; ++y) {
        std::vector<unsigned char> row;
        for (int x = 0; x < pic.nWidth; ++x) {
            const Color& c = pic.at(x, y);
            unsigned int key = (c.r << 16) | (c.g << 8) | c.b;
            auto it = indexes.find(key);
            if (it == indexes.end()) {
                if (palette.size() == 256) throw std::runtime_error("too many colours");
                it = indexes.emplace(key, static_cast<int>(palette.size())).first;
                palette.push_back(png_color{c.r, c.g, c.b});
            }
            row.push_back(static_cast<unsigned char>(it->second));
        }
        rows.push_back(row);
    }
    return writePng(pic.nWidth, pic.nHeight, PNG_COLOR_TYPE_PALETTE, rows, &palette);
}

Bytes encodeJpeg(const TestPicture& pic, int nQuality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* pBuffer = nullptr;
    unsigned long nSize = 0;
    jpeg_mem_dest(&cinfo, &pBuffer, &nSize);
    cinfo.image_width = pic.nWidth;
    cinfo.image_height = pic.nHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, nQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(pic.nWidth * 3);
    for (int y = 0; y < pic.nHeight; ++y) {
        for (int x = 0; x < pic.nWidth; ++x) {
            const Color& c = pic.at(x, y);
            row[x * 3] = c.r, row[x * 3 + 1] = c.g, row[x * 3 + 2] = c.b;
        }
        JSAMPROW pRow = row.data();
        jpeg_write_scanlines(&cinfo, &pRow, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(pBuffer, pBuffer + nSize);
    jpeg_destroy_compress(&cinfo);
    free(pBuffer);
    return out;
}

Bytes encodeTga(const TestPicture& pic, bool bAlpha) {
    Bytes out(18, 0);
    out[2] = 2;  // uncompressed true colour
    out[12] = static_cast<unsigned char>(pic.nWidth & 0xFF);
    out[13] = static_cast<unsigned char>(pic.nWidth >> 8);
    out[14] = static_cast<unsigned char>(pic.nHeight & 0xFF);
    out[15] = static_cast<unsigned char>(pic.nHeight >> 8);
    out[16] = bAlpha ? 32 : 24;
    out[17] = bAlpha ? 8 : 0;  // alpha bits; origin bottom-left
    for (int y = pic.nHeight - 1; y >= 0; --y) {
        for (int x = 0; x < pic.nWidth; ++x) {
            const Color& c = pic.at(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
            if (bAlpha) out.push_back(c.a);
        }
    }
    return out;
}
