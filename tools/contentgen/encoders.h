// The file formats the generator writes: PNG pictures, WAV samples and Ogg
// Vorbis tunes. Each encoder writes no time stamps and uses fixed stream
// numbers, so the same input gives the same bytes.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

Bytes encodePng(const Canvas& canvas);
// A picture written by encodePng (or any PNG) as a canvas.
Canvas decodePng(const Bytes& png);

// Mono 16-bit PCM at the given rate; samples from -1 to 1.
Bytes encodeWav(const std::vector<float>& aSamples, int nRate);
Bytes encodeOggVorbis(const std::vector<float>& aSamples, int nRate, int nSerial);
