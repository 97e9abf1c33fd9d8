// Generated content for the play field's tests and benchmarks: a small bar
// scene, a waitress template carrying every sequence the figure plays, and a
// customer template.
#pragma once

#include <string>
#include <vector>

namespace fixture {

inline const char* const kHeadings[] = {"n", "e", "s", "w"};

// One sequence: a looping flag, its frames' hand places, and where (if
// anywhere) its action takes effect.
inline std::string sequence(const std::string& sName, int nFrames, bool bLoop, int nDoAction = -1, int nPlace = 0) {
    std::string s = "seq " + sName + " fps 8" + (bLoop ? " loop" : "") + "\n";
    for (int i = 0; i < nFrames; ++i)
        s += "add body\nframeprop " + std::to_string(i) + " position " + std::to_string(nPlace + i) + "\n";
    if (nDoAction >= 0) s += "frameprop " + std::to_string(nDoAction) + " doaction 1\n";
    return s;
}

// A small bar: one floor, two seats (their glasses stand before the
// guests), a VIP place and a chair's seat at a table, a tap of drink 0, a
// sink and a coaster; the waitress starts in the middle.
inline std::string barScene() {
    return "topy 300\nbottomy 560\ncharposy 250\nchardepth 60\ncharvipposy 240\ncharvipdepth 55\n"
           "chairposy 520\nchairdepth 90\nwalkarea 0 300 800 560 200\n"
           "seat 200 200 330 n glass 200 220 61\nseat 320 320 330 n glass 320 220 61\nvipseat 500 500 330 n 1\n"
           "seat 100 150 500 w silla_0 glass 100 500 91\n"
           "actionspot liquid 650 290 80 650 330 n 0\n"
           "actionspot trashbin 740 290 80 740 330 n\n"
           "actionspot glassspot 100 290 80 100 330 n\n"
           "start 400 450 s\n";
}

// Every sequence name the waitress plays, with 8 frames a second: walk
// steps of 2 frames, actions of 4 frames acting at frame 2.
inline std::string waitressTemplate(const std::vector<std::string>& lSkip = {}, bool bDoAction = true) {
    std::string s = "load body\ninspos 100 180 body\n";
    auto add = [&](const std::string& sName, int nFrames, bool bLoop, int nDoAction = -1) {
        for (const std::string& sSkip : lSkip)
            if (sSkip == sName) return;
        s += sequence(sName, nFrames, bLoop, nDoAction);
    };
    add("thumb_empty", 1, false);
    for (const char* h : kHeadings) {
        std::string H(h);
        add("stand_" + H + "_main", 1, false);
        add("walk_" + H + "_main_left", 2, false);
        add("walk_" + H + "_main_right", 2, false);
        for (const char* pszHand : {"left", "right"}) {
            std::string hand(pszHand);
            for (const char* c : {"empty", "full", "tray"}) add("stand_" + H + "_arm_" + c + "_" + hand, 1, false);
            add("stand_" + H + "_thumb_full_" + hand, 1, false);
            add("walk_" + H + "_arm_tray_" + hand, 2, false);
            for (const char* side : {"back", "front"}) {
                for (const char* c : {"empty", "full"})
                    add("walk_" + H + "_arm_" + c + "_" + hand + "_" + side, 2, false);
                add("walk_" + H + "_thumb_full_" + hand + "_" + side, 2, false);
            }
        }
        for (const char* k : {"serve", "fill", "take"})
            for (const char* hand : {"left", "right", "tray"})
                add(std::string(k) + "_" + H + "_" + hand, 4, false, bDoAction ? 2 : -1);
    }
    return s;
}

// A customer: the picture "guest" standing on its insertion point.
inline std::string customerTemplate() {
    std::string s = "load guest\ninspos center bottom guest\n";
    for (const char* seq : {"sit", "ask", "wait", "drink", "sip", "angry", "leave"})
        s += "seq " + std::string(seq) + "\nadd guest\n";
    return s;
}

// A glass: the picture "glass" standing on its insertion point, in every
// view, heading and contents the glass shows.
inline std::string mugAnimation() {
    std::string s = "load glass\ninspos center bottom glass\n";
    for (const char* pszView : {"stand", "drink", "tray"})
        for (const char* h : kHeadings)
            for (const char* pszContents :
                 {"limpio", "empty", "drink0", "drink1", "drink2", "drink3", "drink4", "drink5", "drink6", "drink7"})
                s += std::string("seq ") + pszView + "_" + h + "_" + pszContents + "\nadd glass\n";
    return s;
}

}  // namespace fixture
