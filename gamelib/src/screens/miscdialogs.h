#pragma once

#include "ui/dialogmode.h"

// "Do you really want to quit?": yes quits the program, no (or Escape)
// closes the dialog.
class ExitConfirmMode : public CommonDialog {
public:
    enum { ID_NO = 0, ID_YES = 1 };

    ExitConfirmMode();
    ~ExitConfirmMode() override;

    void onCallback(int nId, int nData) override;
    bool onKeyDown(int nKey, int nModifiers) override;

protected:
    // The answer was yes and the dialog has ended; the default quits.
    virtual void onConfirmed();
};

// The game is paused until the player resumes it (the button, Escape or
// Space); then the target hears the resume id.
class GamePausedDlg : public CommonDialog {
public:
    GamePausedDlg(ICallbackTarget* pTarget, int nResumeId);
    ~GamePausedDlg() override;

    bool onKeyDown(int nKey, int nModifiers) override;

private:
    int m_nResumeId;
};

// A story is under way: continue it, start a new one, or cancel (also
// Escape). The dialog ends itself, then calls the target once with the id
// of the answer.
class StartAgainDlg : public CommonDialog {
public:
    StartAgainDlg(ICallbackTarget* pTarget, int nCancelId, int nStartNewId, int nContinueId, int nUnused = 0);
    ~StartAgainDlg() override;

    bool onKeyDown(int nKey, int nModifiers) override;

private:
    int m_nCancelId;
};
