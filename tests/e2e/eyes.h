// What a person sees of the game: every picture the video driver draws this
// frame, in the order it draws them, with the name of the picture, where it
// stands on the screen and the text it shows. Nothing here reads the game's
// own records: a player that decides from a Sight decides from the screen.
#pragma once

#include "image/rect.h"
#include "sprite/sprite.h"

#include <string>
#include <vector>

namespace e2e {

// The fixed part of picture names numbered through a printf format
// ("order_drink%d" gives "order_drink").
std::string namePrefix(const char* pszFormat);

// One picture on the screen.
class Seen {
public:
    // The resource name of the picture drawn now (an animation's current
    // frame), in lower case as resource names are kept; empty for a picture
    // made by code. Questions about names ignore case.
    std::string sPicture;
    // The text of a label or a text button.
    std::string sText;
    // A widget drawn in its greyed, disabled look.
    bool bDisabled = false;
    // Where its pixels are on the screen.
    Rect box;
    int nZOrder = 0;
    // Painting order over the whole screen: a later picture covers an earlier one.
    int nOrder = 0;
    // The screen it belongs to, 0 for the one on top.
    int nScreen = 0;
    float fAlpha = 1.0f;

    int centreX() const { return (box.left + box.right) / 2; }
    int centreY() const { return (box.top + box.bottom) / 2; }
    bool isNamed(const std::string& sName) const;
    bool isNamedLike(const std::string& sPrefix) const;
    // Whether the picture shows a pixel at the point (not a clear one).
    bool showsAt(int nX, int nY) const;

private:
    friend class Sight;
    Tsl::SmartPtr<Sprite> m_pSprite;
};

// Everything on the screen at one moment, and the questions a player asks of it.
class Sight {
public:
    // What the modes drawn now show, lowest screen first; faded-out pictures
    // (alpha under a half) and pictures without pixels are not seen.
    static Sight look();

    const std::vector<Seen>& all() const { return m_lSeen; }
    // The first picture of that name, or null.
    const Seen* find(const std::string& sPicture) const;
    std::vector<const Seen*> findAll(const std::string& sPicture) const;
    // Pictures whose names start with the prefix.
    std::vector<const Seen*> findLike(const std::string& sPrefix) const;
    // The first text that is exactly this / that contains this.
    const Seen* findText(const std::string& sText) const;
    const Seen* findTextWith(const std::string& sPart) const;
    // The text written to the right of the caption on its line (a table's
    // value), or null.
    const Seen* textBeside(const std::string& sCaption) const;
    // The picture drawn last that shows a pixel at the point: what covers it.
    const Seen* topAt(int nX, int nY) const;
    // A point where the picture itself is on top: its centre when nothing
    // covers it there, else the first uncovered point of a grid over its box.
    // False when every point of the grid is covered.
    bool pointOn(const Seen& seen, int& nX, int& nY) const;
    // The box of the pixels the picture shows, found on a grid of that
    // step (its box may be mostly clear, as a picture laid over the whole screen).
    Rect solidBox(const Seen& seen, int nStep) const;
    // One line a picture, for a failed run's output.
    std::string describe() const;

private:
    std::vector<Seen> m_lSeen;
};

// Whether some pictures (and texts) have stood unchanged, in place, for a
// few looks: a marker that stopped walking, a count that stopped counting.
class Steady {
public:
    enum { LOOKS = 4 };
    // One look at the pictures; true once they were the same LOOKS looks running.
    bool check(const std::vector<const Seen*>& lPictures);

private:
    std::string m_sLast;
    int m_nSame = 0;
};

}  // namespace e2e
