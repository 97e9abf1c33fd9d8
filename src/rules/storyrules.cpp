#include "rules/storyrules.h"

namespace StoryRules {

namespace {
int withinStory(int nLevel) { return nLevel < 0 ? 0 : nLevel >= STORY_LEVELS ? STORY_LEVELS - 1 : nLevel; }
}  // namespace

int stageOf(int nLevel) { return withinStory(nLevel) / LEVELS_PER_STAGE; }

LevelValues levelValues(int nLevel, int nDifficulty) {
    nLevel = withinStory(nLevel);
    int nStage = nLevel / LEVELS_PER_STAGE, nStep = nLevel % LEVELS_PER_STAGE;
    LevelValues v;
    v.nGoal = 40 + 10 * nStep + 30 * nStage;
    v.nCustomers = 6 + nStep + 2 * nStage;
    v.nMinutes = 2 + nStage / 2;
    v.fMinDelay = 8.0f - 1.5f * nDifficulty - 0.5f * nStage;
    if (v.fMinDelay < 2.0f) v.fMinDelay = 2.0f;
    v.fMaxDelay = v.fMinDelay + 6.0f;
    return v;
}

}  // namespace StoryRules
