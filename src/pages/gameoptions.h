#pragma once

#include "screens/gameoptions.h"
#include "ui/button.h"

class CreditsMode;
class Label;

// The game's options: the standard volumes and screen rows; opened from the
// main menu (nothing to notify) it adds the difficulty choice, kept in the
// "Difficulty" setting, and a button that rolls the credits.
class QarnGameOptions : public GameOptionsDialog {
public:
    enum { ID_EASY = 2000, ID_MEDIUM = 2001, ID_HARD = 2002, ID_CREDITS = 3000 };
    enum { DIFFICULTY_COUNT = 3 };
    enum { VERSION_MAJOR = 1, VERSION_MINOR = 0, VERSION_BUILD = 5 };

    QarnGameOptions(GameMode* pNotify, int nCloseId, int nLeaveId);
    ~QarnGameOptions() override;

    void onCallback(int nId, int nData) override;
    void init() override;

    const RadioGroup& getDifficultyButtons() const { return m_lDifficulty; }
    // The credits screen as it is filled and pushed by the credits button.
    Tsl::SmartPtr<CreditsMode> makeCredits();
    // Where the card the credits roll on stands on the screen.
    static Rect getCreditsCard();

private:
    void addDifficultyRow();
    void addCreditsButton();
    void openCredits();
    static void buildCreditsBackground();
    void addCreditLines(CreditsMode* pCredits);
    static void addDarkLine(CreditsMode* pCredits, const char* pszTextOrKey);
    static void fitToCard(Label* pLine);

    RadioGroup m_lDifficulty;
};

// The "Difficulty" setting as 0 to 2; anything unreadable or out of range is
// brought into that range (a non-number reads 0).
int readDifficultySetting();
