#include "screens/selectprofile.h"

#include "app/gameapp.h"
#include "image/image.h"
#include "screens/names.h"
#include "screens/profilemanager.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/editbox.h"
#include "ui/label.h"

#include <SDL/SDL_keysym.h>

namespace {
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int NAME_FIELD_WIDTH = 240;

Tsl::String text(const char* pszKey) { return GameApp::getInstance()->getString(pszKey); }

void saveAll(const ProfileManager* pManager) {
    pManager->saveProfiles();
    GameApp::getInstance()->saveSettings();
}

Tsl::SmartPtr<Button> addButton(DialogMode* pDialog, Tsl::SmartPtr<Table> pRow, const char* pszKey, int nId) {
    Tsl::SmartPtr<Button> pButton = new Button(text(pszKey), nId);
    pDialog->addControl(pButton);
    pRow->addCell(1);
    pRow->add(pButton, CENTRED);
    return pButton;
}
} // namespace

// ---- SelectProfileDialog --------------------------------------------------------------------

SelectProfileDialog::SelectProfileDialog(ProfileManager* pManager, int)
    : DialogMode(true), m_pManager(pManager) {
    getTable()->setFrameEnabled(true);
    getTable()->setRowSpacing(8);
}

SelectProfileDialog::~SelectProfileDialog() {}

void SelectProfileDialog::onActivate() {
    // The dialogs above may have added or deleted profiles.
    build();
    DialogMode::onActivate();
}

void SelectProfileDialog::build() {
    TSL_TRACE();
    getTable()->clear();
    m_lNames.clear();
    // A profile made current meanwhile (just created, or the one left after
    // a deletion) is the one selected.
    Tsl::String sCurrent = ProfileManager::getCurrentName();
    if (sCurrent != m_sCurrentSeen || !m_pManager->hasProfile(m_sSelected)) m_sSelected = sCurrent;
    m_sCurrentSeen = sCurrent;
    if (!m_pManager->hasProfile(m_sSelected)) m_sSelected = "";
    getTable()->addCell(1);
    addLabel(getTable(), text(ScreenNames::STR_PROFILE_SELECT_TITLE), ScreenNames::FONT_TITLE, CENTRED);
    addNameRows();
    addButtonRow();
}

void SelectProfileDialog::addNameRows() {
    int nId = ID_FIRST_NAME;
    for (const Tsl::String& sName : m_pManager->getProfileNames()) {
        Tsl::SmartPtr<ToggleButton> pName = new ToggleButton(sName, nId++);
        pName->setToggled(ProfileManager::normalizeName(sName) == ProfileManager::normalizeName(m_sSelected));
        addControl(pName);
        getTable()->addRow(1);
        getTable()->addCell(1);
        getTable()->add(pName, CENTRED);
        m_lNames.append(pName);
    }
}

void SelectProfileDialog::addButtonRow() {
    Tsl::SmartPtr<Table> pRow = new Table(this);
    pRow->setColumnSpacing(12);
    bool bSelected = !m_sSelected.isEmpty();
    addButton(this, pRow, ScreenNames::STR_PROFILE_OK, ID_OK)->setEnabled(bSelected);
    addButton(this, pRow, ScreenNames::STR_PROFILE_NEW, ID_NEW)
        ->setEnabled(m_pManager->getProfileCount() < ProfileManager::MAX_PROFILES);
    addButton(this, pRow, ScreenNames::STR_PROFILE_DELETE, ID_DELETE)->setEnabled(bSelected);
    addButton(this, pRow, ScreenNames::STR_PROFILE_CANCEL, ID_CANCEL);
    getTable()->addRow(1);
    getTable()->addCell(1);
    getTable()->add(pRow, CENTRED);
}

void SelectProfileDialog::select(const Tsl::String& sName) {
    m_sSelected = sName;
    build();
    layout(true);
}

void SelectProfileDialog::choose() {
    if (m_sSelected.isEmpty() || getState() != MS_RUNNING) return;
    ProfileManager::setCurrentName(m_sSelected);
    GameApp::getInstance()->saveSettings();
    endMode();
}

void SelectProfileDialog::onCallback(int nId, int) {
    TSL_TRACE();
    if (getState() != MS_RUNNING) return;
    int nIndex = nId - ID_FIRST_NAME;
    if (nIndex >= 0 && nIndex < m_lNames.getCount()) {
        select(m_lNames.getAt(nIndex)->getText());
        return;
    }
    switch (nId) {
    case ID_OK: choose(); break;
    case ID_NEW: GameApp::getInstance()->pushMode(new CreateProfileDialog(m_pManager)); break;
    case ID_DELETE:
        if (!m_sSelected.isEmpty()) GameApp::getInstance()->pushMode(new DeleteProfileDialog(m_pManager, m_sSelected));
        break;
    case ID_CANCEL: endMode(); break;
    default: break;
    }
}

bool SelectProfileDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey == SDLK_ESCAPE) onCallback(ID_CANCEL, 0);
    else if (nKey == SDLK_RETURN || nKey == SDLK_KP_ENTER) choose();
    else return DialogMode::onKeyDown(nKey, nModifiers);
    return true;
}

// ---- CreateProfileDialog --------------------------------------------------------------------

CreateProfileDialog::CreateProfileDialog(ProfileManager* pManager, int)
    : DialogMode(true), m_pManager(pManager), m_bCancelEnabled(true) {
    getTable()->setFrameEnabled(true);
    getTable()->setRowSpacing(8);
}

CreateProfileDialog::~CreateProfileDialog() {}

void CreateProfileDialog::disableCancel() {
    m_bCancelEnabled = false;
    if (m_pCancel) {
        // Already built: the row is laid out again without it.
        m_pButtons->clear();
        m_pCancel = nullptr;
        addButton(this, m_pButtons, ScreenNames::STR_PROFILE_OK, ID_OK);
        layout(true);
    }
}

void CreateProfileDialog::init() {
    TSL_TRACE();
    DialogMode::init();
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->addCell(1);
    addLabel(pTable, text(ScreenNames::STR_PROFILE_CREATE_TITLE), ScreenNames::FONT_TITLE, CENTRED);
    pTable->addRow(1);
    pTable->addCell(1);
    m_pEdit = new EditBox(ID_NAME, NAME_FIELD_WIDTH, ProfileManager::MAX_NAME_LENGTH);
    addControl(m_pEdit);
    pTable->add(m_pEdit, CENTRED);
    pTable->addRow(1);
    pTable->addCell(1);
    m_pMessage = addLabel(pTable, " ", Tsl::String(), CENTRED);
    m_pButtons = new Table(this);
    m_pButtons->setColumnSpacing(12);
    addButton(this, m_pButtons, ScreenNames::STR_PROFILE_OK, ID_OK);
    if (m_bCancelEnabled) m_pCancel = addButton(this, m_pButtons, ScreenNames::STR_PROFILE_CANCEL, ID_CANCEL);
    pTable->addRow(1);
    pTable->addCell(1);
    pTable->add(m_pButtons, CENTRED);
    setFocus(m_pEdit);
}

Tsl::String CreateProfileDialog::getMessage() const {
    return m_pMessage ? m_pMessage->getText().trim() : Tsl::String();
}

void CreateProfileDialog::accept() {
    TSL_TRACE();
    Tsl::String sName = m_pEdit->getText();
    ProfileManager::NameProblem eProblem = m_pManager->checkNewName(sName);
    if (eProblem != ProfileManager::NAME_OK) {
        m_sRefusedName = sName;
        m_pMessage->setText(text(ProfileManager::getProblemKey(eProblem)));
        layout(true);
        return;
    }
    ProfileData* pProfile = m_pManager->createProfile(sName);
    ProfileManager::setCurrentName(pProfile->getName());
    saveAll(m_pManager);
    endMode();
}

void CreateProfileDialog::onUpdate(float fDt) {
    DialogMode::onUpdate(fDt);
    if (!m_pEdit || getMessage().isEmpty() || m_pEdit->getText() == m_sRefusedName) return;
    // A blank keeps the row's height, so the dialog does not shrink under the mouse.
    m_pMessage->setText(" ");
    layout(true);
}

void CreateProfileDialog::onCallback(int nId, int) {
    if (getState() != MS_RUNNING) return;
    if (nId == ID_OK || nId == ID_NAME) accept();
    else if (nId == ID_CANCEL && m_bCancelEnabled) endMode();
}

bool CreateProfileDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return DialogMode::onKeyDown(nKey, nModifiers);
    onCallback(ID_CANCEL, 0);
    return true;
}

// ---- DeleteProfileDialog --------------------------------------------------------------------

DeleteProfileDialog::DeleteProfileDialog(ProfileManager* pManager, const Tsl::String& sName)
    : CommonDialog(nullptr, text(ScreenNames::STR_PROFILE_DELETE_QUESTION) + "\n" + sName), m_pManager(pManager),
      m_sName(sName) {
    addButton(text(ScreenNames::STR_YES), ID_YES);
    addButton(text(ScreenNames::STR_NO), ID_NO);
}

DeleteProfileDialog::~DeleteProfileDialog() {}

void DeleteProfileDialog::onCallback(int nId, int nData) {
    // Deleted before the dialog ends, so the dialog below, activated by the
    // end, already sees the list without it.
    if (nId == ID_YES && getState() == MS_RUNNING && m_pManager->deleteProfile(m_sName)) {
        m_pManager->repairCurrentName();
        saveAll(m_pManager);
    }
    CommonDialog::onCallback(nId, nData);
}

bool DeleteProfileDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return CommonDialog::onKeyDown(nKey, nModifiers);
    onCallback(ID_NO, 0);
    return true;
}

// ---- MainMenuProfileManager -----------------------------------------------------------------

MainMenuProfileManager::MainMenuProfileManager(ProfileManager* pManager) : m_pManager(pManager) {}

ProfileData* MainMenuProfileManager::ensureCurrentProfile() {
    TSL_TRACE();
    if (m_pManager->getProfileCount() == 0) {
        Tsl::SmartPtr<CreateProfileDialog> pCreate = new CreateProfileDialog(m_pManager);
        pCreate->disableCancel();
        GameApp::getInstance()->pushMode(pCreate);
        return nullptr;
    }
    m_pManager->repairCurrentName();
    return m_pManager->getCurrentProfile();
}
