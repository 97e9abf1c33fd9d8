#include "game/loadingscreen.h"

#include "base/sandbackdrop.h"

#include "game/contentfault.h"
#include "game/menumode.h"
#include "base/names.h"

#include "anim/animation.h"
#include "app/gameapp.h"
#include "audio/audiodriver.h"
#include "effects/particleemitter.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

#include "tsl2/error.h"
#include "tsl2/resource.h"
#include "tsl2/resourcefile.h"

#include <string>

namespace {
enum { KIND_ANIMATION, KIND_SOUND, KIND_MUSIC, KIND_EMITTER };

struct InsPoint {
    const char* pszImage;
    int nX, nY;
};
// The frame props are shared with later screens, which expect these anchors.
const InsPoint s_aFramePropAnchors[] = {
    {"sand_frame_prop_3", 30, 10}, {"sand_frame_prop_5", 32, 108}, {"sand_frame_prop_2", 56, 55},
    {"sand_frame_prop_4", 59, 22}, {"sand_frame_prop_1", 36, 123}};

const Color DIM_ICON(96, 96, 96, 255);
const Color LIT_ICON(255, 255, 255, 255);
enum { ALIGN_CENTRE = 36, LABEL_Y = 380, ROW_Y = 300, COLUMN_SPACING = 5 };
}  // namespace

Tsl::List<PreloadItem> parsePreloadList(const Tsl::String& sText, const Tsl::String& sList) {
    TSL_TRACE();
    Tsl::List<PreloadItem> lItems;
    const char* pszText = sText.c_str();
    int nLength = sText.getLength();
    int nLine = 1;
    int nStart = 0;
    for (int i = 0; i <= nLength; ++i) {
        char c = i < nLength ? pszText[i] : '\n';
        if (c != '\r' && c != '\n') continue;
        if (i > nStart) lItems.append(PreloadItem{Tsl::String(pszText + nStart, i - nStart), sList, nLine});
        // "\r\n" is one line end for the line count, as it is one separator run.
        if (c == '\n' || i + 1 >= nLength || pszText[i + 1] != '\n') ++nLine;
        nStart = i + 1;
    }
    return lItems;
}

Tsl::List<PreloadItem> readPreloadList(GameApp* pApp, const char* pszList) {
    TSL_TRACE();
    Tsl::SmartPtr<Tsl::Resource> pResource = pApp->getResource(pszList);
    return parsePreloadList(pResource->getString(), pszList);
}

LoadingScreen::LoadingScreen()
    : GameMode(MF_ACTIVE | MF_VISIBLE), m_bFinished(false), m_bBuildPending(false), m_bHandedOver(false),
      m_nTotal(0), m_nDone(0) {}

LoadingScreen::~LoadingScreen() {}

void LoadingScreen::onCallback(int nId, int) {
    if (nId == 0) endMode();
}

void LoadingScreen::init() {
    TSL_TRACE();
    for (const InsPoint& anchor : s_aFramePropAnchors) getImage(anchor.pszImage)->setInsPoint(anchor.nX, anchor.nY);
    m_bFinished = false;
    m_bBuildPending = true;
    // The frame rate drops to 0 only at the first update: while the splash
    // above is shown it keeps its own pace.
    GameApp::getInstance()->showCursor(false);
}

bool LoadingScreen::onKeyDown(int nKey, int nModifiers) { return GameMode::onKeyDown(nKey, nModifiers); }

void LoadingScreen::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    if (m_bBuildPending) {
        GameApp::getInstance()->setFrameRate(0);
        build();
        return;
    }
    if (!m_bFinished) {
        // The splash above shows the cursor when it ends; loading goes on
        // without one until the next screen takes over.
        GameApp::getInstance()->showCursor(false);
        step();
    }
    if (m_bFinished && !m_bHandedOver && isTop()) handOver();
}

void LoadingScreen::build() {
    TSL_TRACE();
    addBackground();
    addProgressRow();
    readLists();
    m_bBuildPending = false;
}

void LoadingScreen::addBackground() {
    SandBackdrop::addTo(this, -3);
    addSprite(new Sprite(getImage(Names::IMG_LOADING_BACK), -6, -10, -2));
}

void LoadingScreen::addProgressRow() {
    Tsl::SmartPtr<Table> pRow = new Table(this);
    pRow->setFrameStyle(Names::STYLE_UNDECORATED_FRAME);
    pRow->setColumnSpacing(COLUMN_SPACING);

    Tsl::SmartPtr<Label> pLabel = new Label(getString(Names::STR_LOADING), 0, 0, 1);
    pLabel->setFont(getFont(Names::FONT_TITLE_BOLD)->clone());
    addSprite(pLabel.get());
    pLabel->setPosition(400 - pLabel->getWidth() / 2, LABEL_Y);

    for (int i = 0; i < ICON_COUNT; ++i) {
        Tsl::SmartPtr<Sprite> pIcon =
            new Sprite(GameApp::getInstance()->getImage(i % 2 ? Names::IMG_PROGRESS_STAR : Names::IMG_PROGRESS_CLAM), 0,
                       0, 0);
        addSprite(pIcon);
        m_lProgressIcons.append(pIcon);
        pIcon->setColor(DIM_ICON);
        pRow->addCell(1);
        pRow->add(pIcon.get(), ALIGN_CENTRE);
    }
    pRow->setZOrder(1);
    pRow->layout();
    pRow->setPosition(400 - pRow->getWidth() / 2, ROW_Y);
}

void LoadingScreen::readLists() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    m_lAnimations = readPreloadList(pApp, Names::PRELOAD_CHAR0_ANIMS);
    m_lAnimations.appendList(readPreloadList(pApp, Names::PRELOAD_COMMON_ANIMS));
    m_lSounds = readPreloadList(pApp, Names::PRELOAD_SOUNDS);
    m_lMusic = readPreloadList(pApp, Names::PRELOAD_MUSIC);
    m_lEmitters = readPreloadList(pApp, Names::PRELOAD_EMITTERS);
    m_nTotal = m_lAnimations.getCount() + m_lSounds.getCount() + m_lMusic.getCount() + m_lEmitters.getCount();
    m_nDone = 0;
}

void LoadingScreen::step() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    unsigned int nStart = pApp->getTicks();
    // The clock is read only between passes: one pass may run past the slice.
    for (;;) {
        loadPass();
        if (m_nDone >= m_nTotal) {
            m_bFinished = true;
            break;
        }
        if (pApp->getTicks() - nStart >= unsigned(SLICE_MS)) break;
    }
    showProgress();
}

// At most one name of each kind per pass.
void LoadingScreen::loadPass() {
    loadFirst(m_lSounds, KIND_SOUND);
    loadFirst(m_lAnimations, KIND_ANIMATION);
    loadFirst(m_lMusic, KIND_MUSIC);
    loadFirst(m_lEmitters, KIND_EMITTER);
}

void LoadingScreen::loadFirst(Tsl::List<PreloadItem>& lItems, int nKind) {
    if (lItems.getCount() == 0) return;
    PreloadItem item = lItems.removeFirst();
    loadEntry(item, nKind);
    ++m_nDone;
}

void LoadingScreen::loadEntry(const PreloadItem& item, int nKind) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    const char* pszName = item.sName.c_str();
    try {
        switch (nKind) {
        case KIND_SOUND: pApp->getSample(pszName); break;
        case KIND_ANIMATION: pApp->getAnimation(pszName); break;
        case KIND_MUSIC: pApp->getMusic(pszName); break;
        default: {
            Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(this);
            pEmitter->load(pszName);
            break;
        }
        }
    } catch (const Tsl::Exception& e) {
        std::string sDetails = Tsl::formatMessage("%s line %d: the preloaded name '%s' could not be loaded: %s",
                                                  item.sList.c_str(), item.nLine, pszName, e.getMessage());
        Tsl::String sForPlayer =
            dynamic_cast<const Tsl::DamagedEntryException*>(&e)
                ? ContentFault::describe(e)
                : Tsl::String::format("The game's content is damaged or incomplete: '%s' (%s line %d) "
                                      "could not be loaded.",
                                      pszName, item.sList.c_str(), item.nLine);
        throw ContentFault(__FILE__, __LINE__, sDetails.c_str(), sForPlayer);
    }
}

void LoadingScreen::showProgress() {
    int nHalf = m_nTotal / 2;
    if (nHalf == 0) return;
    int nLit = static_cast<int>(10.0 * m_nDone / nHalf);
    if (nLit > ICON_COUNT - 1) nLit = ICON_COUNT - 1;
    int i = 0;
    for (const Tsl::SmartPtr<Sprite>& pIcon : m_lProgressIcons)
        if (i++ <= nLit) pIcon->setColor(LIT_ICON);
}

bool LoadingScreen::isTop() const { return GameApp::getInstance()->getModeIndex(this) == 0; }

// Only the topmost mode may end itself: under the splash the loaded screen
// waits until the splash has gone.
void LoadingScreen::handOver() {
    TSL_TRACE();
    m_bHandedOver = true;
    endMode();
    GameApp::getInstance()->pushMode(createNextMode());
}

Tsl::SmartPtr<GameMode> LoadingScreen::createNextMode() { return new MenuMode(); }
