#include "movie_fixture.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>
#include <unistd.h>

namespace {

struct PageWriter {
    std::string sOut;
    void write(const ogg_page& p) { sOut += bytes(p); }
    static std::string bytes(const ogg_page& p) {
        return std::string(reinterpret_cast<const char*>(p.header), p.header_len) +
               std::string(reinterpret_cast<const char*>(p.body), p.body_len);
    }
};

// Data pages of both streams, ordered by time as a muxer would.
struct TimedPages {
    std::vector<std::pair<double, std::string>> aPages;
    void add(double fTime, const ogg_page& p) { aPages.emplace_back(fTime, PageWriter::bytes(p)); }
    void writeTo(PageWriter& out) {
        std::stable_sort(aPages.begin(), aPages.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& page : aPages) out.sOut += page.second;
    }
};

void patch(ogg_packet& packet, std::vector<unsigned char>& copy,
           const std::function<void(std::vector<unsigned char>&)>& fnPatch) {
    copy.assign(packet.packet, packet.packet + packet.bytes);
    fnPatch(copy);
    packet.packet = copy.data();
    packet.bytes = static_cast<long>(copy.size());
}

void corrupt(ogg_packet& packet, std::vector<unsigned char>& copy) {
    copy.assign(packet.packet, packet.packet + packet.bytes);
    // Past the packet's signature: a broken length field.
    for (size_t i = 7; i < copy.size(); ++i) copy[i] = 0xFF;
    packet.packet = copy.data();
}

} // namespace

std::string makeMovie(const MovieSpec& spec) {
    th_info info;
    th_info_init(&info);
    info.frame_width = spec.nFrameWidth;
    info.frame_height = spec.nFrameHeight;
    info.pic_width = spec.nPicWidth;
    info.pic_height = spec.nPicHeight;
    info.pic_x = spec.nPicX;
    info.pic_y = spec.nPicY;
    info.fps_numerator = spec.nFps;
    info.fps_denominator = 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = static_cast<th_pixel_fmt>(spec.nPixelFormat);
    info.quality = 63;
    info.target_bitrate = 0;
    th_enc_ctx* pEncoder = th_encode_alloc(&info);
    th_comment comment;
    th_comment_init(&comment);

    ogg_stream_state video, sound;
    ogg_stream_init(&video, 101);
    ogg_stream_init(&sound, 202);
    PageWriter out;
    ogg_page page;
    ogg_packet packet;
    std::vector<unsigned char> broken;

    // Headers: the first page of each stream alone, then the rest.
    int nHeader = 0;
    while (th_encode_flushheader(pEncoder, &comment, &packet) > 0) {
        if (nHeader == 0 && spec.fnPatchTheoraInfo) patch(packet, broken, spec.fnPatchTheoraInfo);
        if (nHeader == 1 && spec.bCorruptTheoraComment) corrupt(packet, broken);
        ogg_stream_packetin(&video, &packet);
        if (nHeader++ == 0)
            while (ogg_stream_flush(&video, &page)) out.write(page);
    }

    vorbis_info vinfo;
    vorbis_comment vcomment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    bool bSound = spec.nSoundChannels > 0;
    // Both the whole movie and one cut short give their encoders back alike.
    auto release = [&]() {
        th_encode_free(pEncoder);
        th_comment_clear(&comment);
        th_info_clear(&info);
        ogg_stream_clear(&video);
        ogg_stream_clear(&sound);
        if (!bSound) return;
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&vcomment);
        vorbis_info_clear(&vinfo);
    };
    if (bSound) {
        vorbis_info_init(&vinfo);
        vorbis_encode_init_vbr(&vinfo, spec.nSoundChannels, spec.nSoundRate, 0.3f);
        vorbis_comment_init(&vcomment);
        vorbis_analysis_init(&dsp, &vinfo);
        vorbis_block_init(&dsp, &block);
        ogg_packet h1, h2, h3;
        vorbis_analysis_headerout(&dsp, &vcomment, &h1, &h2, &h3);
        std::vector<unsigned char> patched;
        if (spec.fnPatchVorbisInfo) patch(h1, patched, spec.fnPatchVorbisInfo);
        if (spec.bCorruptVorbisComment) corrupt(h2, broken);
        ogg_stream_packetin(&sound, &h1);
        while (ogg_stream_flush(&sound, &page)) out.write(page);
        ogg_stream_packetin(&sound, &h2);
        ogg_stream_packetin(&sound, &h3);
    }
    if (spec.bCutAfterFirstPage) {
        release();
        return out.sOut;
    }
    while (ogg_stream_flush(&video, &page)) out.write(page);
    while (bSound && ogg_stream_flush(&sound, &page)) out.write(page);

    TimedPages timed;
    if (bSound) {
        int nFrames = static_cast<int>(spec.nSoundRate * spec.fSoundSeconds);
        const int CHUNK = 1024;
        auto drain = [&]() {
            while (vorbis_analysis_blockout(&dsp, &block) == 1) {
                vorbis_analysis(&block, nullptr);
                vorbis_bitrate_addblock(&block);
                ogg_packet p;
                while (vorbis_bitrate_flushpacket(&dsp, &p)) {
                    ogg_stream_packetin(&sound, &p);
                    while (ogg_stream_pageout(&sound, &page))
                        timed.add(static_cast<double>(ogg_page_granulepos(&page)) / spec.nSoundRate, page);
                }
            }
        };
        for (int nDone = 0; nDone < nFrames; nDone += CHUNK) {
            int nCount = std::min(CHUNK, nFrames - nDone);
            float** ppBuffer = vorbis_analysis_buffer(&dsp, nCount);
            for (int c = 0; c < spec.nSoundChannels; ++c)
                for (int i = 0; i < nCount; ++i)
                    ppBuffer[c][i] = 0.25f * std::sin((nDone + i) * 2.0f * 3.1415927f * (330.0f + 110 * c) / spec.nSoundRate);
            vorbis_analysis_wrote(&dsp, nCount);
            drain();
        }
        vorbis_analysis_wrote(&dsp, 0);
        drain();
        while (ogg_stream_flush(&sound, &page))
            timed.add(static_cast<double>(ogg_page_granulepos(&page)) / spec.nSoundRate, page);
    }

    int nChromaW = spec.nPixelFormat == 3 ? spec.nFrameWidth : spec.nFrameWidth / 2;
    int nChromaH = spec.nPixelFormat == 0 ? spec.nFrameHeight / 2 : spec.nFrameHeight;
    std::vector<unsigned char> aY(spec.nFrameWidth * spec.nFrameHeight), aCb(nChromaW * nChromaH), aCr(nChromaW * nChromaH);
    for (int k = 0; k < spec.nFrames; ++k) {
        for (int y = 0; y < spec.nFrameHeight; ++y) {
            for (int x = 0; x < spec.nFrameWidth; ++x) {
                unsigned char ycc[3] = {static_cast<unsigned char>(40 + 12 * k), 128, 128};
                if (spec.fnPixel) spec.fnPixel(k, x, y, ycc);
                aY[y * spec.nFrameWidth + x] = ycc[0];
                int nXStep = spec.nFrameWidth / nChromaW, nYStep = spec.nFrameHeight / nChromaH;
                if (x % nXStep || y % nYStep) continue;
                aCb[(y / nYStep) * nChromaW + x / nXStep] = ycc[1];
                aCr[(y / nYStep) * nChromaW + x / nXStep] = ycc[2];
            }
        }
        th_ycbcr_buffer buffer;
        buffer[0] = {spec.nFrameWidth, spec.nFrameHeight, spec.nFrameWidth, aY.data()};
        buffer[1] = {nChromaW, nChromaH, nChromaW, aCb.data()};
        buffer[2] = {nChromaW, nChromaH, nChromaW, aCr.data()};
        th_encode_ycbcr_in(pEncoder, buffer);
        while (th_encode_packetout(pEncoder, k == spec.nFrames - 1, &packet) > 0) {
            ogg_stream_packetin(&video, &packet);
            // One page per picture keeps the pictures spread over the file.
            while (ogg_stream_flush(&video, &page)) timed.add(th_granule_time(pEncoder, ogg_page_granulepos(&page)), page);
        }
    }
    timed.writeTo(out);
    release();
    return out.sOut;
}

namespace {

// Under a test, TMPDIR names the running test's own folder (removed after
// it); the movie benchmark, which builds this file without the test support,
// writes under its TMPDIR or /tmp.
std::string movieFolder() {
    const char* pszRoot = getenv("TMPDIR");
    std::string sFolder = std::string(pszRoot && *pszRoot ? pszRoot : "/tmp") + "/media-" + std::to_string(getpid());
    std::string sCommand = "mkdir -p '" + sFolder + "'";
    return system(sCommand.c_str()) == 0 ? sFolder : std::string();
}

} // namespace

std::string writeMovieFile(const char* pszName, const std::string& sBytes) {
    std::string sPath = movieFolder() + "/" + pszName;
    std::ofstream(sPath, std::ios::binary).write(sBytes.data(), static_cast<std::streamsize>(sBytes.size()));
    return sPath;
}

std::string writeMovie(const char* pszName, const MovieSpec& spec) { return writeMovieFile(pszName, makeMovie(spec)); }

int frameOfLuma(int nLuma) { return (nLuma - 40 + 6) / 12; }
