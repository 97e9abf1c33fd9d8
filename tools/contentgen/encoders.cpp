#include "encoders.h"

#include <png.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

void appendToBytes(png_structp pPng, png_bytep pData, png_size_t nLength) {
    Bytes* pOut = static_cast<Bytes*>(png_get_io_ptr(pPng));
    pOut->insert(pOut->end(), pData, pData + nLength);
}

void flushNothing(png_structp) {}

void putLe(Bytes& out, unsigned int nValue, int nBytes) {
    for (int i = 0; i < nBytes; ++i) out.push_back(static_cast<unsigned char>(nValue >> (8 * i)));
}

void putTag(Bytes& out, const char* pszTag) { out.insert(out.end(), pszTag, pszTag + 4); }

void appendPage(Bytes& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

Bytes encodePng(const Canvas& canvas) {
    Bytes out;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
    if (!pInfo) throw std::runtime_error("libpng: out of memory");
    if (setjmp(png_jmpbuf(pPng))) {
        png_destroy_write_struct(&pPng, &pInfo);
        throw std::runtime_error("libpng: can't encode a picture");
    }
    png_set_write_fn(pPng, &out, appendToBytes, flushNothing);
    png_set_IHDR(pPng, pInfo, canvas.width(), canvas.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(pPng, 6);
    png_write_info(pPng, pInfo);
    std::vector<unsigned char> aRow(static_cast<size_t>(canvas.width()) * 4);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            Rgba c = canvas.at(x, y);
            // Clear pixels all alike, whatever colour a blend left in them.
            if (c.a == 0) c = Rgba(0, 0, 0, 0);
            std::memcpy(&aRow[x * 4], &c, 4);
        }
        png_write_row(pPng, aRow.data());
    }
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return out;
}

Canvas decodePng(const Bytes& png) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        throw std::runtime_error(std::string("libpng: can't read a picture: ") + image.message);
    image.format = PNG_FORMAT_RGBA;
    Canvas canvas(static_cast<int>(image.width), static_cast<int>(image.height));
    std::vector<unsigned char> aPixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, aPixels.data(), 0, nullptr))
        throw std::runtime_error(std::string("libpng: can't read a picture: ") + image.message);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const unsigned char* p = &aPixels[(static_cast<size_t>(y) * canvas.width() + x) * 4];
            canvas.set(x, y, Rgba(p[0], p[1], p[2], p[3]));
        }
    return canvas;
}

Bytes encodeWav(const std::vector<float>& aSamples, int nRate) {
    Bytes out;
    unsigned int nData = static_cast<unsigned int>(aSamples.size() * 2);
    putTag(out, "RIFF");
    putLe(out, 36 + nData, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe(out, 16, 4);
    putLe(out, 1, 2); // PCM
    putLe(out, 1, 2); // mono
    putLe(out, nRate, 4);
    putLe(out, nRate * 2, 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    putTag(out, "data");
    putLe(out, nData, 4);
    for (float f : aSamples) {
        int n = static_cast<int>(std::lround(std::max(-1.0f, std::min(1.0f, f)) * 32767));
        putLe(out, static_cast<unsigned int>(n) & 0xFFFF, 2);
    }
    return out;
}

Bytes encodeOggVorbis(const std::vector<float>& aSamples, int nRate, int nSerial) {
    Bytes out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, nRate, 0.1f) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("libvorbisenc: can't set up the encoder");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, nSerial);
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) appendPage(out, page);

    const size_t CHUNK = 1024;
    for (size_t nDone = 0; nDone <= aSamples.size();) {
        size_t nCount = std::min(CHUNK, aSamples.size() - nDone);
        if (nCount == 0) {
            vorbis_analysis_wrote(&vd, 0); // end of stream
            nDone = aSamples.size() + 1;
        } else {
            float** ppBuffer = vorbis_analysis_buffer(&vd, static_cast<int>(nCount));
            std::copy(aSamples.begin() + nDone, aSamples.begin() + nDone + nCount, ppBuffer[0]);
            vorbis_analysis_wrote(&vd, static_cast<int>(nCount));
            nDone += nCount;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) appendPage(out, page);
            }
        }
    }
    while (ogg_stream_flush(&os, &page)) appendPage(out, page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
