// Samples (short tones, WAV) and tunes (Ogg Vorbis) of sfx.dat, synthesised
// from notes: a soft plucked tone over a steady beat, in a major key.
#include "generator.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const int RATE = 22050;
const float PI = 3.14159265f;
const char* const SFX = "sfx.dat";

float noteFrequency(int nSemitone) { return 440.0f * std::pow(2.0f, nSemitone / 12.0f); }

// Adds a plucked note: a few harmonics under a fast attack and an
// exponential decay.
void pluck(std::vector<float>& out, float fStart, float fLength, float fFreq, float fVolume, float fBrightness = 0.4f) {
    size_t nFirst = static_cast<size_t>(fStart * RATE), nCount = static_cast<size_t>(fLength * RATE);
    if (out.size() < nFirst + nCount) out.resize(nFirst + nCount, 0.0f);
    for (size_t i = 0; i < nCount; ++i) {
        float t = static_cast<float>(i) / RATE;
        float fEnv = std::min(1.0f, t * 200) * std::exp(-t * 4.0f / fLength);
        float fPhase = 2 * PI * fFreq * t;
        float v = std::sin(fPhase) + fBrightness * std::sin(2 * fPhase) + fBrightness * 0.4f * std::sin(3 * fPhase);
        out[nFirst + i] += v * fEnv * fVolume;
    }
}

void noiseHit(std::vector<float>& out, float fStart, float fLength, float fVolume, Generator& gen) {
    size_t nFirst = static_cast<size_t>(fStart * RATE), nCount = static_cast<size_t>(fLength * RATE);
    if (out.size() < nFirst + nCount) out.resize(nFirst + nCount, 0.0f);
    for (size_t i = 0; i < nCount; ++i) {
        float t = static_cast<float>(i) / RATE;
        out[nFirst + i] += gen.rnd(-1, 1) * std::exp(-t * 40) * fVolume;
    }
}

void normalise(std::vector<float>& samples, float fPeak) {
    float fMax = 0.0001f;
    for (float f : samples) fMax = std::max(fMax, std::fabs(f));
    for (float& f : samples) f *= fPeak / fMax;
}

void sample(Generator& gen, const std::string& sName, std::vector<float> samples) {
    normalise(samples, 0.8f);
    gen.set.addBytes(SFX, sName + ".wav", encodeWav(samples, RATE));
}

// A run of notes (semitones from A 440), each fStep seconds apart.
std::vector<float> phrase(const std::vector<int>& aNotes, float fStep, float fLength, float fBrightness = 0.4f) {
    std::vector<float> out;
    for (size_t i = 0; i < aNotes.size(); ++i) pluck(out, i * fStep, fLength, noteFrequency(aNotes[i]), 0.5f, fBrightness);
    return out;
}

void makeSamples(Generator& gen) {
    // Four voices asking for a drink and four grumbling at a mistake.
    for (int v = 0; v < 4; ++v) {
        int nBase = v < 2 ? -12 + v * 3 : 0 + (v - 2) * 4;
        sample(gen, "sfx_game_ask" + std::to_string(v), phrase({nBase, nBase + 4, nBase + 7}, 0.08f, 0.25f, 0.8f));
        sample(gen, "sfx_game_mistake" + std::to_string(v), phrase({nBase + 3, nBase - 1}, 0.14f, 0.3f, 1.0f));
    }
    sample(gen, "sfx_game_number", phrase({12}, 0.05f, 0.08f, 0.2f));
    sample(gen, "sfx_map_flower", phrase({7, 11, 14, 19}, 0.06f, 0.3f));
    sample(gen, "sfx_map_highlight", phrase({14}, 0.05f, 0.12f));
    sample(gen, "sfx_mouseover", phrase({19}, 0.04f, 0.07f, 0.1f));
    sample(gen, "sfx_store_clink", phrase({26, 31}, 0.05f, 0.35f, 0.1f));
    sample(gen, "sfx_game_glass_taken", phrase({21, 24}, 0.04f, 0.15f, 0.1f));
    sample(gen, "sfx_game_glass_left", phrase({24, 19}, 0.04f, 0.15f, 0.1f));
    std::vector<float> bell = phrase({7, 3, 0, -5}, 0.25f, 0.6f);
    noiseHit(bell, 0, 0.1f, 0.2f, gen);
    sample(gen, "sfx_game_closebar", bell);
    sample(gen, "sfx_game_refused", phrase({-10, -11}, 0.1f, 0.25f, 1.0f));
    std::vector<float> coins = phrase({24, 28, 31}, 0.05f, 0.2f, 0.1f);
    noiseHit(coins, 0, 0.05f, 0.15f, gen);
    sample(gen, "sfx_game_pay", coins);
    sample(gen, "ms_winlevel", phrase({0, 4, 7, 12, 7, 12, 16}, 0.14f, 0.5f));
    sample(gen, "ms_loselevel", phrase({7, 6, 5, 4, -1}, 0.22f, 0.5f));
}

// A tune: a melody over bass and beat, about 16 s, looping cleanly.
void tune(Generator& gen, const std::string& sName, int nKey, float fTempo, int nStyle, int nSerial) {
    static const int SCALE[] = {0, 2, 4, 5, 7, 9, 11, 12};
    static const int CHORDS[4][3] = {{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {-3, 0, 4}};
    std::vector<float> out(static_cast<size_t>(16 * RATE), 0.0f);
    float fBeat = 60.0f / fTempo;
    int nBeats = static_cast<int>(16 / fBeat);
    for (int b = 0; b < nBeats; ++b) {
        const int* pChord = CHORDS[(b / 4 + nStyle) % 4];
        float t = b * fBeat;
        pluck(out, t, fBeat * 1.5f, noteFrequency(nKey + pChord[0] - 24), 0.35f, 0.2f);
        if (b % 2 == 1) pluck(out, t, fBeat * 0.6f, noteFrequency(nKey + pChord[1] - 12), 0.15f);
        if (b % 2 == 1) pluck(out, t, fBeat * 0.6f, noteFrequency(nKey + pChord[2] - 12), 0.15f);
        noiseHit(out, t, 0.08f, b % 2 ? 0.05f : 0.1f, gen);
        // The melody: a scale walk that stays near the chord.
        if ((b + nStyle) % 3 != 2) {
            int nDegree = (b * (3 + nStyle) + nStyle) % 8;
            pluck(out, t + (b % 4 == 3 ? fBeat / 2 : 0), fBeat * 1.2f, noteFrequency(nKey + SCALE[nDegree]), 0.3f, 0.5f);
        }
    }
    out.resize(static_cast<size_t>(16 * RATE));
    normalise(out, 0.7f);
    gen.set.addBytes(SFX, sName + ".ogg", encodeOggVorbis(out, RATE, nSerial));
}

void makeTunes(Generator& gen) {
    tune(gen, "st_intro", 0, 100, 0, 1);
    tune(gen, "ms_menu", 2, 110, 1, 2);
    tune(gen, "ms_map", -3, 96, 2, 3);
    tune(gen, "ms_story", 5, 84, 3, 4);
    tune(gen, "ms_story_win", 7, 120, 0, 5);
    for (int n = 0; n < 5; ++n) tune(gen, "music_scene" + std::to_string(n), n * 2 - 4, 104 + n * 6, n % 4, 10 + n);
}

} // namespace

void makeSounds(Generator& gen) {
    makeSamples(gen);
    makeTunes(gen);
}
