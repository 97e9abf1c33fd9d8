#pragma once

#include "base/changinglabel.h"
#include "base/qarndialog.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/label.h"

struct PlayField;
#include "anim/animsprite.h"

// A level's results: the banner, then money, time, stars, customers and the
// story's total money counted up one after another with a tick; when the count
// is over the money and stars results go back into the play field and the
// button may end the dialog.
class GameStatsMode : public QarnDialog {
public:
    enum { ID_OK = 0, LAST_PHASE = 6, TICK_CHANNEL = 2, MUSIC_CHANNEL = 1 };
    static const float TICK_VOLUME;

    GameStatsMode(PlayField* pField, int nUnused);
    ~GameStatsMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void cleanup() override;
    void onUpdate(float fDt) override;

    // Piece m_nNumberPart becomes the text; the label shows the pieces joined.
    void setCountText(const Tsl::String& sText, Tsl::SmartPtr<ChangingLabel> pLabel);
    Tsl::String getCountText(Tsl::SmartPtr<ChangingLabel> pLabel) const;
    // A new label showing the value, in a new cell of the dialog's table.
    void addCountingLabel(int nValue, Tsl::SmartPtr<ChangingLabel> pLabel);

    int getPhase() const { return m_nPhase; }
    Tsl::SmartPtr<Button> getOkButton() const { return m_pOkButton; }
    Tsl::SmartPtr<ChangingLabel> getScoreLabel() const { return m_pScoreLabel; }
    Tsl::SmartPtr<ChangingLabel> getGoalLabel() const { return m_pGoalLabel; }
    Tsl::SmartPtr<ChangingLabel> getStarsLabel() const { return m_pStarsLabel; }
    Tsl::SmartPtr<ChangingLabel> getCustomersLabel() const { return m_pCustomersLabel; }
    Tsl::SmartPtr<ChangingLabel> getTotalLabel() const { return m_pTotalLabel; }
    Tsl::SmartPtr<Label> getTimeLabel() const { return m_pTimeLabel; }
    Tsl::SmartPtr<AnimSprite> getCharacter() const { return m_pCharacter; }

private:
    bool isStoryLevel() const;
    bool isWon() const;
    void addCaption(const char* pszKey);
    void addBanner();
    Tsl::SmartPtr<ChangingLabel> addCountRow(const char* pszCaption, const Tsl::List<Tsl::String>& lParts,
                                             int nNumberPart, int nValue);
    void addStoryRows();
    void addTotalRows();
    void addTimedRows();
    void addSeparator();
    void addButton();
    void playOnce(const char* pszSample, int nChannel);
    void showValue();
    void enterNextPhase();
    bool startPhase(int nPhase);
    void startCount(Tsl::SmartPtr<ChangingLabel> pLabel, int nStart, int nTarget);
    int shownNumber(Tsl::SmartPtr<ChangingLabel> pLabel) const;
    void writeResults();

    PlayField* m_pResults;
    Tsl::SmartPtr<ChangingLabel> m_pScoreLabel;
    Tsl::SmartPtr<ChangingLabel> m_pGoalLabel;
    Tsl::SmartPtr<ChangingLabel> m_pStarsLabel;
    Tsl::SmartPtr<ChangingLabel> m_pCustomersLabel;
    Tsl::SmartPtr<ChangingLabel> m_pTotalLabel;
    Tsl::SmartPtr<Label> m_pTimeLabel;
    int m_nPhase;
    Tsl::SmartPtr<ChangingLabel> m_pCounting;
    int m_nTarget;
    float m_fValue;
    bool m_bReached;
    Tsl::SmartPtr<Button> m_pOkButton;
    Tsl::SmartPtr<AnimSprite> m_pCharacter;
    bool m_bResultsWritten;
};
