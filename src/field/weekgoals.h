#pragma once

#include "base/qarndialog.h"
#include "rules/upgrademanager.h"

struct PlayField;
class Label;

// The week's goal, shown before a level starts: the workplace, the money
// goal, the customers and a random tip, never one that suggests buying an
// upgrade the level's bar already has or speaks of one it has not got, nor
// one about the store outside the story. The level waits beneath it.
class WeekGoalDialog : public QarnDialog {
public:
    enum { ID_GO = 0, RANDOM_TIP_COUNT = 21 };

    WeekGoalDialog(PlayField* pField, const UpgradeLevels& anLevels);
    ~WeekGoalDialog() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void cleanup() override;
    void onActivate() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;

    // The texts shown, in order (workplace, goal, customers, tip).
    Tsl::List<Tsl::String> getTexts() const;

private:
    void addRowLabel(const Tsl::String& sText);
    int pickTip() const;

    PlayField* m_pField;
    UpgradeLevels m_anLevels;
    Tsl::List<Tsl::SmartPtr<Label>> m_lLabels;
};
