// Ogg Theora movies with at most one Vorbis sound stream, decoded with
// libogg, libtheora (its legacy theora_* interface) and libvorbis. Pictures
// are converted to 32-bit RGBA here; the sound reaches SDL_mixer through its
// post-mix hook, which SDL calls on its audio thread.
//
// Threads: the main thread decodes and queues sound chunks, the audio thread
// consumes them in the hook. Every queue change on the main thread happens
// between SDL_LockAudio and SDL_UnlockAudio (the hook runs under the same
// lock); the flags and the clock the hook touches are atomic, so the main
// thread may read them at any time.
#pragma once

#include "media/videospriteimpl.h"

#include "tsl2/file.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <ogg/ogg.h>
#include <theora/theora.h>
#include <vorbis/codec.h>

#include <atomic>
#include <vector>

// One piece of decoded sound waiting for the hook: 16-bit values, the
// stream's channels interleaved.
struct SDLTHAudio {
    unsigned char* pRead;
    unsigned char* pData;
    int nRemaining;
};

class SDLTheoraVideo : public IVideoSpriteImpl {
public:
    enum { READ_BLOCK = 4096, CONVERSION_BUFFER_SIZE = 32768, MAX_PASSES = 10 };
    // Every picture is decoded into memory whole: the coded frame and the
    // picture in it are refused beyond this many pixels per side.
    enum { MAX_PICTURE_SIDE = 4096 };
    // Sound rates (frames per second) a movie may have.
    enum { MIN_SOUND_RATE = 1, MAX_SOUND_RATE = 192000 };

    SDLTheoraVideo();
    ~SDLTheoraVideo() override;

    bool open(const char* pszPath) override;
    Tsl::SmartPtr<Image> update(float fDt) override;
    void play() override { m_bPlaying = true; }
    void stop() override { m_bPlaying = false; }
    void pause() override;
    bool isFinished() override { return m_bFinished; }
    int getWidth() override { return m_nWidth; }
    int getHeight() override { return m_nHeight; }
    void setVolume(float fVolume) override { m_fVolume = fVolume; }
    void setAudioExclusive(bool bExclusive) override { m_bAudioExclusive = bExclusive; }
    bool isAudioExclusive() override { return m_bAudioExclusive; }
    float getCurrentTime() override;
    void seek(float fSeconds) override;

    // Whether the movie's sound goes to the mixer (a Vorbis stream, audio
    // enabled, an open mixer in a usable format); otherwise the movie runs
    // on the time given to update.
    bool hasAudioOutput() const { return m_bAudioOutput; }
    // Whether the mixer's hook plays this movie's sound now.
    bool isMixing() const;
    // Chunks waiting for the hook (taken under the audio lock).
    int getQueuedChunkCount() const;

    // SDL_mixer's post-mix hook.
    static void postMix(void* pUserData, unsigned char* pStream, int nLength);

private:
    SDLTheoraVideo(const SDLTheoraVideo&) = delete;
    SDLTheoraVideo& operator=(const SDLTheoraVideo&) = delete;

    // open's steps.
    void findStreams();
    void readRemainingHeaders();
    // Refuses sizes and rates the decoders would trust blindly.
    void checkStreamLimits() const;
    void startDecoders();
    void setUpAudioOutput();
    // Bytes read into the sync state (0 at the end of the file).
    int readBlock();
    // Hands every complete page to the streams found; the number of pages.
    int pumpPages();
    // Hands m_page to the streams found.
    void feedPage();
    bool needsHeaders() const;
    // update's steps.
    void decodeSound(double fHorizon);
    void queueSound(float** ppPcm, int nFrames);
    void decodePictures(double fTarget);
    bool isStreamDrained(ogg_stream_state* pStream) const;
    Tsl::SmartPtr<Image> takePicture();
    void convertPicture(const yuv_buffer& yuv, unsigned char* pPixels) const;
    // The hook's work for one piece of output.
    void mix(unsigned char* pStream, int nLength);
    int fillFromChunk(SDLTHAudio* pChunk, int nLength, const unsigned char*& pBytes);
    void freeQueue();

    // Shared with the audio thread.
    std::atomic<bool> m_bPlaying;
    std::atomic<bool> m_bClosing;
    std::atomic<bool> m_bAudioExclusive;
    std::atomic<double> m_fAudioClock;
    Tsl::List<SDLTHAudio*> m_lAudioQueue;
    // The hook's own: the resampler's position between chunks.
    double m_fResamplePhase;
    unsigned char m_aConversion[CONVERSION_BUFFER_SIZE];

    // Main thread only (or fixed before the hook is installed).
    double m_fWallTime;
    bool m_bFinished;
    int m_nWidth;
    int m_nHeight;
    bool m_bOpened;
    Tsl::SmartPtr<Tsl::File> m_pStream;
    // For the errors.
    Tsl::String m_sPath;
    double m_fVideoTime;
    bool m_bPictureReady;
    double m_fAudioDecodedTime;
    int m_nOutputBytesPerSecond;
    int m_nStreamBytesPerSecond;
    int m_nOutputChannels;
    float m_fVolume;
    bool m_bAudioOutput;
    bool m_bResample;
    double m_fResampleStep;
    bool m_bEndOfFile;
    int m_nChromaRowShift;
    int m_nChromaColumnShift;
    // Pictures handed out as images keep their buffer alive; a buffer is
    // written only while nothing but this list holds it.
    class PictureBuffer;
    std::vector<Tsl::SmartPtr<PictureBuffer>> m_aPictureBuffers;

    ogg_sync_state m_sync;
    ogg_page m_page;
    ogg_stream_state m_theoraStream;
    ogg_stream_state m_vorbisStream;
    theora_info m_theoraInfo;
    theora_comment m_theoraComment;
    theora_state m_theoraState;
    vorbis_info m_vorbisInfo;
    vorbis_comment m_vorbisComment;
    vorbis_dsp_state m_vorbisDsp;
    vorbis_block m_vorbisBlock;
    ogg_packet m_packet;
    int m_nTheoraHeaders;
    int m_nVorbisHeaders;
    int m_nPostProcessLevel;
    int m_nPostProcessPending;
    bool m_bTheoraDecoding;
    bool m_bVorbisDecoding;

    // The player whose hook the mixer calls; only the main thread changes it.
    static SDLTheoraVideo* s_pHookOwner;
};
