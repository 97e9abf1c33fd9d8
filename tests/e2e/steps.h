// A scripted player's run as a list of stops: each waits (a bounded number
// of frames) for a screen that it recognises from what is drawn, acts on it
// with the hands, and repeats the act until the screen shows it took effect.
#pragma once

#include "eyes.h"
#include "hands.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A check that failed says why through this and returns false.
bool refuse(const std::string& sWhy);
// A screenshot of what the screen shows now, "<name>.bmp" in the working
// folder; false when it could not be saved or shows a blank screen.
bool takeShot(const std::string& sName);

struct Step {
    enum { SCREEN_FRAMES = 600 };
    typedef std::function<bool(const Sight&)> Check;
    typedef std::function<bool(const Sight&, Hands&)> Action;

    Step(std::string sName_, Check fnReady_, Action fnAct_ = nullptr, Check fnDone_ = nullptr,
         Action fnMeanwhile_ = nullptr, int nFrameLimit_ = SCREEN_FRAMES, std::string sShot_ = std::string())
        : sName(std::move(sName_)),
          fnReady(std::move(fnReady_)),
          fnAct(std::move(fnAct_)),
          fnDone(std::move(fnDone_)),
          fnMeanwhile(std::move(fnMeanwhile_)),
          nFrameLimit(nFrameLimit_),
          sShot(std::move(sShot_)) {}

    std::string sName;
    // The screen the stop waits for.
    Check fnReady;
    // What the player does there; false: the run cannot go on. Null: nothing.
    Action fnAct;
    // The act took effect; null: at once.
    Check fnDone;
    // While the screen is not there yet, each frame the hands are free.
    Action fnMeanwhile;
    int nFrameLimit;
    // A screenshot of the screen once it is ready, saved under this name.
    std::string sShot;
};

class StepRunner {
public:
    // Frames a screen must stay ready before the player acts (a screen
    // fading in), and frames between repeats of an act that did not take.
    enum { SETTLE_FRAMES = 3, RETRY_FRAMES = 24 };

    explicit StepRunner(std::vector<Step> lSteps);
    void onFrame();
    bool isDone() const { return m_nStep == m_lSteps.size() && !m_bFailed; }
    bool hasFailed() const { return m_bFailed; }
    int getFrames() const { return m_nTotalFrames; }

private:
    enum Phase { WAITING, SHOOTING, CONFIRMING };
    void act(const Sight& sight);
    void next();
    void fail(const std::string& sWhy, const Sight& sight);

    std::vector<Step> m_lSteps;
    Hands m_hands;
    size_t m_nStep = 0;
    Phase m_nPhase = WAITING;
    int m_nFrames = 0;
    int m_nSettled = 0;
    int m_nSinceAct = 0;
    int m_nTotalFrames = 0;
    bool m_bFailed = false;
};

}  // namespace e2e
