// The waitress: body pictures by heading, arm and thumb pictures by hand
// place, and "waitress.template", which names every sequence the play field
// plays on her five sprites. Each arm picture reaches from the shoulder to
// one of the 88 hand places the play field lays the carried glasses on, and
// every arm frame says which through its "position" property, so a glass is
// always drawn in the hand that holds it.
#include "figure.h"
#include "generator.h"
#include "handplaces.h"

#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

const int W = WAITRESS_WIDTH, H = WAITRESS_HEIGHT, INS_X = 100, INS_Y = 175;
const char* const HEADINGS = "nesw";
const char* const HAND_NAMES[] = {"left", "right"};

// Hand places by heading (n, e, s, w) and hand (left, right).
struct Poses {
    int nStand, nFull, nReach, nSwingBack, nSwingFront;
};
const Poses POSES[4][2] = {
    {{4, 0, 35, 1, 4}, {6, 9, 13, 16, 6}},       // north
    {{64, 72, 3, 66, 70}, {87, 79, 2, 73, 71}},  // east
    {{4, 0, 30, 4, 1}, {6, 9, 2, 6, 16}},        // south
    {{82, 76, 31, 83, 81}, {84, 36, 33, 86, 84}} // west
};
// Where the tray is carried, by heading.
const int TRAY_PLACE[4] = {41, 87, 5, 76};
// The tray holds the places the play field stands its glasses on around
// the tray point: by tray (1 four glasses, 2 six) its half width and depth,
// and by heading how far its middle lies below the point.
const float TRAY_HALF_WIDTH[3] = {0, 26, 38}, TRAY_HALF_DEPTH[3] = {0, 14, 23};
const float TRAY_DROP[3][4] = {{0, 0, 0, 0}, {0, 0, 5, 0}, {-5, 5, 5, 5}};

// The shoulder an arm starts from, by heading and hand.
void shoulder(int h, int nHand, float& x, float& y) {
    y = 66;
    switch (h) {
    case 1: x = nHand ? 104 : 96; break;
    case 3: x = nHand ? 96 : 104; break;
    default: x = nHand ? 120 : 80; break;
    }
}

const Rgba SKIN(248, 210, 180), TOP(230, 60, 70), TOP_LIGHT(255, 255, 255), SKIRT(40, 90, 170), HAIR(120, 60, 30),
    APRON(255, 250, 240), OUTLINE(50, 30, 20);

// The figure without arms: heading h, walk phase (0 standing, 1..3 steps).
// It fills the canvas from the hair (y 8) to the soles (y 176), so that the
// hand places lie where hands hang or hold.
Canvas bodyPicture(int h, int nPhase) {
    Canvas c(W, H);
    float cx = 100, headY = 30;
    bool bSide = h == 1 || h == 3;
    float fDir = h == 1 ? 1 : -1;
    // Legs: apart in the middle of a step.
    float fStride = nPhase == 1 ? 11 : nPhase == 3 ? -11 : 0;
    for (int s : {-1, 1}) {
        float x0 = cx + (bSide ? 0 : s * 8);
        float x1 = x0 + (bSide ? s * fStride : 0);
        float y1 = 170 - (!bSide && nPhase && (s > 0) == (nPhase == 1) ? 5 : 0);
        c.line(x0, 128, x1, y1, 11, SKIN);
        c.ellipse(x1 + (bSide ? fDir * 5 : 0), y1 + 3, 8, 4, Rgba(240, 240, 240));
    }
    // Skirt and top.
    c.polygon({{cx - 19, 102}, {cx + 19, 102}, {cx + 29, 138}, {cx - 29, 138}}, SKIRT);
    c.polygon({{cx - 22, 60}, {cx + 22, 60}, {cx + 16, 106}, {cx - 16, 106}}, TOP);
    c.stripes(cx - 17, 66, 34, 36, 9, TOP_LIGHT, 3);
    if (h != 0) c.polygon({{cx - 12, 98}, {cx + 12, 98}, {cx + 17, 134}, {cx - 17, 134}}, APRON);
    // Neck, head, hair.
    c.fillRect(cx - 6, headY + 14, 12, 18, SKIN);
    c.ellipse(cx, headY, 18, 20, SKIN);
    if (h == 0) {
        c.ellipse(cx, headY, 19, 21, HAIR);
    } else {
        c.ellipse(cx - (bSide ? fDir * 6 : 0), headY - 10, 19, 12, HAIR);
        if (bSide) c.ellipse(cx - fDir * 19, headY + 2, 8, 14, HAIR);
    }
    // Ponytail, to one side.
    c.ellipse(cx - (bSide ? fDir * 23 : 21), headY - 2, 7, 16, HAIR);
    c.outline(OUTLINE, 1.3f);
    if (h == 2 || bSide) {
        float fx = bSide ? cx + fDir * 9 : cx;
        static const int SIDE_EYES[] = {0}, FRONT_EYES[] = {-1, 1};
        const int* pEyes = bSide ? SIDE_EYES : FRONT_EYES;
        for (int i = 0; i < (bSide ? 1 : 2); ++i) {
            int s = pEyes[i];
            c.ellipse(fx + s * 7, headY, 2.6f, 3.2f, Rgba(255, 255, 255));
            c.ellipse(fx + s * 7 + (bSide ? fDir : 0), headY + 0.5f, 1.6f, 2.0f, Rgba(40, 30, 60));
        }
        c.line(fx - 5, headY + 10, fx + 5, headY + 10, 1.8f, Rgba(200, 60, 70));
    }
    return c;
}

// An arm from its shoulder to hand place p; nTray 0 none, 1 small, 2 large.
Canvas armPicture(int h, int nHand, int p, int nTray) {
    Canvas c(W, H);
    float sx, sy;
    shoulder(h, nHand, sx, sy);
    float hx = HAND_PLACES[p][0], hy = HAND_PLACES[p][1];
    float ex = (sx + hx) / 2 + (hx < sx ? -6 : 6), ey = (sy + hy) / 2 + 6;
    c.line(sx, sy, ex, ey, 10, SKIN);
    c.line(ex, ey, hx, hy, 9, SKIN);
    c.ellipse(sx, sy + 3, 8, 8, TOP);
    c.ellipse(hx, hy, 6, 6, SKIN);
    c.outline(OUTLINE, 1.2f);
    if (nTray) {
        float rx = TRAY_HALF_WIDTH[nTray], ry = TRAY_HALF_DEPTH[nTray], cy = hy + TRAY_DROP[nTray][h];
        Canvas tray(W, H);
        tray.ellipse(hx, cy + 2, rx, ry, Rgba(170, 175, 185));
        tray.ellipse(hx, cy, rx - 3, ry - 2, Rgba(215, 220, 230));
        tray.outline(OUTLINE, 1.0f);
        c.draw(tray, 0, 0);
    }
    return c;
}

Canvas thumbPicture(int p) {
    Canvas c(W, H);
    c.ellipse(HAND_PLACES[p][0] + 3, HAND_PLACES[p][1] - 5, 3.5f, 5, SKIN);
    c.outline(OUTLINE, 1.0f);
    return c;
}

// Writes the template text while collecting the pictures it names.
class TemplateWriter {
public:
    explicit TemplateWriter(Generator& gen) : m_gen(gen) {}

    std::string arm(int h, int nHand, int p, int nTray) {
        std::string sName = std::string("wt_arm_") + HEADINGS[h] + HAND_NAMES[nHand][0] + "_" + std::to_string(p) +
                            (nTray ? "_t" + std::to_string(nTray) : "");
        if (m_images.insert(sName).second) m_gen.set.addImage("chars0.dat", sName, armPicture(h, nHand, p, nTray));
        return sName;
    }
    std::string thumb(int p) {
        std::string sName = "wt_thumb_" + std::to_string(p);
        if (m_images.insert(sName).second) m_gen.set.addImage("chars0.dat", sName, thumbPicture(p));
        return sName;
    }
    std::string body(int h, int nPhase) {
        std::string sName = std::string("wt_body_") + HEADINGS[h] + std::to_string(nPhase);
        if (m_images.insert(sName).second) m_gen.set.addImage("chars0.dat", sName, bodyPicture(h, nPhase));
        return sName;
    }
    std::string empty() {
        if (m_images.insert("wt_empty").second) m_gen.set.addImage("chars0.dat", "wt_empty", Canvas(W, H));
        return "wt_empty";
    }

    void seq(const std::string& sName, int nFps, bool bLoop = false) {
        m_body << "seq " << sName << " fps " << nFps << (bLoop ? " loop" : "") << "\n";
    }
    // One frame; a hand place of -1 writes no "position".
    void add(const std::string& sImage, int nPlace = -1, bool bAction = false) {
        m_body << "add " << sImage << "\n";
        if (nPlace >= 0) m_body << "prop position " << nPlace << "\n";
        if (bAction) m_body << "prop doaction 1\n";
    }
    void line(const std::string& sText) { m_body << sText << "\n"; }

    std::string finish() {
        std::ostringstream out;
        out << "# The waitress: five sprites over one animation. Parameter A: the\n"
               "# six-glass tray carried by the left arm; B: hands, or the four-glass\n"
               "# tray carried by the right arm. Made by contentgen.\n"
               "params 1\nfps 10\n";
        for (const std::string& sImage : m_images) out << "load " << sImage << "\n";
        out << "inspos " << INS_X << " " << INS_Y << " all\n";
        out << m_body.str();
        out << "default stand_s_main\n";
        return out.str();
    }

private:
    Generator& m_gen;
    std::set<std::string> m_images;
    std::ostringstream m_body;
};

void writeMainSequences(TemplateWriter& w, int h) {
    std::string sH(1, HEADINGS[h]);
    w.seq("stand_" + sH + "_main", 10);
    w.add(w.body(h, 0));
    for (int nFoot = 0; nFoot < 2; ++nFoot) {
        w.seq("walk_" + sH + "_main_" + HAND_NAMES[nFoot], 10);
        int aPhases[] = {nFoot ? 1 : 3, 2, nFoot ? 3 : 1, 0};
        for (int nPhase : aPhases) w.add(w.body(h, nPhase));
    }
}

void writeHandSequences(TemplateWriter& w, int h) {
    std::string sH(1, HEADINGS[h]);
    static const char* const SIDES[] = {"back", "front"};
    for (int nHand = 0; nHand < 2; ++nHand) {
        const Poses& pose = POSES[h][nHand];
        std::string sHand = HAND_NAMES[nHand];
        w.seq("stand_" + sH + "_arm_empty_" + sHand, 10);
        w.add(w.arm(h, nHand, pose.nStand, 0), pose.nStand);
        w.seq("stand_" + sH + "_arm_full_" + sHand, 10);
        w.add(w.arm(h, nHand, pose.nFull, 0), pose.nFull);
        w.seq("stand_" + sH + "_thumb_full_" + sHand, 10);
        w.add(w.thumb(pose.nFull));
        for (int nSide = 0; nSide < 2; ++nSide) {
            std::string sSide = SIDES[nSide];
            w.seq("walk_" + sH + "_arm_empty_" + sHand + "_" + sSide, 10);
            int nFirst = nSide ? pose.nSwingFront : pose.nSwingBack, nSecond = nSide ? pose.nSwingBack : pose.nSwingFront;
            for (int p : {nFirst, pose.nStand, nSecond, pose.nStand}) w.add(w.arm(h, nHand, p, 0), p);
            w.seq("walk_" + sH + "_arm_full_" + sHand + "_" + sSide, 10);
            for (int i = 0; i < 4; ++i) w.add(w.arm(h, nHand, pose.nFull, 0), pose.nFull);
            w.seq("walk_" + sH + "_thumb_full_" + sHand + "_" + sSide, 10);
            for (int i = 0; i < 4; ++i) w.add(w.thumb(pose.nFull));
        }
        for (const char* pszAction : {"serve", "fill", "take"}) {
            w.seq(std::string(pszAction) + "_" + sH + "_" + sHand, 8);
            w.add(w.arm(h, nHand, pose.nStand, 0), pose.nStand);
            w.add(w.arm(h, nHand, pose.nReach, 0), pose.nReach);
            w.add(w.arm(h, nHand, pose.nReach, 0), pose.nReach, true);
            w.add(w.arm(h, nHand, pose.nStand, 0), pose.nStand);
        }
    }
}

// The tray sequences of one variant: nTrayHand carries a tray of size nTray
// (the play field takes the tray point from its hand). Both hands hold the
// tray, and the one in front of her body draws it, so that it lies under
// the glasses, which stand in front of her body too; a hand that draws the
// tray or gives its point does not reach out in the actions.
void writeTraySequences(TemplateWriter& w, int h, int nTrayHand, int nTray) {
    std::string sH(1, HEADINGS[h]);
    int p = TRAY_PLACE[h];
    int nDrawing = h == 1 ? 1 : h == 3 ? 0 : nTrayHand;
    for (int nHand = 0; nHand < 2; ++nHand) {
        int nThisTray = nHand == nDrawing ? nTray : 0;
        w.seq("stand_" + sH + "_arm_tray_" + HAND_NAMES[nHand], 10);
        w.add(w.arm(h, nHand, p, nThisTray), p);
        w.seq("walk_" + sH + "_arm_tray_" + HAND_NAMES[nHand], 10);
        for (int i = 0; i < 4; ++i) w.add(w.arm(h, nHand, p, nThisTray), p);
    }
    // With a tray the left arm plays the actions.
    const Poses& pose = POSES[h][0];
    int nReach = nTrayHand == 0 || nDrawing == 0 ? p : pose.nReach;
    int nThisTray = nDrawing == 0 ? nTray : 0;
    for (const char* pszAction : {"serve", "fill", "take"}) {
        w.seq(std::string(pszAction) + "_" + sH + "_tray", 8);
        w.add(w.arm(h, 0, p, nThisTray), p);
        w.add(w.arm(h, 0, nReach, nThisTray), nReach);
        w.add(w.arm(h, 0, nReach, nThisTray), nReach, true);
        w.add(w.arm(h, 0, p, nThisTray), p);
    }
}

} // namespace

void makeWaitress(Generator& gen) {
    TemplateWriter w(gen);
    for (int h = 0; h < 4; ++h) {
        writeMainSequences(w, h);
        writeHandSequences(w, h);
    }
    w.line("if == (0) A");
    for (int h = 0; h < 4; ++h) writeTraySequences(w, h, 0, 2);
    w.line("else");
    for (int h = 0; h < 4; ++h) writeTraySequences(w, h, 1, 1);
    w.line("endif");
    w.seq("thumb_empty", 10);
    w.add(w.empty());
    gen.set.addText("chars0.dat", "waitress.template", w.finish());
}
