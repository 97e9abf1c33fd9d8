#include "steps.h"

#include "harness.h"

#include "app/gameapp.h"

#include <cstdio>

namespace e2e {

namespace {
std::string s_sWhy;
}

bool refuse(const std::string& sWhy) {
    s_sWhy = sWhy;
    return false;
}

bool takeShot(const std::string& sName) {
    std::string sFile = sName + ".bmp";
    std::vector<Uint32> aSamples;
    if (!saveScreen(sFile, &aSamples)) return false;
    std::printf("player: saved %s\n", sFile.c_str());
    // A screen of fewer colours than this is blank, not a screenshot.
    return countColours(aSamples, 8) >= 8;
}

StepRunner::StepRunner(std::vector<Step> lSteps) : m_lSteps(std::move(lSteps)) {}

void StepRunner::onFrame() {
    if (m_bFailed || app()->isQuitRequested()) return;
    ++m_nTotalFrames;
    m_hands.onFrame();
    if (m_nStep >= m_lSteps.size()) return;
    const Step& step = m_lSteps[m_nStep];
    if (++m_nFrames > step.nFrameLimit)
        return fail("not reached within " + std::to_string(step.nFrameLimit) + " frames", Sight::look());
    if (m_hands.hasMissed()) return fail(m_hands.getMiss(), Sight::look());
    if (!m_hands.isIdle()) return;
    Sight sight = Sight::look();
    switch (m_nPhase) {
    case WAITING:
        if (!step.fnReady(sight)) {
            m_nSettled = 0;
            if (step.fnMeanwhile && !step.fnMeanwhile(sight, m_hands)) fail(s_sWhy, sight);
            return;
        }
        if (++m_nSettled < SETTLE_FRAMES) return;
        // The frame drawn since the screen was seen ready is on the screen
        // at the next one.
        if (!step.sShot.empty()) {
            m_nPhase = SHOOTING;
            return;
        }
        return act(sight);
    case SHOOTING:
        if (!takeShot(step.sShot)) return fail("could not save the screenshot " + step.sShot, sight);
        return act(sight);
    case CONFIRMING:
        if (!step.fnDone || step.fnDone(sight)) return next();
        if (++m_nSinceAct % RETRY_FRAMES == 0 && step.fnReady(sight)) act(sight);
        return;
    }
}

void StepRunner::act(const Sight& sight) {
    const Step& step = m_lSteps[m_nStep];
    if (m_nPhase != CONFIRMING) std::printf("player: %s after %d frames\n", step.sName.c_str(), m_nFrames);
    m_nPhase = CONFIRMING;
    m_nSinceAct = 0;
    if (step.fnAct && !step.fnAct(sight, m_hands)) fail(s_sWhy, sight);
}

void StepRunner::next() {
    ++m_nStep;
    m_nPhase = WAITING;
    m_nFrames = 0;
    m_nSettled = 0;
    if (m_nStep == m_lSteps.size()) std::printf("player: every stop reached in %d frames\n", m_nTotalFrames);
}

void StepRunner::fail(const std::string& sWhy, const Sight& sight) {
    std::fprintf(stderr, "player: stop '%s' failed: %s\nplayer: the screen shows:\n%s", m_lSteps[m_nStep].sName.c_str(),
                 sWhy.c_str(), sight.describe().c_str());
    takeShot("failed");
    m_bFailed = true;
    app()->quit(1);
}

}  // namespace e2e
