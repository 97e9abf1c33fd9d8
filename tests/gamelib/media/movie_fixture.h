// Ogg Theora movies made with the real encoders for the media tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct MovieSpec {
    int nFrameWidth = 32;  // multiples of 16
    int nFrameHeight = 32;
    int nPicWidth = 32;
    int nPicHeight = 32;
    int nPicX = 0;
    int nPicY = 0;
    int nPixelFormat = 0;  // 0 = 4:2:0, 2 = 4:2:2, 3 = 4:4:4 (th_pixel_fmt)
    int nFps = 8;
    int nFrames = 8;
    // Y, Cb, Cr of frame pixel (x, y) in picture k; the default is flat grey
    // whose luma counts the frames (40 + 12 k, up to 16 frames), so a picture names its frame.
    std::function<void(int k, int x, int y, unsigned char* pYCbCr)> fnPixel;
    // Sound: none when 0 channels.
    int nSoundChannels = 0;
    int nSoundRate = 44100;
    float fSoundSeconds = 0.0f;
    // Broken files.
    bool bCorruptTheoraComment = false;
    bool bCorruptVorbisComment = false;
    bool bCutAfterFirstPage = false;
    // Rewrite the bytes of the Theora or Vorbis identification header, as a
    // hostile file would have them.
    std::function<void(std::vector<unsigned char>&)> fnPatchTheoraInfo;
    std::function<void(std::vector<unsigned char>&)> fnPatchVorbisInfo;
};

// The movie's bytes.
std::string makeMovie(const MovieSpec& spec);
// Writes bytes to a file in this process's folder under the test temp root; the path.
std::string writeMovieFile(const char* pszName, const std::string& sBytes);
// Writes the movie's bytes there; the path.
std::string writeMovie(const char* pszName, const MovieSpec& spec);
// The frame a picture shows, from the default luma ramp.
int frameOfLuma(int nLuma);
