#pragma once

#include "app/gamemode.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class Label;

// Scrolling credits: lines of text and pictures, one below the other,
// centred, rising through the visible area over a background, with
// darkening bands at its edges (the darkest going on to the screen's edges).
// Ends on a click, on Escape, or once the last line has left the area.
class CreditsMode : public GameMode {
public:
    enum { DEFAULT_TOP = 0, DEFAULT_BOTTOM = 600, LINE_GAP = 4 };
    static const float SCROLL_SPEED;  // pixels per second

    CreditsMode();
    ~CreditsMode() override;

    void setBackground(const char* pszImage);
    void setFadeBands(int nCount, int nHeight);
    void setVisibleArea(int nTop, int nBottom);
    // A picture line; a non-zero flag centres it, else it starts at the left.
    void addImage(const char* pszImage, int nCentred);
    // A white text line: the string-table text when the key exists, else the
    // text itself; centred when asked. The caller may restyle the label.
    Tsl::SmartPtr<Label> addText(const char* pszTextOrKey, bool bCentred);
    void addSpace(int nHeight);

    void init() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    bool onMouseDown(int nButton, int nX, int nY) override;

    // Where the first line's top is now (it starts at the area's bottom).
    float getScrollTop() const { return m_fTop; }
    bool isFinished() const { return m_bFinished; }

private:
    struct Line {
        Tsl::SmartPtr<Sprite> pSprite;  // null for a gap
        int nHeight;
        bool bCentred;
        bool operator==(const Line& other) const { return pSprite == other.pSprite && nHeight == other.nHeight; }
    };

    void addBands();
    void addBand(int nTop, int nBottom, float fAlpha);
    void placeLines();
    int getTotalHeight() const;
    void close();

    Tsl::String m_sBackground;
    int m_nBandCount;
    int m_nBandHeight;
    int m_nTop;
    int m_nBottom;
    Tsl::List<Line> m_lLines;
    float m_fTop;
    bool m_bFinished;
};
