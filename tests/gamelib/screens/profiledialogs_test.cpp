// The profile dialogs under synthetic input: create (a refused name and its
// message), select, delete (the current player moves on) and the main
// menu's repair of the current player.
#include "screens_support.h"

#include "screens/names.h"
#include "screens/profilemanager.h"
#include "screens/selectprofile.h"
#include "ui/button.h"

namespace {

class TestProfile : public ProfileData {
public:
    void write(Tsl::ObjectStreamer&) const override {}
    void read(Tsl::ObjectStreamer&) override {}
};

struct ProfileDialogsTest : ScreensTest {
    ProfileManagerImpl<TestProfile> manager;

    // Characters arrive as code points; 13 presses Enter.
    void type(const std::vector<int>& aCodePoints) {
        for (int c : aCodePoints) c == 13 ? (void)app.onKeyDown(SDLK_RETURN, 0) : (void)app.onChar(c);
    }
    Tsl::String current() const { return ProfileManager::getCurrentName(); }
    void clickId(int nId) { clickOn(controlOf(app.getModeAt(0).get(), nId)); }
};

TEST_F(ProfileDialogsTest, CreateTellsWhyANameIsRefusedAndKeepsAGoodOne) {
    manager.createProfile("Ana");
    Tsl::SmartPtr<CreateProfileDialog> pCreate = new CreateProfileDialog(&manager);
    app.pushMode(pCreate);
    type({' ', 'a', 'N', 'A', 13});
    EXPECT_EQ(ScreenNames::STR_PROFILE_NAME_TAKEN, pCreate->getMessage());
    // The message is about the name refused: it stays while that name does,
    // and goes with the first key that edits it.
    for (int nKey : {int(SDLK_BACKSPACE), int('x')}) {
        pCreate->getEditBox()->setText("ana");
        type({13});
        app.runFrame();
        EXPECT_EQ(ScreenNames::STR_PROFILE_NAME_TAKEN, pCreate->getMessage());
        nKey == 'x' ? (void)app.onChar(nKey) : press(nKey);
        app.runFrame();
        EXPECT_EQ("", pCreate->getMessage()) << nKey;
    }
    pCreate->getEditBox()->setText("");
    type({' ', 'Z', 'o', 0xEB, ' ', 13});
    EXPECT_EQ(target, app.getModeAt(0));
    EXPECT_EQ("Zo\xC3\xAB", current());
    EXPECT_FALSE(app.getSetting(ScreenNames::SET_PROFILES).isEmpty());  // saved at once
}

TEST_F(ProfileDialogsTest, WithoutProfilesTheMenuForcesACreationAndRepairsTheCurrentName) {
    MainMenuProfileManager menuProfiles(&manager);
    EXPECT_EQ(nullptr, menuProfiles.ensureCurrentProfile());
    Tsl::SmartPtr<CreateProfileDialog> pCreate = Tsl::SmartPtr<CreateProfileDialog>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pCreate);
    EXPECT_EQ(nullptr, controlOf(pCreate.get(), CreateProfileDialog::ID_CANCEL));
    press(SDLK_ESCAPE);
    EXPECT_EQ(pCreate, app.getModeAt(0));
    type({'B', 'o'});
    clickId(CreateProfileDialog::ID_OK);
    EXPECT_EQ(target, app.getModeAt(0));

    // A current name that names no profile (or another spelling) is repaired.
    manager.createProfile("Cy");
    const char* aCases[][2] = {{"", "Bo"}, {"Gone", "Bo"}, {" cY", "Cy"}};
    for (const auto& c : aCases) {
        ProfileManager::setCurrentName(c[0]);
        ProfileData* pProfile = menuProfiles.ensureCurrentProfile();
        ASSERT_NE(nullptr, pProfile);
        EXPECT_EQ(c[1], pProfile->getName());
        EXPECT_EQ(c[1], current());
    }
}

TEST_F(ProfileDialogsTest, SelectChoosesAndDeletingTheCurrentOneMovesTheCurrentPlayer) {
    for (const char* pszName : {"Ana", "Bo", "Cy"}) manager.createProfile(pszName);
    ProfileManager::setCurrentName("Bo");
    Tsl::SmartPtr<SelectProfileDialog> pSelect = new SelectProfileDialog(&manager);
    app.pushMode(pSelect);
    EXPECT_EQ("Bo", pSelect->getSelectedName());
    clickId(SelectProfileDialog::ID_DELETE);
    clickId(DeleteProfileDialog::ID_YES);
    EXPECT_FALSE(manager.hasProfile("Bo"));
    EXPECT_EQ("Ana", current());
    EXPECT_EQ("Ana", pSelect->getSelectedName());

    // Another one: No keeps it, Yes deletes it and leaves the current player.
    clickId(SelectProfileDialog::ID_FIRST_NAME + 1);
    EXPECT_EQ("Cy", pSelect->getSelectedName());
    clickId(SelectProfileDialog::ID_DELETE);
    press(SDLK_ESCAPE);
    EXPECT_TRUE(manager.hasProfile("Cy"));
    clickId(SelectProfileDialog::ID_DELETE);
    clickId(DeleteProfileDialog::ID_YES);
    EXPECT_EQ("Ana", current());

    // A new one comes back selected; choosing another with OK makes it current.
    clickId(SelectProfileDialog::ID_NEW);
    type({'D', 'e', 'e', 13});
    EXPECT_EQ("Dee", pSelect->getSelectedName());
    clickId(SelectProfileDialog::ID_FIRST_NAME);
    clickId(SelectProfileDialog::ID_OK);
    EXPECT_EQ("Ana", current());
    EXPECT_EQ(target, app.getModeAt(0));

    // Deleting the last profile leaves no current player.
    for (const char* pszName : {"Ana", "Dee"}) {
        app.pushMode(new DeleteProfileDialog(&manager, pszName));
        clickId(DeleteProfileDialog::ID_YES);
    }
    EXPECT_EQ("", current());
}

} // namespace
