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
    enum { EXIT_MISSING_CONTENT = EXIT_START_FAILED };

    QarnApp();
    ~QarnApp() override;

    // The folder holding the archives, string tables and "3rdparty"; empty
    // for the working folder.
    void setContentFolder(const Tsl::String& sFolder) { m_sContentFolder = sFolder; }

    bool onInit() override;
    // Saves the screen and sound settings and the profiles, then the settings file.
    void onExit() override;
    // After an error that ends the run: the profiles (the hints a player has
    // seen in the level being played are saved only at its end) and the
    // settings file, if they can still be written.
    void saveAfterError();
    // The game's title from the string tables, the built-in one before they load.
    Tsl::String getTitle() const;
    // Breaks a long path (or a text holding one) after separators into lines
    // a dialog can hold.
    static Tsl::String breakPath(const Tsl::String& sPath);
    // Ends a start that misses content, or whose content is damaged, and a
    // run whose display is gone: the loop stops with EXIT_MISSING_CONTENT and
    // the message (the first, when there are more) waits for the player until
    // the application is gone.
    void failStart(const Tsl::String& sWhat) override;
    // The same for content missing or damaged: the message goes on to name
    // the folder of the archives and what to do.
    void failStartOnContent(const Tsl::String& sWhat);
    // The same over a fault met while reading the content: its details go
    // to the log, the player is told which file is damaged or missing.
    void failStartOn(const Tsl::Exception& e);
    // That message; empty while the start has not failed.
    const Tsl::String& getStartFailure() const { return m_sStartFailure; }

protected:
    Tsl::SmartPtr<GameMode> newExitConfirmMode() override;
    void onSettingsNotSaved(const Tsl::String& sFolder, const Tsl::String& sWhy) override;
    // The standard screens' keys and the game's own.
    Tsl::List<Tsl::String> getOwnSettingKeys() const override;
    // The platform with its drivers; tests give one of their own.
    virtual IPlatform* createPlatform();
    // The screens the game starts with, lowest first.
    virtual void pushFirstModes();

private:
    enum { PATH_LINE_LENGTH = 40 };

    void setDefaultSettings();
    void cutHighscoreTables();
    // Standard error and the log, and the text in a dialog at the start of
    // the next frame.
    void tellPlayer(const Tsl::String& sText);
    // What loadSettings met that the player must know: a damaged file, one
    // that could not be read, a missing one brought back.
    void tellSettingsTrouble();
    Tsl::String contentPath(const char* pszName) const;
    // The whole path of the folder holding the archives.
    Tsl::String getContentFolder() const;
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

    Tsl::String m_sContentFolder;
    Tsl::String m_sStartFailure;
};
