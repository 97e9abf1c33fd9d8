// The content check. It opens the archives of a folder in a real
// application (no window: the dummy SDL drivers) and reads every file the
// way the game reads it; then it holds the files to the rules the game
// relies on but cannot check itself (see contentrules.h). Every fault is
// printed as "<file>: <message>" (the engine's messages add the line); the
// check goes on after a fault so that one run lists them all.
#include "check.h"
#include "encoders.h"
#include "contentrules.h"

#include "app/gameapp.h"
#include "app/stringtable.h"
#include "audio/audiodriver.h"
#include "effects/particleemitter.h"
#include "image/image.h"
#include "platform/sdl_platform.h"
#include "ui/theme.h"
#include "video/sdl_d3d7video.h"

#include "field/targets/fieldspots.h"
#include "field/scene.h"

#include "tsl2/error.h"
#include "tsl2/resourcefile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const ARCHIVES[] = {"lang_en.dat", "common.dat", "chars0.dat", "chars1.dat", "scene0.dat",
                                "scene1.dat",  "scene2.dat", "scene3.dat", "scene4.dat", "dresses.dat",
                                "map.dat",     "sfx.dat",    "store.dat"};
const char* const STRING_TABLES[] = {"nontranslated.txt", "messages.txt", "private.txt"};
const char* const PRELOAD_LISTS[] = {"preload-char0-anims.txt", "preload-common-anims.txt", "preload-sound.txt",
                                     "preload-music.txt", "preload-emitter.txt"};

bool endsWith(const std::string& s, const char* pszSuffix) {
    size_t n = std::strlen(pszSuffix);
    return s.size() >= n && s.compare(s.size() - n, n, pszSuffix) == 0;
}

class Checker : public RuleReporter {
public:
    Checker(const std::string& sFolder, const std::vector<std::string>& aLists) : m_sFolder(sFolder), m_aLists(aLists), m_nFaults(0) {}

    void fault(const std::string& sFile, const std::string& sMessage) override {
        std::fprintf(stderr, "%s: %s\n", sFile.c_str(), sMessage.c_str());
        ++m_nFaults;
    }
    void warn(const std::string& sFile, const std::string& sMessage) override {
        std::fprintf(stderr, "%s: warning: %s\n", sFile.c_str(), sMessage.c_str());
    }

    int run();

private:
    template <class F>
    void attempt(const std::string& sFile, F f) {
        try {
            f();
        } catch (const Tsl::Exception& e) {
            fault(sFile, std::string(e.getTypeName()) + ": " + e.getMessage());
        } catch (const std::exception& e) {
            fault(sFile, e.what());
        }
    }
    bool openArchives();
    void checkStrings();
    void checkPreloadLists();
    void checkEveryFile();
    std::string text(const std::string& sName) { return GameApp::getInstance()->getResource(sName.c_str())->getString().c_str(); }

    std::string m_sFolder;
    std::vector<std::string> m_aLists;
    int m_nFaults;
    std::vector<std::string> m_aNames;
};

bool Checker::openArchives() {
    GameApp* pApp = GameApp::getInstance();
    for (const char* pszArchive : ARCHIVES) {
        std::string sPath = m_sFolder + "/" + pszArchive;
        bool bOpened = false;
        // Opened once alone for the reason of a failure, which the
        // application only logs.
        attempt(sPath, [&] {
            Tsl::ResourceFile probe(sPath.c_str());
            bOpened = pApp->addArchive(sPath.c_str());
        });
        if (!bOpened) return false;
    }
    for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : pApp->getResourceProviders())
        for (const Tsl::String& sName : pProvider->getResourceNames()) m_aNames.push_back(sName.c_str());
    return true;
}

void Checker::checkStrings() {
    GameApp* pApp = GameApp::getInstance();
    for (const char* pszTable : STRING_TABLES)
        attempt(pszTable, [&] {
            std::string sText = text(pszTable);
            Tsl::Hash<Tsl::String, Tsl::String> hTable = parseStringTable(sText.c_str(), pszTable);
            for (const Tsl::String& sKey : hTable.getKeys()) checkStringFormat(*this, pszTable, sKey.c_str(), hTable[sKey].c_str());
            pApp->loadStringTable(pszTable);
        });
}

void Checker::checkPreloadLists() {
    GameApp* pApp = GameApp::getInstance();
    for (const char* pszList : PRELOAD_LISTS)
        attempt(pszList, [&] {
            std::vector<std::string> aEntries = checkPreloadList(*this, pszList, text(pszList));
            for (const std::string& sEntry : aEntries)
                attempt(std::string(pszList) + " (" + sEntry + ")", [&] {
                    std::string sList = pszList;
                    if (sList.find("anims") != std::string::npos) {
                        if (!endsWith(sEntry, ".anim")) throw std::runtime_error("not a plain \".anim\" file: " + sEntry);
                        pApp->getAnimation(sEntry.c_str());
                    } else if (sList == "preload-sound.txt") {
                        if (!pApp->getSample(sEntry.c_str())) throw std::runtime_error("no sample " + sEntry);
                    } else if (sList == "preload-music.txt") {
                        if (!pApp->getMusic(sEntry.c_str())) throw std::runtime_error("no tune " + sEntry);
                    } else {
                        ParticleEmitter emitter(nullptr);
                        emitter.load(sEntry.c_str());
                    }
                });
        });
}

void Checker::checkEveryFile() {
    GameApp* pApp = GameApp::getInstance();
    for (const std::string& sName : m_aNames) {
        if (endsWith(sName, ".anim")) attempt(sName, [&] { checkAnimation(*this, sName, pApp->getAnimation(sName.c_str())); });
        if (endsWith(sName, ".template")) attempt(sName, [&] { checkTemplate(*this, sName); });
        if (endsWith(sName, ".emitter"))
            attempt(sName, [&] {
                ParticleEmitter emitter(nullptr);
                emitter.load(sName.c_str());
            });
        if (endsWith(sName, ".scene")) {
            attempt(sName, [&] { checkScene(*this, sName, text(sName)); });
            // The play field's own reader, which stops at the first fault.
            attempt(sName, [&] { parseScene(sName.c_str(), text(sName).c_str()); });
        }
        if (sName.compare(0, 6, "chars_") == 0) attempt(sName, [&] { checkDefinitions(*this, sName, text(sName)); });
    }
    for (int nScene = 0; nScene < 5; ++nScene)
        attempt("scene" + std::to_string(nScene), [&] { checkSceneDefinitions(*this, nScene); });
}

int Checker::run() {
    if (!openArchives()) return 1;
    GameApp* pApp = GameApp::getInstance();
    attempt("image-alias.txt", [&] { pApp->loadImageAliases("image-alias.txt"); });
    attempt("resource-alias.txt", [&] { pApp->loadResourceAliases("resource-alias.txt"); });
    checkStrings();
    attempt("sand.theme", [&] { pApp->loadTheme("sand.theme"); });
    checkPreloadLists();
    checkEveryFile();
    for (const std::string& sList : m_aLists)
        attempt(sList, [&] {
            if (endsWith(sList, ".h")) checkHeaderNames(*this, sList);
            else checkNameList(*this, sList);
        });
    if (m_nFaults) std::fprintf(stderr, "contentgen: %d faults in %s\n", m_nFaults, m_sFolder.c_str());
    else std::printf("contentgen: %d entries of %s read\n", static_cast<int>(m_aNames.size()), m_sFolder.c_str());
    return m_nFaults ? 1 : 0;
}

} // namespace

namespace {

// An application without a window or a sound card.
bool startHeadless(GameApp& app) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    app.setPlatform(pPlatform);
    if (app.init(800, 600, 0)) return true;
    std::fprintf(stderr, "contentgen: can't start the application\n");
    return false;
}

} // namespace

int checkContent(const char* pszFolder, const std::vector<std::string>& aNameLists) {
    GameApp app;
    if (!startHeadless(app)) return 1;
    return Checker(pszFolder, aNameLists).run();
}

namespace {

Canvas toCanvas(Image* pImage) {
    Canvas canvas(pImage->getWidth(), pImage->getHeight());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            Color c = pImage->getColorAt(x, y);
            canvas.set(x, y, Rgba(c.r, c.g, c.b, pImage->getPhysicalCanvasRect().contains(x, y) ? c.a : 0));
        }
    return canvas;
}

// One picture of the scene preview, placed by its insertion point.
struct Placed {
    int z;
    int nOrder;
    Canvas picture;
    int x, y;
    bool operator<(const Placed& other) const { return z != other.z ? z < other.z : nOrder < other.nOrder; }
};

// Draws a scene roughly as the play field shows it at full upgrades: the
// pictures of its lines, one waitress and a guest on every ordinary seat.
class ScenePreview {
public:
    explicit ScenePreview(GameApp& app) : m_app(app) {}

    void image(const std::string& sName, int x, int y, int z, bool bMirror = false) {
        auto it = m_hImages.find(sName);
        Tsl::SmartPtr<Image> pImage = it != m_hImages.end() ? it->second : m_app.getImage(sName.c_str());
        place(pImage.get(), x, y, z, bMirror);
    }
    void anim(const std::string& sFile, const Tsl::List<Tsl::String>& lParams, const char* pszSeq, int x, int y, int z) {
        Tsl::SmartPtr<Animation> pAnimation =
            lParams.isEmpty() ? m_app.getAnimation(sFile.c_str())
                              : m_app.getAnimation(sFile.c_str(), GameApp::makeAnimationKey(sFile.c_str(), lParams).c_str(), lParams);
        std::string sSeq = pszSeq ? pszSeq : pAnimation->getDefaultSequence().c_str();
        place(pAnimation->getFrameImage(sSeq.c_str(), 0).get(), x, y, z, false);
    }
    void line(const std::vector<std::string>& t) {
        auto n = [&](size_t i) { return std::atoi(t[i].c_str()); };
        const std::string& w = t[0];
        if (w == "image" && t.size() > 1) m_hImages[t[1]] = m_app.getImage(t[1].c_str())->clone(true);
        if (w == "clone" && t.size() > 2) m_hImages[t[2]] = m_hImages[t[1]]->clone(true);
        if (w == "hflip" && t.size() > 1) m_hImages[t[1]]->flipHorizontal();
        if (w == "inspos" && t.size() > 3) {
            Tsl::SmartPtr<Image> p = m_hImages[t[3]];
            int x = t[1] == "center" ? p->getWidth() / 2 : t[1] == "right" ? p->getWidth() : n(1);
            int y = t[2] == "center" ? p->getHeight() / 2 : t[2] == "bottom" ? p->getHeight() : n(2);
            p->setInsPoint(x, y);
        }
        if ((w == "sprite" || w == "sprite_conditional") && t.size() > 4) image(t[1], n(2), n(3), n(4));
        if (w == "sprite_repeat" && t.size() > 6)
            for (int i = 0; i < n(5); ++i) image(t[1], n(2) + i * n(6), n(3), n(4));
        if ((w == "animsprite" || w == "animsprite_conditional") && t.size() > 4) anim(t[1], {}, nullptr, n(2), n(3), n(4));
        if (w == "actionspot_conditional" && t.size() > 4 && t[1] == "glassspot") {
            Tsl::SmartPtr<Image> p = m_app.getImage("posavaso_1")->clone(true);
            p->setInsPoint(p->getWidth() / 2, GlassSpot::COASTER_INS_Y);
            place(p.get(), n(2), n(3), n(4), false);
        }
        if (w == "barman" && t.size() > 3) anim("barman.anim", {}, nullptr, n(1), n(2), n(3));
        if (w == "bongos" && t.size() > 3) anim("bongos.anim", {}, nullptr, n(1), n(2), n(3));
        if (w == "parrot" && t.size() > 3) anim("parrot.anim", {}, "stand_still", n(1), n(2), n(3));
        if (w == "bailarina" && t.size() > 6) {
            Tsl::List<Tsl::String> lParams;
            lParams.append(t[6].c_str());
            anim("bailarina.template", lParams, nullptr, n(1), n(2), n(3));
        }
        if (w == "charposy" && t.size() > 1) m_nCharY = n(1);
        if (w == "chardepth" && t.size() > 1) m_nCharDepth = n(1);
        if (w == "chairposy" && t.size() > 1) m_nChairY = n(1);
        if (w == "chairdepth" && t.size() > 1) m_nChairDepth = n(1);
        // Ordinary seats: at the bar, or on a chair when the line names one.
        if (w == "seat" && t.size() > 4) m_aSeats.push_back({n(1), t.size() > 5 && t[5] != "glass"});
    }
    void people() {
        static const char* const NAMED[] = {"ch_wac_betty.anim", "ch_surfer.anim",    "ch_wac_nurse.anim",
                                            "ch_captain.anim",   "ch_wac_wendy.anim", "ch_wac_punk.anim"};
        int i = 0;
        for (const Seat& seat : m_aSeats) {
            const char* pszAnim = NAMED[i % 6];
            anim(pszAnim, {}, i == 1 ? "ask" : "wait", seat.x, seat.bChair ? m_nChairY : m_nCharY,
                 seat.bChair ? m_nChairDepth : m_nCharDepth);
            ++i;
        }
        Tsl::List<Tsl::String> lParams;
        lParams.append("B");
        for (const char* pszSeq : {"stand_n_main", "stand_n_arm_full_left", "stand_n_arm_empty_right"})
            anim("waitress.template", lParams, pszSeq, 330, 470, 150);
    }
    Canvas render() {
        std::stable_sort(m_aPlaced.begin(), m_aPlaced.end());
        Canvas screen(800, 600);
        screen.clear(Rgba(0, 0, 0));
        for (const Placed& p : m_aPlaced) screen.draw(p.picture, p.x, p.y);
        return screen;
    }

private:
    void place(Image* pImage, int x, int y, int z, bool bMirror) {
        Canvas picture = toCanvas(pImage);
        if (bMirror) picture.mirror();
        m_aPlaced.push_back({z, static_cast<int>(m_aPlaced.size()), picture, x - pImage->getInsPointX(), y - pImage->getInsPointY()});
    }

    GameApp& m_app;
    std::map<std::string, Tsl::SmartPtr<Image>> m_hImages;
    struct Seat {
        int x;
        bool bChair;
    };
    std::vector<Placed> m_aPlaced;
    std::vector<Seat> m_aSeats;
    int m_nCharY = 330, m_nCharDepth = 50, m_nChairY = 330, m_nChairDepth = 50;
};

} // namespace

int writeScenePreview(const char* pszFolder, const char* pszScene, const char* pszOut) {
    GameApp app;
    if (!startHeadless(app)) return 1;
    for (const char* pszArchive : ARCHIVES) app.addArchive((std::string(pszFolder) + "/" + pszArchive).c_str());
    ScenePreview preview(app);
    std::istringstream text(app.getResource((std::string(pszScene) + ".scene").c_str())->getString().c_str());
    std::string sLine;
    while (std::getline(text, sLine)) {
        std::istringstream words(sLine.substr(0, sLine.find('#')));
        std::vector<std::string> aTokens;
        std::string sWord;
        while (words >> sWord) aTokens.push_back(sWord);
        if (!aTokens.empty()) preview.line(aTokens);
    }
    preview.people();
    Bytes png = encodePng(preview.render());
    std::ofstream out(pszOut, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return out ? 0 : 1;
}

int writeFrame(const char* pszFolder, const char* pszAnimation, const char* pszSequence, const char* pszOut) {
    GameApp app;
    if (!startHeadless(app)) return 1;
    for (const char* pszArchive : ARCHIVES) app.addArchive((std::string(pszFolder) + "/" + pszArchive).c_str());
    // "file:p1,p2,..." loads a template with its parameters.
    std::string sSpec = pszAnimation, sFile = sSpec.substr(0, sSpec.find(':'));
    Tsl::List<Tsl::String> lParams;
    if (sSpec.find(':') != std::string::npos) {
        std::istringstream in(sSpec.substr(sSpec.find(':') + 1));
        std::string sParam;
        while (std::getline(in, sParam, ',')) lParams.append(sParam.c_str());
    }
    Tsl::SmartPtr<Animation> pAnimation =
        lParams.isEmpty() ? app.getAnimation(sFile.c_str())
                          : app.getAnimation(sFile.c_str(), GameApp::makeAnimationKey(sFile.c_str(), lParams).c_str(), lParams);
    // "a+b+c" stacks the first frames of several sequences on their
    // insertion points, as sprites at one place show them.
    std::vector<Tsl::SmartPtr<Image>> aImages;
    std::istringstream sequences(pszSequence);
    std::string sSequence;
    while (std::getline(sequences, sSequence, '+')) aImages.push_back(pAnimation->getFrameImage(sSequence.c_str(), 0));
    Tsl::SmartPtr<Image> pImage = aImages[0];
    Canvas canvas(pImage->getWidth(), pImage->getHeight());
    for (const Tsl::SmartPtr<Image>& pLayer : aImages) {
        Canvas layer(pLayer->getWidth(), pLayer->getHeight());
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x) {
                Color c = pLayer->getColorAt(x, y);
                layer.set(x, y, Rgba(c.r, c.g, c.b, pLayer->getPhysicalCanvasRect().contains(x, y) ? c.a : 0));
            }
        canvas.draw(layer, pImage->getInsPointX() - pLayer->getInsPointX(), pImage->getInsPointY() - pLayer->getInsPointY());
    }
    Bytes png = encodePng(canvas);
    std::ofstream out(pszOut, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::printf("%s %s: %dx%d, insertion point %d %d\n", pszAnimation, pszSequence, pImage->getWidth(),
                pImage->getHeight(), pImage->getInsPointX(), pImage->getInsPointY());
    return out ? 0 : 1;
}
