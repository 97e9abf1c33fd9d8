#include "story/longdialogmode.h"

#include "app/gameapp.h"
#include "effects/particleemitter.h"
#include "base/names.h"
#include "text/font.h"
#include "tsl2/random.h"
#include "ui/button.h"
#include "ui/label.h"

namespace {
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int TEXT_WIDTH = 330;
const int TEXT_Z_ORDER = 7;
}  // namespace

LongDialogMode::LongDialogMode(Tsl::String sText, Tsl::String sTitle, int nButtonId)
    : DialogMode(true), m_sText(sText), m_sTitle(sTitle), m_nButtonId(nButtonId) {}

LongDialogMode::~LongDialogMode() {}

void LongDialogMode::init() {
    TSL_TRACE();
    DialogMode::init();
    Tsl::SmartPtr<Table> pTable = getTable();
    Tsl::SmartPtr<Sprite> pPicture = new Sprite(Names::IMG_CONGRATS, 0, 0, 0);
    addSprite(pPicture);
    pTable->add(pPicture, CENTRED);

    pTable->addRow(1);
    Tsl::SmartPtr<Label> pText = new Label(m_sText, 0, 0, TEXT_Z_ORDER, TEXT_WIDTH, true);
    pText->setTextAlign(4);
    addSprite(pText);
    pTable->add(pText, CENTRED);

    pTable->addRow(1);
    Tsl::SmartPtr<Button> pOk = new Button(getString(Names::STR_CPD_OK), m_nButtonId);
    addControl(pOk);
    pTable->add(pOk, CENTRED);
}

void LongDialogMode::onUpdate(float fDt) {
    fireFlowers();
    GameMode::onUpdate(fDt);
}

void LongDialogMode::fireFlowers() {
    int nFlower = Tsl::gameRand() % FLOWER_KINDS + 1;
    int nX = BURST_LEFT + Tsl::gameRand() % BURST_WIDTH;
    ParticleEmitter* pCannon = cannonOf(nFlower);
    pCannon->setPosition(nX, BURST_Y);
    pCannon->emit(-1);
    addParticles(pCannon->releaseParticles());
}

ParticleEmitter* LongDialogMode::cannonOf(int nFlower) {
    Tsl::SmartPtr<ParticleEmitter>& pCannon = m_apCannons[nFlower - 1];
    if (pCannon) return pCannon.get();
    // A picture of its own: the cached one keeps its insertion point for others.
    Tsl::SmartPtr<Image> pFlower = getImage(Tsl::String::format(Names::IMG_FLOWER, nFlower).c_str())->clone(false);
    pFlower->alignInsPoint(CENTRED);
    // The definition is read once and then copied from the emitter cache.
    pCannon = new ParticleEmitter(this);
    pCannon->load(Names::EMITTER_FLOWER_CANNON);
    pCannon->addImage(pFlower, 0);
    pCannon->setZOrder(0);
    return pCannon.get();
}

void LongDialogMode::onCallback(int, int) {
    if (getState() == MS_RUNNING)
        endMode();
}

bool LongDialogMode::onMouseUp(int, int, int) { return true; }
