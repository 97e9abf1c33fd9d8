#pragma once

// The story's shape and pace: five stages of ten levels, the money it
// keeps between levels, and what each level asks of the player.
namespace StoryRules {

constexpr int STAGE_COUNT = 5;
constexpr int LEVELS_PER_STAGE = 10;
constexpr int STORY_LEVELS = STAGE_COUNT * LEVELS_PER_STAGE;
// The story's purse stops here.
constexpr int MONEY_CAP = 999;
// The level length a new story keeps for the relax and free-play modes.
constexpr int NEW_STORY_MINUTES = 3;
// Difficulties run from 0 to this one.
constexpr int HARDEST_DIFFICULTY = 2;

// The stage's end: the count of story levels played once it is over.
constexpr int stageEnd(int nStage) { return (nStage + 1) * LEVELS_PER_STAGE; }

// A story level's goal, customers, length and the delays between customers
// that the timed levels keep (a story day spreads its own guests over the
// day); each grows with the level within its stage and with the stage.
struct LevelValues {
    int nGoal, nCustomers, nMinutes;
    float fMinDelay, fMaxDelay;
};
// nLevel is kept within the story.
LevelValues levelValues(int nLevel, int nDifficulty);
// The stage a story level belongs to, for a level kept within the story.
int stageOf(int nLevel);

}  // namespace StoryRules
