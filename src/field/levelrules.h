#pragma once

class LevelReport;
class QarnPlayer;
struct PlayField;

// The rules of one level, apart from what is drawn: its goal, customers and
// length from the level table in the story (the player's minutes outside
// it), the clock that closes the bar, and what the level's end tells the
// story and the player. They keep their counts in the play field record.
class LevelRules {
public:
    enum { DEFAULT_MINUTES = 3, STAR_POINTS = 10, SCORE_PER_MONEY = 1 };
    // About the time a guest served at once stays: a story day's last guest
    // is due this long before closing, so that the bar empties about then.
    static constexpr float LAST_GUEST_SECONDS = 10.0f;
    // The delay before the next guest never falls below this.
    static constexpr float SHORTEST_DELAY = 1.0f;
    // How far a delay strays from the even share, by difficulty step: the
    // harder, the more guests come in bunches.
    static constexpr float ARRIVAL_SPREAD = 0.15f;
    // The share of the even gap a guest waits for, by difficulty step less
    // than the one before: the harder, the sooner the guests come early in
    // the day, the rest still spread to the end of it.
    static constexpr float ARRIVAL_HASTE = 0.1f;

    // Minutes -1 in the story: the level table gives the length.
    LevelRules(PlayField& field, int nPlayMode, int nDifficulty, QarnPlayer* pPlayer, int nMinutes);

    // The story the level reports to, and where it stands as the level
    // begins; outside the story the week's goal names the bar nScene.
    void setReport(LevelReport* pReport, int nScene);

    int getPlayMode() const { return m_nPlayMode; }
    int getDifficulty() const { return m_nDifficulty; }
    float getSeconds() const { return m_fSeconds; }
    int getSecondsLeft() const;
    bool isClosed() const { return m_bClosed; }
    bool isEnded() const { return m_bEnded; }
    // A story level whose takings reached its goal.
    bool isGoalReached() const;

    // The day runs on; true on the step that reaches closing time, which
    // closes the bar.
    bool runClock(float fDt);
    // A story level's guests are spread over the whole day, whatever the
    // delays so far (a seat still taken holds a guest back): the delay
    // before the next one is what is left of the day shared by the guests
    // left, varied the more the harder the difficulty. Called before the
    // spawn manager draws its delays; timed levels keep the story's delays.
    void paceArrivals();
    void payIn(int nMoney, int nStars);
    // The last guest has left: the story gets the level's score and money
    // (and a failure when the goal was missed), a quick play ends with its
    // takings kept as the player's score.
    void end();
    // The player gave the level up: it ends, and brings the story nothing.
    void quit();
    // The level could not be built: the story goes on without it.
    void refuse();

private:
    void report(int nResult);

    PlayField& m_field;
    int m_nPlayMode;
    int m_nDifficulty;
    QarnPlayer* m_pPlayer;
    int m_nMinutes;
    LevelReport* m_pReport = nullptr;
    float m_fSeconds = 0.0f;
    bool m_bClosed = false;
    bool m_bEnded = false;
};
