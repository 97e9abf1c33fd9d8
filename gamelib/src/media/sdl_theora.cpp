#include "media/sdl_theora.h"

#include "app/gameapp.h"
#include "image/image.h"

#include "tsl2/error.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

SDLTheoraVideo* SDLTheoraVideo::s_pHookOwner = nullptr;

namespace {

// Y'CbCr to RGB offsets by chroma byte, built once per process.
struct ConversionTables {
    int aRedFromCr[256];
    int aGreenFromCb[256];
    int aGreenFromCr[256];
    int aBlueFromCb[256];
};

const ConversionTables& conversionTables() {
    static const ConversionTables s_tables = [] {
        ConversionTables t;
        for (int c = 0; c < 256; ++c) {
            float d = static_cast<float>(c - 128);
            t.aRedFromCr[c] = static_cast<int>(d * 1.37f);
            t.aGreenFromCb[c] = static_cast<int>(d * -0.336f);
            t.aGreenFromCr[c] = static_cast<int>(d * -0.698f);
            t.aBlueFromCb[c] = static_cast<int>(d * 1.732f);
        }
        return t;
    }();
    return s_tables;
}

inline unsigned char clampByte(int n) { return static_cast<unsigned char>(n < 0 ? 0 : (n > 255 ? 255 : n)); }

// What one chroma sample adds to the luma of each pixel it covers.
struct ChromaOffsets {
    int nRed, nGreen, nBlue;
};

inline ChromaOffsets chromaOffsets(const ConversionTables& t, unsigned char nCb, unsigned char nCr) {
    return ChromaOffsets{t.aRedFromCr[nCr], t.aGreenFromCb[nCb] + t.aGreenFromCr[nCr], t.aBlueFromCb[nCb]};
}

// Bytes R, G, B, A: the word 0xAABBGGRR in memory.
inline void writePixel(int nY, const ChromaOffsets& c, unsigned char* pOut) {
    pOut[0] = clampByte(nY + c.nRed);
    pOut[1] = clampByte(nY + c.nGreen);
    pOut[2] = clampByte(nY + c.nBlue);
    pOut[3] = 255;
}

GameApp* app() { return GameApp::getInstance(); }

bool isAudioEnabled() { return app() && app()->isAudioEnabled(); }

void freeChunk(SDLTHAudio* pChunk) {
    delete[] pChunk->pData;
    delete pChunk;
}

} // namespace

// RGBA pixels of one picture, shared with the images made over them.
class SDLTheoraVideo::PictureBuffer : public Tsl::RefCountedObject {
public:
    explicit PictureBuffer(size_t nBytes) : aPixels(nBytes) {}
    std::vector<unsigned char> aPixels;
};

SDLTheoraVideo::SDLTheoraVideo()
    : m_bPlaying(false), m_bClosing(false), m_bAudioExclusive(false), m_fAudioClock(0.0), m_fResamplePhase(0.0),
      m_fWallTime(0.0), m_bFinished(false), m_nWidth(0), m_nHeight(0), m_bOpened(false), m_fVideoTime(0.0),
      m_bPictureReady(false), m_fAudioDecodedTime(0.0), m_nOutputBytesPerSecond(0), m_nStreamBytesPerSecond(0),
      m_nOutputChannels(0), m_fVolume(1.0f), m_bAudioOutput(false), m_bResample(false), m_fResampleStep(1.0),
      m_bEndOfFile(false), m_nChromaRowShift(1), m_nChromaColumnShift(1), m_nTheoraHeaders(0), m_nVorbisHeaders(0),
      m_nPostProcessLevel(0), m_nPostProcessPending(-1),
      m_bTheoraDecoding(false), m_bVorbisDecoding(false) {
    conversionTables();
    std::memset(&m_sync, 0, sizeof(m_sync));
    std::memset(&m_page, 0, sizeof(m_page));
    std::memset(&m_packet, 0, sizeof(m_packet));
}

SDLTheoraVideo::~SDLTheoraVideo() {
    if (!m_bOpened) return;
    m_bClosing = true;
    if (s_pHookOwner == this) {
        Mix_SetPostMix(nullptr, nullptr);
        s_pHookOwner = nullptr;
    }
    SDL_LockAudio();
    freeQueue();
    SDL_UnlockAudio();
    if (m_nVorbisHeaders) ogg_stream_clear(&m_vorbisStream);
    if (m_bVorbisDecoding) {
        vorbis_block_clear(&m_vorbisBlock);
        vorbis_dsp_clear(&m_vorbisDsp);
    }
    vorbis_comment_clear(&m_vorbisComment);
    vorbis_info_clear(&m_vorbisInfo);
    if (m_nTheoraHeaders) ogg_stream_clear(&m_theoraStream);
    if (m_bTheoraDecoding) theora_clear(&m_theoraState);
    theora_comment_clear(&m_theoraComment);
    theora_info_clear(&m_theoraInfo);
    ogg_sync_clear(&m_sync);
    m_pStream = nullptr;
}

void SDLTheoraVideo::pause() {
    TSL_THROW(FatalErrorException, "Not implemented");
}

// ---- open -------------------------------------------------------------------------

bool SDLTheoraVideo::open(const char* pszPath) {
    TSL_TRACE();
    TSL_ASSERT(!m_bOpened);
    if (!Tsl::File::exists(pszPath)) return false;
    Tsl::traceSetNote(pszPath);
    m_pStream = new Tsl::File(pszPath, Tsl::File::eRead);
    m_sPath = pszPath;
    m_bOpened = true;
    ogg_sync_init(&m_sync);
    vorbis_info_init(&m_vorbisInfo);
    vorbis_comment_init(&m_vorbisComment);
    theora_comment_init(&m_theoraComment);
    theora_info_init(&m_theoraInfo);
    m_nTheoraHeaders = 0;
    m_nVorbisHeaders = 0;

    findStreams();
    // A sound track alone is not a movie.
    if (!m_nTheoraHeaders) TSL_THROW(FatalErrorException, "No Theora stream in '%s'", pszPath);
    readRemainingHeaders();
    checkStreamLimits();
    startDecoders();

    m_nWidth = static_cast<int>(m_theoraInfo.frame_width);
    m_nHeight = static_cast<int>(m_theoraInfo.frame_height);
    m_fWallTime = 0.0;
    m_fAudioDecodedTime = 0.0;
    m_fAudioClock = 0.0;
    if (m_nVorbisHeaders) setUpAudioOutput();
    return true;
}

int SDLTheoraVideo::readBlock() {
    char* pBuffer = ogg_sync_buffer(&m_sync, READ_BLOCK);
    int nRead = m_pStream->read(pBuffer, READ_BLOCK);
    ogg_sync_wrote(&m_sync, nRead);
    if (nRead == 0) m_bEndOfFile = true;
    return nRead;
}

int SDLTheoraVideo::pumpPages() {
    int nPages = 0;
    while (ogg_sync_pageout(&m_sync, &m_page) > 0) {
        ++nPages;
        feedPage();
    }
    return nPages;
}

void SDLTheoraVideo::feedPage() {
    if (m_nTheoraHeaders) ogg_stream_pagein(&m_theoraStream, &m_page);
    if (m_nVorbisHeaders) ogg_stream_pagein(&m_vorbisStream, &m_page);
}

void SDLTheoraVideo::findStreams() {
    while (true) {
        if (readBlock() == 0) return;
        while (ogg_sync_pageout(&m_sync, &m_page) > 0) {
            if (!ogg_page_bos(&m_page)) {
                feedPage();
                return;
            }
            ogg_stream_state probe;
            ogg_stream_init(&probe, ogg_page_serialno(&m_page));
            ogg_stream_pagein(&probe, &m_page);
            bool bKept = false;
            if (ogg_stream_packetout(&probe, &m_packet) == 1) {
                if (!m_nTheoraHeaders && theora_decode_header(&m_theoraInfo, &m_theoraComment, &m_packet) >= 0) {
                    std::memcpy(&m_theoraStream, &probe, sizeof(probe));
                    m_nTheoraHeaders = 1;
                    bKept = true;
                } else if (!m_nVorbisHeaders &&
                           vorbis_synthesis_headerin(&m_vorbisInfo, &m_vorbisComment, &m_packet) >= 0) {
                    std::memcpy(&m_vorbisStream, &probe, sizeof(probe));
                    m_nVorbisHeaders = 1;
                    bKept = true;
                }
            }
            if (!bKept) ogg_stream_clear(&probe);
        }
    }
}

bool SDLTheoraVideo::needsHeaders() const {
    return (m_nTheoraHeaders && m_nTheoraHeaders < 3) || (m_nVorbisHeaders && m_nVorbisHeaders < 3);
}

void SDLTheoraVideo::readRemainingHeaders() {
    while (needsHeaders()) {
        int nResult;
        while (m_nTheoraHeaders && m_nTheoraHeaders < 3 &&
               (nResult = ogg_stream_packetout(&m_theoraStream, &m_packet)) != 0) {
            if (nResult < 0 || theora_decode_header(&m_theoraInfo, &m_theoraComment, &m_packet) < 0)
                TSL_THROW(FatalErrorException, "Error parsing Theora stream headers in '%s'; corrupt stream?",
                          m_sPath.c_str());
            ++m_nTheoraHeaders;
        }
        while (m_nVorbisHeaders && m_nVorbisHeaders < 3 &&
               (nResult = ogg_stream_packetout(&m_vorbisStream, &m_packet)) != 0) {
            if (nResult < 0 || vorbis_synthesis_headerin(&m_vorbisInfo, &m_vorbisComment, &m_packet) < 0)
                TSL_THROW(FatalErrorException, "Error parsing Vorbis stream headers in '%s'; corrupt stream?",
                          m_sPath.c_str());
            ++m_nVorbisHeaders;
        }
        if (!needsHeaders()) break;
        if (ogg_sync_pageout(&m_sync, &m_page) > 0)
            feedPage();
        else if (readBlock() == 0)
            TSL_THROW(FatalErrorException, "End of file while searching for codec headers in '%s'", m_sPath.c_str());
    }
}

void SDLTheoraVideo::checkStreamLimits() const {
    // The legacy interface calls the coded frame width x height and the
    // picture in it frame_width x frame_height.
    const theora_info& info = m_theoraInfo;
    if (info.width > MAX_PICTURE_SIDE || info.height > MAX_PICTURE_SIDE || info.frame_width > MAX_PICTURE_SIDE ||
        info.frame_height > MAX_PICTURE_SIDE)
        TSL_THROW(FatalErrorException, "Movie picture too large in '%s': %u x %u in a coded frame of %u x %u (at most %d per side)",
                  m_sPath.c_str(), static_cast<unsigned>(info.frame_width), static_cast<unsigned>(info.frame_height),
                  static_cast<unsigned>(info.width), static_cast<unsigned>(info.height), static_cast<int>(MAX_PICTURE_SIDE));
    if (m_nVorbisHeaders && (m_vorbisInfo.rate < MIN_SOUND_RATE || m_vorbisInfo.rate > MAX_SOUND_RATE))
        TSL_THROW(FatalErrorException, "Unsupported sound rate %ld in '%s' (%d to %d)", m_vorbisInfo.rate, m_sPath.c_str(),
                  static_cast<int>(MIN_SOUND_RATE), static_cast<int>(MAX_SOUND_RATE));
}

void SDLTheoraVideo::startDecoders() {
    // A refused header leaves the state unset: nothing may touch it, not even the clean-up.
    int nResult = theora_decode_init(&m_theoraState, &m_theoraInfo);
    if (nResult != 0)
        TSL_THROW(FatalErrorException, "The Theora decoder refused the stream headers of '%s' (error %d)", m_sPath.c_str(),
                  nResult);
    m_bTheoraDecoding = true;
    switch (m_theoraInfo.pixelformat) {
    case OC_PF_420:
        m_nChromaRowShift = 1;
        m_nChromaColumnShift = 1;
        break;
    case OC_PF_422:
        m_nChromaRowShift = 0;
        m_nChromaColumnShift = 1;
        break;
    case OC_PF_444:
        m_nChromaRowShift = 0;
        m_nChromaColumnShift = 0;
        break;
    default:
        TSL_THROW(FatalErrorException, "Unsupported Theora pixel format %d in '%s'", static_cast<int>(m_theoraInfo.pixelformat),
                  m_sPath.c_str());
    }
    int nMaxLevel = 0;
    theora_control(&m_theoraState, TH_DECCTL_GET_PPLEVEL_MAX, &nMaxLevel, sizeof(nMaxLevel));
    m_nPostProcessLevel = nMaxLevel;
    theora_control(&m_theoraState, TH_DECCTL_SET_PPLEVEL, &m_nPostProcessLevel, sizeof(m_nPostProcessLevel));
    m_nPostProcessPending = -1;
    if (m_nVorbisHeaders) {
        vorbis_synthesis_init(&m_vorbisDsp, &m_vorbisInfo);
        vorbis_block_init(&m_vorbisDsp, &m_vorbisBlock);
        m_bVorbisDecoding = true;
    }
}

void SDLTheoraVideo::setUpAudioOutput() {
    int nFrequency = 0, nChannels = 0;
    Uint16 nFormat = 0;
    // Without an open mixer in 16-bit output, or with audio off, nobody would
    // mix the sound and its clock would never move: the movie then runs on
    // the time given to update.
    if (!isAudioEnabled() || !Mix_QuerySpec(&nFrequency, &nFormat, &nChannels)) return;
    if (nFormat != AUDIO_S16SYS || nFrequency <= 0 || nChannels <= 0) return;
    m_nOutputChannels = nChannels;
    m_nOutputBytesPerSecond = nFrequency * nChannels * 2;
    m_nStreamBytesPerSecond = static_cast<int>(m_vorbisInfo.rate) * m_vorbisInfo.channels * 2;
    m_bResample = !(nFrequency == m_vorbisInfo.rate && nChannels == m_vorbisInfo.channels);
    m_fResampleStep = m_bResample ? static_cast<double>(m_vorbisInfo.rate) / nFrequency : 1.0;
    m_bAudioOutput = true;
    s_pHookOwner = this;
    Mix_SetPostMix(&SDLTheoraVideo::postMix, this);
}

// ---- time -------------------------------------------------------------------------

bool SDLTheoraVideo::isMixing() const {
    // A later player takes the mixer's hook over; this one then goes on on
    // the wall time instead of waiting for a clock that no longer moves.
    return m_bAudioOutput && s_pHookOwner == this && isAudioEnabled();
}

float SDLTheoraVideo::getCurrentTime() {
    return static_cast<float>(isMixing() ? m_fAudioClock.load() : m_fWallTime);
}

void SDLTheoraVideo::seek(float fSeconds) {
    TSL_TRACE();
    double fDelta = static_cast<double>(fSeconds) - getCurrentTime();
    if (!(fDelta >= 0.0)) TSL_THROW(FatalErrorException, "Theora : Backwards seek not implemented\n");
    SDL_LockAudio();
    m_fAudioClock = m_fAudioClock.load() + fDelta;
    freeQueue();
    m_fResamplePhase = 0.0;
    SDL_UnlockAudio();
    m_fWallTime += fDelta;
}

// ---- update -----------------------------------------------------------------------

Tsl::SmartPtr<Image> SDLTheoraVideo::update(float fDt) {
    TSL_TRACE();
    if (!m_bOpened) return nullptr;
    m_fWallTime += fDt;
    double fTarget = getCurrentTime();
    double fHorizon = fTarget + 0.25;
    m_bFinished = false;
    bool bSoundWanted = isMixing();
    for (int nPass = 0; nPass < MAX_PASSES; ++nPass) {
        decodeSound(fHorizon);
        decodePictures(fTarget);
        // Enough decoded: reading on would only pile up packets in memory.
        if (m_fVideoTime > fTarget && (!bSoundWanted || m_fAudioDecodedTime > fHorizon)) break;
        int nRead = readBlock();
        int nPages = pumpPages();
        bool bVideoDone = m_fVideoTime < fTarget && isStreamDrained(&m_theoraStream);
        bool bSoundDone = !bSoundWanted || (isStreamDrained(&m_vorbisStream) && m_fAudioDecodedTime < fHorizon);
        if (bVideoDone && bSoundDone && nRead == 0 && nPages == 0) {
            m_bFinished = true;
            break;
        }
    }
    return m_bPictureReady ? takePicture() : nullptr;
}

bool SDLTheoraVideo::isStreamDrained(ogg_stream_state* pStream) const {
    // A file cut short has no end-of-stream page: its end counts as one.
    return (ogg_stream_eos(pStream) || m_bEndOfFile) && ogg_stream_packetpeek(pStream, nullptr) == 0;
}

void SDLTheoraVideo::decodeSound(double fHorizon) {
    if (!m_nVorbisHeaders) return;
    if (!isMixing()) {
        // Nobody hears it: drop the packets so they do not pile up.
        while (ogg_stream_packetout(&m_vorbisStream, &m_packet) != 0) {
        }
        return;
    }
    while (m_fAudioDecodedTime < fHorizon) {
        float** ppPcm = nullptr;
        int nFrames = vorbis_synthesis_pcmout(&m_vorbisDsp, &ppPcm);
        if (nFrames > 0) {
            m_fAudioDecodedTime += static_cast<double>(nFrames) * m_vorbisInfo.channels * 2 / m_nStreamBytesPerSecond;
            if (m_fAudioClock.load() <= m_fAudioDecodedTime) queueSound(ppPcm, nFrames);
            vorbis_synthesis_read(&m_vorbisDsp, nFrames);
            continue;
        }
        int nResult = ogg_stream_packetout(&m_vorbisStream, &m_packet);
        if (nResult == 0) return;
        if (nResult < 0) continue;
        if (vorbis_synthesis(&m_vorbisBlock, &m_packet) == 0) vorbis_synthesis_blockin(&m_vorbisDsp, &m_vorbisBlock);
    }
}

void SDLTheoraVideo::queueSound(float** ppPcm, int nFrames) {
    int nChannels = m_vorbisInfo.channels;
    int nValues = nFrames * nChannels;
    SDLTHAudio* pChunk = new SDLTHAudio;
    pChunk->pData = new unsigned char[nValues * 2];
    pChunk->pRead = pChunk->pData;
    pChunk->nRemaining = nValues * 2;
    Sint16* pOut = reinterpret_cast<Sint16*>(pChunk->pData);
    for (int i = 0; i < nFrames; ++i) {
        for (int c = 0; c < nChannels; ++c) {
            int nValue = static_cast<int>(ppPcm[c][i] * m_fVolume * 32767.0f);
            *pOut++ = static_cast<Sint16>(std::max(-32768, std::min(32767, nValue)));
        }
    }
    SDL_LockAudio();
    m_lAudioQueue.append(pChunk);
    SDL_UnlockAudio();
}

void SDLTheoraVideo::decodePictures(double fTarget) {
    while (m_fVideoTime < fTarget) {
        m_bPictureReady = false;
        int nResult = ogg_stream_packetout(&m_theoraStream, &m_packet);
        if (nResult == 0) return;
        if (nResult < 0) continue;
        if (m_nPostProcessPending >= 0) {
            m_nPostProcessLevel = m_nPostProcessPending;
            theora_control(&m_theoraState, TH_DECCTL_SET_PPLEVEL, &m_nPostProcessLevel, sizeof(m_nPostProcessLevel));
            m_nPostProcessPending = -1;
        }
        if (m_packet.granulepos >= 0)
            theora_control(&m_theoraState, TH_DECCTL_SET_GRANPOS, &m_packet.granulepos, sizeof(m_packet.granulepos));
        if (theora_decode_packetin(&m_theoraState, &m_packet) != 0) continue;
        m_fVideoTime = theora_granule_time(&m_theoraState, m_theoraState.granulepos);
        if (m_fVideoTime < fTarget) {
            // Late: not shown, and cheaper decoding from here on.
            if (m_nPostProcessLevel > 0) m_nPostProcessPending = m_nPostProcessLevel - 1;
        } else {
            m_bPictureReady = true;
        }
    }
}

// ---- pictures ---------------------------------------------------------------------

Tsl::SmartPtr<Image> SDLTheoraVideo::takePicture() {
    m_bPictureReady = false;
    yuv_buffer yuv;
    if (theora_decode_YUVout(&m_theoraState, &yuv) != 0) return nullptr;
    // A buffer an image still shows is never overwritten.
    Tsl::SmartPtr<PictureBuffer> pBuffer;
    for (const Tsl::SmartPtr<PictureBuffer>& pCandidate : m_aPictureBuffers)
        if (pCandidate->getRefCount() == 1) pBuffer = pCandidate;
    if (!pBuffer) {
        pBuffer = new PictureBuffer(static_cast<size_t>(m_nWidth) * m_nHeight * 4);
        m_aPictureBuffers.push_back(pBuffer);
    }
    unsigned char* pPixels = pBuffer->aPixels.data();
    convertPicture(yuv, pPixels);
    Tsl::SmartPtr<Image> pImage = app()->createImageFromPixels(pPixels, m_nWidth, m_nHeight, 32, m_nWidth * 4,
                                                              0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    pImage->holdPixels(pBuffer.get());
    // Buffers that only this list holds beyond the one in use are given back.
    for (size_t i = m_aPictureBuffers.size(); i-- > 0;)
        if (m_aPictureBuffers.size() > 2 && m_aPictureBuffers[i]->getRefCount() == 1 && m_aPictureBuffers[i] != pBuffer)
            m_aPictureBuffers.erase(m_aPictureBuffers.begin() + static_cast<long>(i));
    return pImage;
}

void SDLTheoraVideo::convertPicture(const yuv_buffer& yuv, unsigned char* pPixels) const {
    int nOffsetX = static_cast<int>(m_theoraInfo.offset_x);
    int nOffsetY = static_cast<int>(m_theoraInfo.offset_y);
    int nPitch = m_nWidth * 4;
    auto lumaAt = [&](int x, int y) { return yuv.y + (nOffsetY + y) * yuv.y_stride + nOffsetX + x; };
    auto chromaOffset = [&](int x, int y) {
        return ((nOffsetY + y) >> m_nChromaRowShift) * yuv.uv_stride + ((nOffsetX + x) >> m_nChromaColumnShift);
    };
    const ConversionTables& t = conversionTables();
    auto convertSpan = [&](int y, int x0, int x1) {
        unsigned char* pOut = pPixels + y * nPitch + x0 * 4;
        for (int x = x0; x < x1; ++x, pOut += 4) {
            int nChroma = chromaOffset(x, y);
            writePixel(*lumaAt(x, y), chromaOffsets(t, yuv.u[nChroma], yuv.v[nChroma]), pOut);
        }
    };
    int nFastWidth = 0, nFastHeight = 0;
    bool bFast = m_nChromaRowShift == 1 && m_nChromaColumnShift == 1 && nOffsetX % 2 == 0 && nOffsetY % 2 == 0;
    if (bFast) {
        // 4:2:0 on even offsets: each 2 x 2 block shares one chroma sample.
        nFastWidth = m_nWidth & ~1;
        nFastHeight = m_nHeight & ~1;
        for (int y = 0; y < nFastHeight; y += 2) {
            const unsigned char* pY0 = lumaAt(0, y);
            const unsigned char* pY1 = pY0 + yuv.y_stride;
            int nChroma = chromaOffset(0, y);
            const unsigned char* pCb = yuv.u + nChroma;
            const unsigned char* pCr = yuv.v + nChroma;
            unsigned char* pOut0 = pPixels + y * nPitch;
            unsigned char* pOut1 = pOut0 + nPitch;
            for (int x = 0; x < nFastWidth; x += 2, pY0 += 2, pY1 += 2, ++pCb, ++pCr, pOut0 += 8, pOut1 += 8) {
                ChromaOffsets c = chromaOffsets(t, *pCb, *pCr);
                writePixel(pY0[0], c, pOut0);
                writePixel(pY0[1], c, pOut0 + 4);
                writePixel(pY1[0], c, pOut1);
                writePixel(pY1[1], c, pOut1 + 4);
            }
        }
    }
    // What the block pass left: an odd last column and row, or everything.
    for (int y = 0; y < nFastHeight; ++y) convertSpan(y, nFastWidth, m_nWidth);
    for (int y = nFastHeight; y < m_nHeight; ++y) convertSpan(y, 0, m_nWidth);
}

// ---- the audio thread -------------------------------------------------------------

void SDLTheoraVideo::postMix(void* pUserData, unsigned char* pStream, int nLength) {
    SDLTheoraVideo* pPlayer = static_cast<SDLTheoraVideo*>(pUserData);
    if (!pPlayer || !pPlayer->m_bPlaying || nLength <= 0) return;
    // Only this thread moves the clock outside the audio lock, and seek
    // changes it only under that lock, so load and store cannot race.
    pPlayer->m_fAudioClock = pPlayer->m_fAudioClock.load() + static_cast<double>(nLength) / pPlayer->m_nOutputBytesPerSecond;
    pPlayer->mix(pStream, nLength);
}

void SDLTheoraVideo::mix(unsigned char* pStream, int nLength) {
    while (nLength > 0 && !m_bClosing && !m_lAudioQueue.isEmpty()) {
        SDLTHAudio* pChunk = m_lAudioQueue.getFirst();
        const unsigned char* pBytes = nullptr;
        // A long callback is served in pieces the conversion buffer holds.
        int nBytes = fillFromChunk(pChunk, std::min(nLength, static_cast<int>(CONVERSION_BUFFER_SIZE)), pBytes);
        if (nBytes > 0) {
            if (m_bAudioExclusive)
                std::memcpy(pStream, pBytes, static_cast<size_t>(nBytes));
            else
                SDL_MixAudio(pStream, pBytes, static_cast<Uint32>(nBytes), SDL_MIX_MAXVOLUME);
            pStream += nBytes;
            nLength -= nBytes;
        }
        if (pChunk->nRemaining <= 0) {
            m_lAudioQueue.removeFirst();
            freeChunk(pChunk);
        } else if (nBytes == 0) {
            break;
        }
    }
}

int SDLTheoraVideo::fillFromChunk(SDLTHAudio* pChunk, int nLength, const unsigned char*& pBytes) {
    if (!m_bResample) {
        int nBytes = std::min(nLength, pChunk->nRemaining);
        pBytes = pChunk->pRead;
        pChunk->pRead += nBytes;
        pChunk->nRemaining -= nBytes;
        return nBytes;
    }
    // Frame by frame, so the channels of a frame stay together whatever the rate.
    int nInChannels = m_vorbisInfo.channels;
    int nOutChannels = m_nOutputChannels;
    int nOutFrameBytes = nOutChannels * 2;
    const Sint16* pIn = reinterpret_cast<const Sint16*>(pChunk->pRead);
    int nInFrames = pChunk->nRemaining / (nInChannels * 2);
    Sint16* pOut = reinterpret_cast<Sint16*>(m_aConversion);
    int nWritten = 0;
    double fPos = m_fResamplePhase;
    while (nWritten + nOutFrameBytes <= nLength && static_cast<int>(fPos) < nInFrames) {
        const Sint16* pFrame = pIn + static_cast<int>(fPos) * nInChannels;
        for (int c = 0; c < nOutChannels; ++c) {
            if (nInChannels == 1)
                *pOut++ = pFrame[0];
            else if (nOutChannels == 1)
                *pOut++ = static_cast<Sint16>((pFrame[0] + pFrame[1]) / 2);
            else
                *pOut++ = pFrame[std::min(c, nInChannels - 1)];
        }
        nWritten += nOutFrameBytes;
        fPos += m_fResampleStep;
    }
    int nConsumed = std::min(static_cast<int>(fPos), nInFrames);
    m_fResamplePhase = fPos - nConsumed;
    pChunk->pRead += nConsumed * nInChannels * 2;
    pChunk->nRemaining -= nConsumed * nInChannels * 2;
    if (nInFrames == 0) pChunk->nRemaining = 0;
    pBytes = m_aConversion;
    return nWritten;
}

void SDLTheoraVideo::freeQueue() {
    while (!m_lAudioQueue.isEmpty()) freeChunk(m_lAudioQueue.removeFirst());
}

int SDLTheoraVideo::getQueuedChunkCount() const {
    SDL_LockAudio();
    int nCount = m_lAudioQueue.getCount();
    SDL_UnlockAudio();
    return nCount;
}
