#pragma once

#include "app/gameapp.h"

#include "tsl2/str.h"

class IPlatform;
class SplashScreen;

// The game's application: its start-up (settings, content, the screen, the
// theme, the first screens), its exit hook and its exit confirmation.
class QarnApp : public GameApp {
public:
    enum { SCREEN_WIDTH = 800, SCREEN_HEIGHT = 600, AUDIO_RATE = 44100, AUDIO_CHUNK = 2048 };
    // Exit code of a start that misses content.
    enum { EXIT_MISSING_CONTENT = 2 };

    QarnApp();
    ~QarnApp() override;

    // The folder holding the archives, string tables and "3rdparty"; empty
    // for the working folder.
    void setContentFolder(const Tsl::String& sFolder) { m_sContentFolder = sFolder; }

    bool onInit() override;
    // Saves the screen and sound settings, then the settings file.
    void onExit() override;

protected:
    Tsl::SmartPtr<GameMode> newExitConfirmMode() override;
    // The platform with its drivers; tests give one of their own.
    virtual IPlatform* createPlatform();
    // The screens the game starts with, lowest first.
    virtual void pushFirstModes();

private:
    void setDefaultSettings();
    // A settings file that could not be read is moved aside, not overwritten.
    void keepDamagedSettings();
    Tsl::String contentPath(const char* pszName) const;
    // False (one message naming the first missing piece) when content is missing.
    bool addContent();
    bool requireResource(const char* pszName);
    void loadAliasLists();
    void listResources();
    bool wantsFullScreen();
    bool openScreen(bool bFullScreen);
    void loadWindowIcon();
    bool loadSandTheme();
    Tsl::SmartPtr<SplashScreen> makeSplash();
    void failStart(const char* pszWhat);

    Tsl::String m_sContentFolder;
};
