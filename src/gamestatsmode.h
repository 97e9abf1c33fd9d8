#pragma once

#include "qarndialog.h"

struct PlayField;

// A level's results: counts them up and writes money and stars back into
// the play field.
class GameStatsMode : public QarnDialog {
public:
    GameStatsMode(PlayField* pField, int nUnused);
    ~GameStatsMode() override;

    void init() override;
    void onCallback(int nId, int nData) override;
    bool onMouseUp(int nButton, int nX, int nY) override;

private:
    void writeResults();

    PlayField* m_pField;
};
