#pragma once

#include "qarndialog.h"

struct PlayField;

// The week's goal, shown before a level starts.
class WeekGoalDialog : public QarnDialog {
public:
    explicit WeekGoalDialog(PlayField* pField);
    ~WeekGoalDialog() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    bool onKeyDown(int nKey, int nModifiers) override;

private:
    PlayField* m_pField;
};
