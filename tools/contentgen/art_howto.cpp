// The how-to pages (common.dat): each shows a scene of the bar built from the
// pictures the game itself shows, so it is made after them, with pointers at
// what the player clicks and the lines that tell it.
#include "generator.h"
#include "howtopages.h"

#include <cmath>
#include <map>
#include <string>

namespace {

const char* const COMMON = "common.dat";

class StagePainter {
public:
    explicit StagePainter(const ContentSet& set) : m_set(set) {}

    Canvas paint(const HowtoPage& page) {
        Canvas stage(800, 600);
        for (const HowtoPiece& piece : page.pieces) place(stage, piece);
        int nLeft = static_cast<int>(page.aView[0]), nTop = static_cast<int>(page.aView[1]);
        Canvas view(static_cast<int>(page.aView[2]), static_cast<int>(page.aView[3]));
        view.draw(stage, -nLeft, -nTop);
        return view.scaled(HOWTO_FRAME_W, HOWTO_FRAME_H);
    }

private:
    const Canvas& picture(const std::string& sName) {
        auto it = m_pictures.find(sName);
        if (it == m_pictures.end()) it = m_pictures.emplace(sName, m_set.picture(sName)).first;
        return it->second;
    }

    void place(Canvas& stage, const HowtoPiece& piece) {
        Canvas c = picture(piece.sPicture);
        if (piece.bMirror) c.mirror();
        if (piece.fScale != 1.0f)
            c = c.scaled(std::max(1, static_cast<int>(std::lround(c.width() * piece.fScale))),
                         std::max(1, static_cast<int>(std::lround(c.height() * piece.fScale))));
        float x = piece.x, y = piece.y;
        if (piece.eAnchor == HowtoPiece::BOTTOM_CENTRE) x -= c.width() / 2.0f, y -= c.height();
        if (piece.eAnchor == HowtoPiece::CENTRE) x -= c.width() / 2.0f, y -= c.height() / 2.0f;
        stage.draw(c, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    }

    const ContentSet& m_set;
    std::map<std::string, Canvas> m_pictures;
};

// A mouse pointer with its tip on (x, y) and a label on a disc below it,
// outlined so it stands out on any scene.
void pointer(Generator& gen, Canvas& c, float x, float y, const std::string& sLabel) {
    using namespace Palette;
    const float MARGIN = 3;
    Canvas mark(44, 52);
    mark.polygon({{MARGIN, MARGIN}, {MARGIN, MARGIN + 24}, {MARGIN + 6, MARGIN + 18}, {MARGIN + 11, MARGIN + 28},
                  {MARGIN + 15, MARGIN + 26}, {MARGIN + 10, MARGIN + 16}, {MARGIN + 18, MARGIN + 16}},
                 WHITE);
    float cx = MARGIN + 24, cy = MARGIN + 32;
    mark.ellipse(cx, cy, 13, 13, CORAL);
    gen.text.draw(mark, sLabel, cx, cy - 10, 17, WHITE, TextDrawer::CENTER, true);
    mark.outline(INK, 1.5f);
    c.draw(mark, static_cast<int>(std::lround(x - MARGIN)), static_cast<int>(std::lround(y - MARGIN)));
}

void page(Generator& gen, StagePainter& painter, const HowtoPage& howto, int nPage) {
    using namespace Palette;
    Canvas c(800, 600);
    Art::beachBackdrop(c, 180, 260, gen);
    Art::paperPanel(c, 60, 36, 680, 494);
    gen.text.draw(c, howto.sTitle, 400, 52, 32, CORAL, TextDrawer::CENTER, true, true);
    c.fillRect(HOWTO_FRAME_X - 4, HOWTO_FRAME_Y - 4, HOWTO_FRAME_W + 8, HOWTO_FRAME_H + 8, WOOD_DARK);
    c.draw(painter.paint(howto), HOWTO_FRAME_X, HOWTO_FRAME_Y);
    float fScale = HOWTO_FRAME_W / howto.aView[2];
    for (const HowtoPointer& p : howto.pointers)
        pointer(gen, c, HOWTO_FRAME_X + (p.x - howto.aView[0]) * fScale, HOWTO_FRAME_Y + (p.y - howto.aView[1]) * fScale,
                p.sLabel);
    for (size_t i = 0; i < howto.lines.size(); ++i)
        gen.text.draw(c, howto.lines[i], HOWTO_FRAME_X, HOWTO_FRAME_Y + HOWTO_FRAME_H + 14 + i * 30.0f, 19, INK,
                      TextDrawer::LEFT, false);
    gen.set.addImage(COMMON, "howto" + std::to_string(nPage), c);
}

} // namespace

void makeHowtoPages(Generator& gen) {
    StagePainter painter(gen.set);
    std::vector<HowtoPage> pages = howtoPages();
    for (size_t i = 0; i < pages.size(); ++i) page(gen, painter, pages[i], static_cast<int>(i));
}
