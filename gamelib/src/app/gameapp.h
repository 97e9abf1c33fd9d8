// The application object: the one service point through which everything
// reaches the drivers, caches, settings, strings and log. It runs the frame
// loop over the stack of modes (top at index 0).
#pragma once

#include "anim/animation.h"
#include "anim/animationloader.h"
#include "app/closingclick.h"
#include "app/gamemode.h"
#include "app/rescache.h"
#include "app/savefailure.h"
#include "app/settingsfile.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/resource.h"
#include "tsl2/str.h"

#include <cstdarg>
#include <string>

struct stat;

class IPlatform;
class IVideoDriver;
class IAudioDriver;
class Image;
class Theme;
class Sample;
class Music;

// Mouse button masks as the platform delivers them.
enum MouseButtonMask { MB_LEFT = 1, MB_MIDDLE = 2, MB_RIGHT = 4, MB_WHEEL_UP = 8, MB_WHEEL_DOWN = 16 };

class GameApp {
public:
    enum { DEFAULT_FRAME_RATE = 60, LOG_SIZE_LIMIT = 32768 };
    // Exit code of a start that cannot go on.
    enum { EXIT_START_FAILED = 2 };

    GameApp();
    virtual ~GameApp();

    // The one application; null before its construction and after its destruction.
    static GameApp* getInstance() { return s_pInstance; }

    // --- start-up, the loop, shut-down ---
    // The frame loop: init hook, frames until a quit request, exit hook, a
    // black screen; returns the exit code.
    int run();
    // The init hook (false ends the program); the default runs init().
    virtual bool onInit();
    // The exit hook; the default saves the settings.
    virtual void onExit();
    // The application's own start-up of the installed platform and drivers.
    bool init(int nWidth, int nHeight, int nVideoFlags);
    // The picture the video driver's start-up gives the window; set before init.
    void setWindowIcon(Tsl::SmartPtr<Image> pIcon);
    Tsl::SmartPtr<Image> getWindowIcon() const;
    // One frame: wait, dt, audio, modes, events, render, release ended modes.
    void runFrame();

    void setPlatform(IPlatform* pPlatform);
    IPlatform* getPlatform() const { return m_pPlatform; }
    IVideoDriver* getVideoDriver() const;
    IAudioDriver* getAudioDriver() const;
    bool isAudioEnabled() const { return m_bAudioEnabled; }
    void setAudioEnabled(bool bEnabled) { m_bAudioEnabled = bEnabled; }

    // Frame interval = 1000 / fps ms (integer division); below 1 fps: no wait.
    void setFrameRate(int nFps);
    int getFrameRate() const { return m_nFrameRate; }
    void setMaxFrameTime(float fSeconds, bool bClamp);
    int getFrameCounter() const { return m_nFrameCounter; }
    unsigned int getTicks() const;
    void getMousePosition(int* pX, int* pY) const;
    int getScreenWidth() const;
    int getScreenHeight() const;
    void showCursor(bool bShow);

    void quit(int nExitCode = 0);
    // Ends a start that cannot go on, or a run that lost what its start set
    // up (the display): the loop stops with EXIT_START_FAILED and the exit
    // hook saves as on a quit. The message goes to standard error and the log.
    virtual void failStart(const Tsl::String& sWhat);
    bool isQuitRequested() const { return m_bQuit; }
    int getExitCode() const { return m_nExitCode; }
    bool getConfirmExit() const { return m_bConfirmExit; }
    void setConfirmExit(bool bConfirm) { m_bConfirmExit = bConfirm; }
    // Shows the exit confirmation, unless one is open already (a second close
    // request while it is shown adds nothing); without a confirmation mode of
    // the application's own the program quits at once.
    virtual void createExitConfirmMode();

    // A message the player must see while the game has no screen (before its
    // screen opens or after it closed it): standard error, the log, and a
    // window of its own (ui/messagewindow.h) that waits for a click or a key.
    // The log says whether the window was shown and, when not, why (the
    // game's screen is open, no display, the dummy video driver). True when
    // it was shown. A connection to the X server cut while the window waits
    // ends the program with nExitCodeIfCut.
    static bool showMessageBox(const char* pszCaption, const char* pszText, int nExitCodeIfCut = 1);
    // For a message the player also sees on the game's screen: standard
    // error and the log only.
    static void printMessage(const char* pszCaption, const char* pszText);
    // Shuts the platform down (the desktop is back), shows the message box
    // when there is a text, and ends the program with exit code 1.
    [[noreturn]] static void fatalExit(const char* pszCaption = nullptr, const char* pszText = nullptr);

    void setArguments(int nArgc, const char* const* ppszArgv);
    Tsl::List<Tsl::String> getArguments() const { return m_lArguments; }

    // --- the log: appended and closed on every write, nothing without a log ---
    // Opens the log, deleting an old one over LOG_SIZE_LIMIT bytes.
    static void openLog(const char* pszPath);
    static void closeLog();
    static const Tsl::String& getLogFile();
    static void log(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;
    // The log report: the log file's bytes deflated and encoded three bytes to
    // four characters (platform/encoding.h), ready to travel as a URL query
    // value. Raises when the log cannot be read.
    static Tsl::String makeLogReport(const char* pszLogFile);
    // Writes the report of the log into a file beside it (the log's name with
    // ".report"); returns that file's name, empty when it could not be written.
    static Tsl::String saveLogReport(const char* pszLogFile);
    // The log's bytes back from a report.
    static Tsl::String readLogReport(const Tsl::String& sReport);

    // --- modes (top at index 0) ---
    void pushMode(Tsl::SmartPtr<GameMode> pMode);
    // Pushes the mode at the start of a frame, once every mode given here
    // before it has left the stack: a message that comes up in the middle of
    // something (a failed save) must not land under the screen about to come.
    void pushModeLater(Tsl::SmartPtr<GameMode> pMode);
    // Pushes the transition, which later ends itself and pushes the target.
    void pushModeWithTransition(Tsl::SmartPtr<GameMode> pTarget, Tsl::SmartPtr<GameMode> pTransition);
    // Pushes the mode and runs frames until it has left the stack.
    void runModal(Tsl::SmartPtr<GameMode> pMode);
    // Only the top mode may end or suspend itself.
    void endMode(GameMode* pMode);
    void suspendMode(GameMode* pMode);
    Tsl::SmartPtr<GameMode> getModeAt(int nIndex) const;
    int getModeCount() const { return m_lModes.getCount(); }
    int getModeIndex(const GameMode* pMode) const;
    int getLowestDrawnModeIndex() const;
    // While set, pushes and pops do not move the focus (transitions swapping modes).
    void setSuppressFocusChanges(bool bSuppress) { m_bSuppressFocusChanges = bSuppress; }
    // The click being handled closed what lay over the screen (a dialog, a
    // hint): its release reaches nothing, nor does a press before the screen
    // has been drawn once, nor the second click of a double-click. A mode
    // that ends during a click does this by itself.
    void swallowClick();

    // --- input entry points (the platform's event pump calls these) ---
    virtual bool onKeyDown(int nKey, int nModifiers);
    virtual bool onKeyUp(int nKey, int nModifiers);
    virtual bool onChar(int nCharacter);
    virtual void onMouseMove(int nX, int nY, bool bInside);
    virtual bool onMouseDown(int nButton, int nX, int nY);
    virtual bool onMouseUp(int nButton, int nX, int nY);
    virtual void onQuit();
    virtual void onActivate();
    virtual void onDeactivate();
    virtual void onMouseEnter();
    virtual void onMouseLeave();
    // A key no mode handled.
    virtual bool onUnhandledKey(int nKey, int nModifiers) { return false; }

    // --- resources ---
    void addResourceProvider(Tsl::SmartPtr<Tsl::ResourceProvider> pProvider);
    // Adds a plain folder (such as "3rdparty" beside the program) when it exists.
    bool addResourceFolder(const char* pszPath);
    // Adds an archive by file name; a broken one is logged and skipped.
    bool addArchive(const char* pszPath);
    const Tsl::List<Tsl::SmartPtr<Tsl::ResourceProvider>>& getResourceProviders() const { return m_lProviders; }
    // The resolved name (alias applied, then every provider with every suffix
    // of the null-terminated list); "" when none has it. Never raises.
    Tsl::String findResource(const char* pszName, const char* const* ppszSuffixes = nullptr) const;
    bool hasResource(const char* pszName) const;
    Tsl::SmartPtr<Tsl::Resource> getResource(const char* pszName) const;
    // Alias lists: lines of "alias target".
    void loadResourceAliases(const char* pszResource);
    void loadImageAliases(const char* pszResource);
    Tsl::String applyImageAlias(const char* pszName) const;

    // --- caches ---
    Tsl::SmartPtr<Image> getImage(const char* pszName);
    bool hasImage(const char* pszName);
    void addImage(const char* pszName, Tsl::SmartPtr<Image> pImage, int nFlags = 0);
    Tsl::List<Tsl::String> getCachedImageNames() const { return m_imageCache.getNames(); }
    void releaseImagesExcept(const Tsl::List<Tsl::String>& lKeep);
    void releaseImage(const char* pszName);
    Tsl::SmartPtr<Image> createImage(int nWidth, int nHeight, bool bAlpha);
    Tsl::SmartPtr<Image> createImageFromPixels(void* pPixels, int nWidth, int nHeight, int nBpp, int nPitch,
                                               unsigned int nRedMask, unsigned int nGreenMask,
                                               unsigned int nBlueMask, unsigned int nAlphaMask);
    Tsl::SmartPtr<Sample> getSample(const char* pszName);
    Tsl::SmartPtr<Music> getMusic(const char* pszName);
    // Drops the cached music unless the audio driver still holds it.
    void releaseMusic(const char* pszName);
    Tsl::List<Tsl::String> getCachedMusicNames() const { return m_musicCache.getNames(); }

    Tsl::SmartPtr<Animation> getAnimation(const char* pszName);
    Tsl::SmartPtr<Animation> getAnimation(const char* pszFile, const char* pszKey,
                                          const Tsl::List<Tsl::String>& lParams);
    bool hasAnimation(const char* pszKey) const { return m_hAnimations.hasKey(pszKey); }
    Tsl::List<Tsl::String> getAnimationNames() const { return m_hAnimations.getKeys(); }
    void releaseAnimation(const char* pszKey) { m_hAnimations.remove(pszKey); }
    void preloadAnimation(const char* pszFile);
    void preloadAnimation(const char* pszFile, const char* pszKey, const Tsl::List<Tsl::String>& lParams);
    // One step of the queued loading; false when the queue is empty.
    bool stepAnimationPreload();
    int getPreloadQueueLength() const { return m_lPreloads.getCount(); }
    // Pictures made ready ahead of their first use, so that the screen that
    // needs them can be built and drawn without decoding any: queued by name
    // (nothing when cached or queued already), then each one loaded into the
    // image cache and handed to the video driver for its textures.
    void preloadImage(const char* pszName);
    // One queued picture; false when the queue is empty. A picture that cannot
    // be loaded leaves the queue with a line in the log: the screen that asks
    // for it meets the error then, where it can tell the player.
    bool stepImagePreload();
    int getImagePreloadQueueLength() const { return m_lImagePreloads.getCount(); }
    // Queued pictures, then queued animations, one step at least, until both
    // queues are empty or the next step would likely end more than nMs
    // milliseconds of the platform clock after the start. True while anything
    // is left. A broken animation leaves the queue as a picture does.
    bool stepPreloads(unsigned int nMs);
    // The key of a template animation: the file, then "-" and each parameter.
    static Tsl::String makeAnimationKey(const char* pszFile, const Tsl::List<Tsl::String>& lParams);

    // While a DisableImageCache guard lives, images fetched by name are not kept.
    bool isImageCacheEnabled() const { return m_nImageCacheDisabled == 0; }

    // --- sound ---
    int getSoundVolume() const { return m_nSoundVolume; }
    int getMusicVolume() const { return m_nMusicVolume; }
    // 0 to 255; the driver gets the value divided by 255.0.
    void setSoundVolume(int nVolume);
    void setMusicVolume(int nVolume);
    int playSound(Tsl::SmartPtr<Sample> pSample, bool bLoop = false, int nChannel = -1);
    void stopSound(int nChannel);
    void playMusic(const char* pszName, bool bLoop);
    Tsl::String getMusicName() const;
    void stopAllAudio();

    // --- settings: string keys, string values ---
    // Copies of damaged settings files kept beside the file.
    enum { DAMAGED_SETTINGS_COPIES = 3 };
    void setSettingsFile(const char* pszPath) { m_sSettingsFile = pszPath; }
    const Tsl::String& getSettingsFile() const { return m_sSettingsFile; }
    Tsl::String getSetting(const char* pszKey) const;
    void setSetting(const char* pszKey, const char* pszValue);
    // The whole value, zero bytes included (the file keeps them; a C string would end at the first).
    void setSetting(const char* pszKey, const Tsl::String& sValue);
    bool hasSetting(const char* pszKey) const { return m_hSettings.hasKey(pszKey); }
    void removeSetting(const char* pszKey);
    Tsl::List<Tsl::String> getSettingKeys() const { return m_hSettings.getKeys(); }
    // Reads the settings file over the defaults. Every entry read whole is
    // applied, even from a damaged file. A file that is damaged or holds an
    // entry past the bounds is kept under a second name (numbered,
    // ".damaged.<n>", the last DAMAGED_SETTINGS_COPIES kept; a hard link, or
    // a copy where none can be made), and what was read is written over it
    // at once, so that a crash at any moment finds a good file or the
    // damaged one, never none. When it cannot be kept, it stays as it is and
    // the next save keeps it first or saves nothing. The entries a damaged
    // file lost are taken from the kept copy (getKeptSettingsFile); where the
    // damaged file's stream failed its check inside (not merely cut short),
    // the kept copy's own values win too when its check held, as the damaged
    // file may have handed on changed bytes, and of the keys the kept copy
    // lacks only the application's own stay. A damaged kept copy only fills
    // in. Past SettingsFile::MAX_ENTRIES, the defaults' keys and
    // getOwnSettingKeys are still read. A missing settings file beside a kept
    // copy is read from the copy and written again (getRestoredSettings). At
    // the name (links followed), anything but a regular file the game may
    // read (a folder, a FIFO, a device, a socket, a file of the wrong mode or
    // owner) is never opened to read where that could wait or act, and is
    // left as it is: the settings come from the kept copy, and no save of
    // this run writes anything (getUnreadableSettings). A missing path
    // without a kept copy leaves the defaults. True when read whole.
    bool loadSettings();
    // Where the last loadSettings kept a damaged file: its numbered copy, or
    // the file itself when it could not be kept (yet); empty when there was
    // none.
    const Tsl::String& getDamagedSettings() const { return m_sDamagedSettings; }
    // What the last loadSettings could not read at the settings file's name
    // (the end of the links from it); empty when none.
    const Tsl::String& getUnreadableSettings() const { return m_sUnreadableSettings; }
    // What stands there, as the cause that no save of this run is made.
    SaveFailure::Cause getUnreadableSettingsCause() const { return m_eUnreadableCause; }
    // The kept copy when the last loadSettings took the settings from it in
    // place of a file that was missing or could not be read; empty otherwise.
    const Tsl::String& getRestoredSettings() const { return m_sRestoredSettings; }
    // The last good settings file, kept beside it (the settings file's name
    // and ScreenNames::SETTINGS_KEPT_SUFFIX): each save that replaces a file
    // which reads whole first copies it here.
    Tsl::String getKeptSettingsFile() const;
    // Written to a temporary file of this process's own, sent to the disk and
    // renamed, the folder synced after, so a crash, a power cut or a failing
    // disk never loses the old one and two games saving into one folder
    // never take each other's file. A symbolic link is followed: its target
    // is replaced, the link stays. The new file takes the old one's mode.
    // Every failure is logged; the first of the run also goes to
    // onSettingsNotSaved. Nothing is saved in a run whose start could not
    // read what stands at the settings file's name.
    bool saveSettings();

    // --- the look: theme and cursor ---
    // The current theme: the built-in fonts and default styles until a
    // ".theme" file adds to them.
    Theme* getTheme();
    // Reads a ".theme" resource into the current theme and takes its cursor.
    void loadTheme(const char* pszResource);
    // Hands the theme's cursor of that style to the video driver.
    void applyCursor(const char* pszStyle = "Default");
    // The drawn ("custom") cursor instead of the system one, as the
    // "CustomCursor" setting keeps it; the change shows at once.
    void setCustomCursor(bool bCustom);
    bool isCustomCursor() const { return getSetting("CustomCursor") != "FALSE"; }

    // --- string tables: look-ups upper-case the key; a missing key shows the key ---
    void loadStringTable(const char* pszResource);
    Tsl::String getString(const char* pszKey) const;
    bool hasString(const char* pszKey) const;
    // Every key of the loaded tables (upper case).
    Tsl::List<Tsl::String> getStringKeys() const { return m_hStrings.getKeys(); }

protected:
    // The application's exit confirmation; null quits without asking.
    virtual Tsl::SmartPtr<GameMode> newExitConfirmMode() { return nullptr; }
    // The first save of the run that failed: the folder it went to and why,
    // in plain words (the raw error is in the log). The default shows a
    // message box (standard error and the log).
    virtual void onSettingsNotSaved(const Tsl::String& sFolder, const Tsl::String& sWhy);
    // Keys of the application's own that a settings file must not lose to
    // SettingsFile::MAX_ENTRIES (the defaults' keys count as well): the
    // standard screens' keys here.
    virtual Tsl::List<Tsl::String> getOwnSettingKeys() const;

private:
    friend class DisableImageCache;
    friend class RecordImageLoads;
    struct PreloadEntry {
        Tsl::String sKey;
        Tsl::SmartPtr<AnimationLoader> pLoader;
        bool operator==(const PreloadEntry& other) const { return sKey == other.sKey; }
    };

    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    void waitForNextFrame();
    void updateModes(float fDt);
    void releaseEndedModes();
    void pushWaitingMode();
    void requireTopMode(const GameMode* pMode) const;
    void removeFromStack(GameMode* pMode);
    void afterStackChange(Tsl::SmartPtr<GameMode> pOldTop);
    void cancelPresses();
    // Offers an event to the modes from the top until one handles it or a
    // mode does not pass input to the one below.
    template <class Handler>
    bool routeInput(Handler handle);
    // routeInput for a mouse button at the point.
    template <class Handler>
    bool routeClick(int nX, int nY, Handler handle);
    bool isPreloadQueued(const Tsl::String& sKey) const;
    Tsl::SmartPtr<Animation> finishPreload(const Tsl::String& sKey);
    void loadAliases(const char* pszResource, Tsl::Hash<Tsl::String, Tsl::String>& hAliases);
    // What a save must never refuse past SettingsFile::MAX_ENTRIES: the
    // defaults' keys and getOwnSettingKeys.
    Tsl::List<Tsl::String> getKeysNeverRefused() const;
    // Leaves what stands at sTarget as it is (nMode its st_mode, nErrno why
    // it could not be read), refuses every save of this run and takes the
    // kept copy's settings.
    void refuseUnreadableSettings(const Tsl::String& sTarget, mode_t nMode, int nErrno);
    // Reads the file's bytes over the defaults; a damaged one is filled in
    // from the kept copy, kept aside and written again repaired.
    bool readSettingsFile(const std::string& sBytes);
    void applySettings(const Tsl::Hash<Tsl::String, Tsl::String>& hRead);
    // The kept copy read into hKept as report found it; false (logged unless
    // missing) when it cannot be read.
    bool readKeptSettings(Tsl::Hash<Tsl::String, Tsl::String>& hKept, SettingsFile::Report& report,
                          const Tsl::List<Tsl::String>& lOwnKeys);
    // Fills in hRead from the kept copy after a damaged read, as report found it.
    void takeFromKeptSettings(Tsl::Hash<Tsl::String, Tsl::String>& hRead, const SettingsFile::Report& report,
                              const Tsl::List<Tsl::String>& lOwnKeys);
    // The kept copy's settings over the defaults, in place of the file's;
    // false (logged) when there is none to read.
    bool takeKeptSettings();
    // The settings file is missing: the kept copy's settings, written again.
    void restoreKeptSettings();
    // Writes the settings at once after a damaged or missing file; a failure
    // is logged and left to the next save.
    void saveRepairedSettings();
    // "<settings file>.damaged.<nNumber>".
    Tsl::String getDamagedCopy(int nNumber) const;
    // Keeps a damaged settings file as the next numbered copy and sets
    // m_sDamagedSettings. True when kept, or when the file is gone and
    // nothing is left to keep; false with nErrno when it could not be kept,
    // and then m_bKeepDamagedFirst is set.
    bool keepDamagedSettings(int& nErrno);
    // A second name (a hard link, else a copy) for the damaged bytes.
    bool copyDamagedSettings(const Tsl::String& sCopy, int& nErrno);
    // Copies the settings file about to be replaced (sTarget, links followed,
    // old its stat) to the kept copy when it reads whole.
    void keepPreviousSettings(const Tsl::String& sTarget, const struct stat& old);
    // The bytes of the file about to be replaced, checked whole; false when
    // they cannot be read or are not whole.
    bool readWholeSettings(const Tsl::String& sTarget, const struct stat& old, std::string& sBytes);
    SaveFailure::Cause getSaveFailureCause(int nErrno, const Tsl::String& sFolder) const;
    // Empty when saved; otherwise the failure's detail for the log, nErrno
    // the failed call's error number and sFolder the folder written to.
    Tsl::String writeSettingsFile(int& nErrno, Tsl::String& sFolder);
    // The settings file's bytes for m_hSettings; false with nErrno.
    bool packSettings(std::string& sBytes, int& nErrno) const;
    void applyVolumes();
    void initAudio();
    void installAudioLoaders();
    void closeFallbackAudio();
    void shutdownPlatform();

    static GameApp* s_pInstance;

    IPlatform* m_pPlatform;
    // Stands in when the platform's audio driver cannot start; owned here
    // because the platform accepts only one driver.
    IAudioDriver* m_pFallbackAudio;
    bool m_bAudioEnabled;
    // Whether the player was told that no sound device could be opened.
    bool m_bToldSilent;
    int m_nFrameRate;
    unsigned int m_nFrameInterval;
    unsigned int m_nNextFrameTime;
    unsigned int m_nLastTicks;
    float m_fMaxFrameTime;
    bool m_bClampFrameTime;
    int m_nFrameCounter;
    bool m_bQuit;
    int m_nExitCode;
    bool m_bConfirmExit;
    // The confirmation last shown, to tell whether it is still open.
    Tsl::SmartPtr<GameMode> m_pExitConfirm;
    bool m_bWasFullScreen;
    Tsl::List<Tsl::String> m_lArguments;

    Tsl::List<Tsl::SmartPtr<GameMode>> m_lModes;
    Tsl::List<Tsl::SmartPtr<GameMode>> m_lEndedModes;
    Tsl::List<Tsl::SmartPtr<GameMode>> m_lWaitingModes;
    // The last mode pushModeLater put on the stack.
    Tsl::SmartPtr<GameMode> m_pLastWaitingMode;
    bool m_bIgnoreKeyUp;
    bool m_bIgnoreMouseUp;
    // While a mouse button's press or release is handed to the modes, and where.
    bool m_bRoutingClick;
    int m_nClickX;
    int m_nClickY;
    ClosingClick m_closingClick;
    bool m_bSuppressFocusChanges;

    Tsl::List<Tsl::SmartPtr<Tsl::ResourceProvider>> m_lProviders;
    Tsl::Hash<Tsl::String, Tsl::String> m_hResourceAliases;
    Tsl::Hash<Tsl::String, Tsl::String> m_hImageAliases;

    ResCache<Image> m_imageCache;
    ResCache<Sample> m_sampleCache;
    ResCache<Music> m_musicCache;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Animation>> m_hAnimations;
    Tsl::List<PreloadEntry> m_lPreloads;
    Tsl::List<Tsl::String> m_lImagePreloads;  // image cache names
    int m_nImageCacheDisabled;
    // Where a RecordImageLoads guard collects names; null when none lives.
    Tsl::List<Tsl::String>* m_plImageLoads;

    int m_nSoundVolume;
    int m_nMusicVolume;

    Tsl::SmartPtr<Theme> m_pTheme;
    Tsl::SmartPtr<Image> m_pWindowIcon;

    Tsl::String m_sSettingsFile;
    Tsl::String m_sDamagedSettings;
    Tsl::String m_sUnreadableSettings;
    SaveFailure::Cause m_eUnreadableCause;
    Tsl::String m_sRestoredSettings;
    // A damaged file could not be moved aside at the start: a save keeps it first.
    bool m_bKeepDamagedFirst;
    bool m_bSaveFailureReported;
    // What this run saved last, and the file that holds it (device, inode,
    // size, change time): while that file is still there unchanged, it is
    // known whole without reading it again.
    std::string m_sSavedBytes;
    std::string m_sSavedFile;
    Tsl::Hash<Tsl::String, Tsl::String> m_hSettings;
    Tsl::Hash<Tsl::String, Tsl::String> m_hStrings;
};

// Scope guard: while it lives, images fetched by name are not kept in the
// image cache; its end restores the previous state.
class DisableImageCache {
public:
    DisableImageCache();
    ~DisableImageCache();
    DisableImageCache(const DisableImageCache&) = delete;
    DisableImageCache& operator=(const DisableImageCache&) = delete;
};

// Scope guard: while it lives, the cache name of every image loaded into the
// image cache is appended to the list, so that whoever caused the loads can
// release exactly those later. Guards nest; the innermost one records.
class RecordImageLoads {
public:
    explicit RecordImageLoads(Tsl::List<Tsl::String>& lNames);
    ~RecordImageLoads();
    RecordImageLoads(const RecordImageLoads&) = delete;
    RecordImageLoads& operator=(const RecordImageLoads&) = delete;

private:
    Tsl::List<Tsl::String>* m_plOuter;
};
