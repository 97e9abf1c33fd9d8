#include "weekgoals.h"

#include "playfield.h"

WeekGoalDialog::WeekGoalDialog(PlayField* pField) : QarnDialog(true), m_pField(pField) {}

WeekGoalDialog::~WeekGoalDialog() {}

void WeekGoalDialog::onCallback(int nId, int nData) {
    if (nId == 0)
        endMode();
}

void WeekGoalDialog::init() { DialogMode::init(); }

bool WeekGoalDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey == 13 || nKey == 32 || nKey == 271) {
        onCallback(0, 0);
        return true;
    }
    return GameMode::onKeyDown(nKey, nModifiers);
}
