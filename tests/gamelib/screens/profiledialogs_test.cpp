// The profile dialogs under synthetic input: create (typed names and their
// refusals), select, delete (the current player moves on) and the main
// menu's repair of the current player.
#include "screens_support.h"

#include "screens/names.h"
#include "screens/profilemanager.h"
#include "screens/selectprofile.h"
#include "ui/button.h"
#include "ui/editbox.h"

#include "tsl2/objectstreamer.h"

namespace {

class TestProfile : public ProfileData {
public:
    void write(Tsl::ObjectStreamer&) const override {}
    void read(Tsl::ObjectStreamer&) override {}
};

typedef ProfileManagerImpl<TestProfile> Manager;

struct ProfileDialogsTest : ScreensTest {
    Manager manager;

    // Characters arrive as code points.
    void type(const std::vector<int>& aCodePoints) {
        for (int c : aCodePoints) app.onChar(c);
    }
    void type(const char* pszAscii) {
        for (const char* p = pszAscii; *p; ++p) app.onChar(*p);
    }
    Tsl::String current() const { return ProfileManager::getCurrentName(); }
    Tsl::SmartPtr<CreateProfileDialog> openCreate() {
        Tsl::SmartPtr<CreateProfileDialog> pCreate = new CreateProfileDialog(&manager);
        app.pushMode(pCreate);
        return pCreate;
    }
};

TEST_F(ProfileDialogsTest, CreateRefusesBadNamesWithAMessageAndKeepsAGoodOne) {
    manager.createProfile("Ana");
    Tsl::SmartPtr<CreateProfileDialog> pCreate = openCreate();
    struct Case {
        const char* pszTyped;
        const char* pszMessageKey;
    } aCases[] = {
        {"   ", ScreenNames::STR_PROFILE_NAME_EMPTY},
        {" aNA ", ScreenNames::STR_PROFILE_NAME_TAKEN},
        {"Bo\x7F", ScreenNames::STR_PROFILE_NAME_BAD_CHARACTER},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszTyped);
        pCreate->getEditBox()->setText(c.pszTyped);
        app.onKeyDown(SDLK_RETURN, 0);
        EXPECT_EQ(c.pszMessageKey, pCreate->getMessage());
        EXPECT_EQ(pCreate, app.getModeAt(0));
    }
    EXPECT_EQ(1, manager.getProfileCount());
    pCreate->getEditBox()->setText("");
    type({' ', 'Z', 'o', 0xEB, ' '});
    app.onKeyDown(SDLK_RETURN, 0);
    EXPECT_EQ(target, app.getModeAt(0));
    EXPECT_TRUE(manager.hasProfile("ZO\xC3\xAB"));
    EXPECT_EQ("Zo\xC3\xAB", current());
    // Saved at once: the stored list holds the new profile.
    EXPECT_FALSE(app.getSetting(ScreenNames::SET_PROFILES).isEmpty());
}

TEST_F(ProfileDialogsTest, WithoutCancelEscapeDoesNothingAndTheMenuRepairForcesACreation) {
    MainMenuProfileManager menuProfiles(&manager);
    EXPECT_EQ(nullptr, menuProfiles.ensureCurrentProfile());
    Tsl::SmartPtr<CreateProfileDialog> pCreate = Tsl::SmartPtr<CreateProfileDialog>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pCreate);
    EXPECT_FALSE(pCreate->isCancelEnabled());
    EXPECT_EQ(nullptr, controlOf(pCreate.get(), CreateProfileDialog::ID_CANCEL));
    press(SDLK_ESCAPE);
    EXPECT_EQ(pCreate, app.getModeAt(0));
    type("Bo");
    clickOn(controlOf(pCreate.get(), CreateProfileDialog::ID_OK));
    EXPECT_EQ(target, app.getModeAt(0));

    // A current name that names no profile (or another spelling) is repaired.
    manager.createProfile("Cy");
    struct Case {
        const char* pszStored;
        const char* pszRepaired;
    } aCases[] = {{"", "Bo"}, {"Gone", "Bo"}, {" cY", "Cy"}, {"Cy", "Cy"}};
    for (const Case& c : aCases) {
        ProfileManager::setCurrentName(c.pszStored);
        ProfileData* pProfile = menuProfiles.ensureCurrentProfile();
        ASSERT_NE(nullptr, pProfile);
        EXPECT_EQ(c.pszRepaired, pProfile->getName());
        EXPECT_EQ(c.pszRepaired, current());
    }
}

TEST_F(ProfileDialogsTest, SelectChoosesAndDeletingTheCurrentOneMovesTheCurrentPlayer) {
    manager.createProfile("Ana");
    manager.createProfile("Bo");
    manager.createProfile("Cy");
    ProfileManager::setCurrentName("Bo");
    Tsl::SmartPtr<SelectProfileDialog> pSelect = new SelectProfileDialog(&manager);
    app.pushMode(pSelect);
    EXPECT_EQ("Bo", pSelect->getSelectedName());

    // Delete the current one: the first left becomes current.
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_DELETE));
    Tsl::SmartPtr<DeleteProfileDialog> pDelete = Tsl::SmartPtr<DeleteProfileDialog>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pDelete);
    clickOn(pDelete->getButton(0));
    EXPECT_FALSE(manager.hasProfile("Bo"));
    EXPECT_EQ("Ana", current());
    EXPECT_EQ(pSelect, app.getModeAt(0));
    EXPECT_EQ("Ana", pSelect->getSelectedName());

    // Deleting another one leaves the current player alone; No deletes nothing.
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_FIRST_NAME + 1));
    EXPECT_EQ("Cy", pSelect->getSelectedName());
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_DELETE));
    press(SDLK_ESCAPE);
    EXPECT_TRUE(manager.hasProfile("Cy"));
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_DELETE));
    clickOn(Tsl::SmartPtr<DeleteProfileDialog>::dynamicCast(app.getModeAt(0))->getButton(0));
    EXPECT_EQ("Ana", current());

    // New, then choose: the new one is selected and OK makes it current.
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_NEW));
    type("Dee");
    app.onKeyDown(SDLK_RETURN, 0);
    EXPECT_EQ(pSelect, app.getModeAt(0));
    EXPECT_EQ("Dee", pSelect->getSelectedName());
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_FIRST_NAME));
    clickOn(controlOf(pSelect.get(), SelectProfileDialog::ID_OK));
    EXPECT_EQ("Ana", current());
    EXPECT_EQ(target, app.getModeAt(0));

    // Deleting the last profile leaves no current player.
    Manager single;
    single.createProfile("Solo");
    ProfileManager::setCurrentName("Solo");
    Tsl::SmartPtr<DeleteProfileDialog> pLast = new DeleteProfileDialog(&single, "solo");
    app.pushMode(pLast);
    pLast->onCallback(DeleteProfileDialog::ID_YES, 0);
    EXPECT_EQ(0, single.getProfileCount());
    EXPECT_EQ("", current());
}

} // namespace
