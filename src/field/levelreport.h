#pragma once

// What a play screen knows of the story that opened it: where the story
// stands as the level begins, and where the level's result goes. The story
// map is the one that keeps them; the play screen sees no more of it.
class LevelReport {
public:
    // Results a play screen reports: 2 the level failed (or, in play modes 1
    // and 2, ended); anything else brings no progress.
    enum { RESULT_NO_PROGRESS = 1, RESULT_FAILED = 2 };

    virtual ~LevelReport() = default;

    virtual int getLevelsWon() const = 0;
    virtual int getScore() const = 0;
    virtual int getMoney() const = 0;
    virtual int getStage() const = 0;
    virtual void addScore(int nPoints) = 0;
    // The sum stops at the story's money cap.
    virtual void addMoney(int nAmount) = 0;
    virtual void setLevelResult(int nResult) = 0;
};
