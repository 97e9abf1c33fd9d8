#pragma once

// The click that closed something lying over a screen (a dialog, a hint).
// What follows it must not reach what lay under: a press that comes before
// that screen has been drawn once (the player could not see where it would
// land), or the second click of a double-click, which lands within the
// double-click time next to the point the first one closed at.
class ClosingClick {
public:
    // How far (in pixels, each way) a double-click's second press may land
    // from its first.
    enum { NEAR_PIXELS = 4 };

    ClosingClick();
    // The click at the point closed something at the time (milliseconds of
    // the platform clock), in the frame (the application's frame counter).
    void close(int nX, int nY, unsigned int nTicks, int nFrame);
    // Whether the press at the point, time and frame goes with the closing
    // click. Only the first press after a closing is taken.
    bool takes(int nX, int nY, unsigned int nTicks, int nFrame, unsigned int nDoubleClickMs);

private:
    bool m_bPending;
    int m_nX;
    int m_nY;
    unsigned int m_nTicks;
    int m_nFrame;
};
