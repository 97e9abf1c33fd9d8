// Folders, URLs, the text encoding, registry strings, crash signals and the mutex.
#include "sdl_fixtures.h"
#include "unprivileged.h"

#include "platform/encoding.h"
#include "platform/folders.h"
#include "platform/internet.h"
#include "platform/regutils.h"
#include "platform/sdl_platform.h"
#include "platform/sighandler.h"
#include "platform/threads.h"

#include "tsl2/memstream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool s_bCrashAgain = false;

// Recurses until the stack runs out.
int exhaustStack(int nDepth) {
    volatile char aFrame[1024];
    aFrame[0] = static_cast<char>(nDepth);
    if (nDepth < 0) return 0;
    return exhaustStack(nDepth + 1) + aFrame[0];
}

} // namespace

// The program's crash handler, as far as these tests need one.
void onSignal(int nSignal) {
    fprintf(stderr, "M: ** SIG %d [%X]\n", nSignal, nSignal);
    if (s_bCrashAgain) raise(SIGSEGV);
    _exit(3);
}

namespace {

bool isFolder(const std::string& sPath) {
    struct stat info;
    return stat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Points HOME and XDG_DATA_HOME at scratch folders for one test.
class UserFolders : public ::testing::Test {
protected:
    void SetUp() override {
        saveEnv("HOME", sOldHome);
        saveEnv("XDG_DATA_HOME", sOldData);
        sRoot = makeTempFolder("folders");
        ASSERT_FALSE(sRoot.empty());
        mkdir((sRoot + "/home").c_str(), 0700);
        setenv("HOME", (sRoot + "/home").c_str(), 1);
        setenv("XDG_DATA_HOME", (sRoot + "/data").c_str(), 1);
    }
    void TearDown() override {
        restoreEnv("HOME", sOldHome);
        restoreEnv("XDG_DATA_HOME", sOldData);
    }
    static void saveEnv(const char* pszName, std::unique_ptr<std::string>& pOld) {
        const char* psz = getenv(pszName);
        if (psz) pOld.reset(new std::string(psz));
    }
    static void restoreEnv(const char* pszName, const std::unique_ptr<std::string>& pOld) {
        if (pOld)
            setenv(pszName, pOld->c_str(), 1);
        else
            unsetenv(pszName);
    }

    std::string sRoot;
    std::unique_ptr<std::string> sOldHome, sOldData;
};

TEST_F(UserFolders, DataFolderCreatesEachPartOfTheSubPath) {
    EXPECT_EQ(Tsl::String((sRoot + "/data/").c_str()), getUserDataFolder(nullptr));
    Tsl::String sFolder = getUserDataFolder("Quillfen\\Taverlin");
    EXPECT_EQ(Tsl::String((sRoot + "/data/Quillfen/Taverlin/").c_str()), sFolder);
    EXPECT_TRUE(isFolder(sRoot + "/data/Quillfen/Taverlin"));
    // Parts cannot climb out of the data folder.
    EXPECT_EQ(Tsl::String((sRoot + "/data/x/").c_str()), getUserDataFolder("..\\x"));

    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Tsl::String((sRoot + "/home/.local/share/Game/").c_str()), getUserDataFolder("Game"));
}

TEST_F(UserFolders, UnusableDataFolderFallsBackToHome) {
    // A file where the folder should be: nothing can be created under it.
    std::ofstream(sRoot + "/blocked") << "x";
    setenv("XDG_DATA_HOME", (sRoot + "/blocked").c_str(), 1);
    UserFolder folder = findUserDataFolder("A\\B");
    EXPECT_EQ(Tsl::String((sRoot + "/home/").c_str()), folder.sPath);
    // Which folder failed, why, and which one stands in.
    EXPECT_NE(-1, folder.sProblem.find((sRoot + "/blocked/A/B/").c_str())) << folder.sProblem.c_str();
    EXPECT_NE(-1, folder.sProblem.find(std::strerror(ENOTDIR))) << folder.sProblem.c_str();
    EXPECT_NE(-1, folder.sProblem.find((sRoot + "/home/").c_str())) << folder.sProblem.c_str();
    EXPECT_FALSE(isFolderWritable((sRoot + "/blocked").c_str()));
    EXPECT_FALSE(isFolderWritable((sRoot + "/missing/").c_str()));
    EXPECT_TRUE(isFolderWritable((sRoot + "/home").c_str()));
    // The probe leaves nothing behind.
    EXPECT_EQ(0, system(("test -z \"$(ls -A '" + sRoot + "/home')\"").c_str()));
}

TEST_F(UserFolders, AReadOnlyDataFolderIsStillTheFolderAndSaysSo) {
    // What the folder holds can be read; only saving fails, and that is told.
    std::string sGame = sRoot + "/data/A/B";
    ASSERT_EQ(0, system(("mkdir -p '" + sGame + "' && echo saved > '" + sGame + "/file'").c_str()));
    int nResult = runUnprivileged([&]() {
        if (chmod(sGame.c_str(), 0555) != 0) return 1;
        UserFolder folder = findUserDataFolder("A\\B");
        if (folder.sPath != Tsl::String((sGame + "/").c_str())) return 2;
        if (folder.bWritable) return 3;
        if (folder.sProblem.find((sGame + "/").c_str()) < 0 || folder.sProblem.find("read-only") < 0) return 4;
        return chmod(sGame.c_str(), 0755) == 0 ? 0 : 5;
    });
    EXPECT_EQ(0, nResult);
}

TEST_F(UserFolders, PathsHaveNoLengthLimit) {
    Tsl::String sCurrent = getCurrentFolder();
    ASSERT_FALSE(sCurrent.isEmpty());
    EXPECT_EQ('/', sCurrent[-1]);
    EXPECT_EQ(sCurrent + "b/c", getFullPath("a/../b/./c"));
    std::string sLong = "/" + std::string(5000, 'x') + "/../y";
    EXPECT_EQ(Tsl::String("/y"), getFullPath(sLong.c_str()));
    std::string sDeep = "/" + std::string(3000, 'd') + "/" + std::string(3000, 'e');
    EXPECT_EQ(6002, getFullPath(sDeep.c_str()).getLength());
}

TEST_F(UserFolders, RegistryStringsRoundTripThroughTheStore) {
    unsigned char aBuffer[64];
    EXPECT_EQ(0ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "Path", aBuffer, sizeof(aBuffer)));
    EXPECT_FALSE(setRegistryString(HKEY_CURRENT_USER, "Software\\Game", "Path", "x"));
    ASSERT_TRUE(createRegistryKey(HKEY_CURRENT_USER, "Software\\Game"));
    EXPECT_EQ(0ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "Path", aBuffer, sizeof(aBuffer)));
    ASSERT_TRUE(setRegistryString(HKEY_CURRENT_USER, "Software\\Game", "Path", "tab\there\nline 100%"));
    EXPECT_EQ(19ul, getRegistryString(HKEY_CURRENT_USER, "software\\GAME", "path", aBuffer, sizeof(aBuffer)));
    EXPECT_STREQ("tab\there\nline 100%", reinterpret_cast<char*>(aBuffer));
    EXPECT_EQ(0ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "Path", aBuffer, 18));
    EXPECT_EQ(0ul, getRegistryString(HKEY_LOCAL_MACHINE, "Software\\Game", "Path", aBuffer, sizeof(aBuffer)));
    HKEY hKey = openRegistryKey(HKEY_CURRENT_USER, "Software\\Game", false);
    EXPECT_NE(nullptr, hKey);
    closeRegistryKey(hKey);
    // Making a key makes the keys above it.
    ASSERT_TRUE(createRegistryKey(HKEY_CURRENT_USER, "Software\\Maker\\Product"));
    EXPECT_TRUE(setRegistryString(HKEY_CURRENT_USER, "Software\\Maker", "Name", "m"));
}

// The store escapes '%' itself: a name or text full of them comes back as written.
TEST_F(UserFolders, PercentSignsInNamesAndValuesReadBackUnchanged) {
    ASSERT_TRUE(createRegistryKey(HKEY_CURRENT_USER, "Software\\Game"));
    ASSERT_TRUE(setRegistryString(HKEY_CURRENT_USER, "Software\\Game", "%", "50%41%"));
    unsigned char aBuffer[16];
    EXPECT_EQ(7ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "%", aBuffer, sizeof(aBuffer)));
    EXPECT_STREQ("50%41%", reinterpret_cast<char*>(aBuffer));
}

TEST_F(UserFolders, DamagedRegistryStoreReadsWhatItCanAndKeepsIt) {
    mkdir((sRoot + "/data").c_str(), 0700);
    std::string sStore = sRoot + "/data/win32-registry.txt";
    // Edited by hand: Windows line ends, upper case, a zero byte, stray
    // escapes and lines that are no entries at all.
    std::string sText = std::string("HKEY_CURRENT_USER\\Software\\Game\tPath\tC:\\Games\r\n") +
                        "garbage without tabs\r\n\t\t\n%\t%zz\t%\n" +
                        std::string("hkey_current_user\\software\\game\tzero\ta\0b\n", 41) +
                        "hkey_current_user\\software\\game\tcut\tend%2";
    std::ofstream(sStore, std::ios::binary).write(sText.data(), sText.size());
    unsigned char aBuffer[64];
    EXPECT_EQ(9ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "path", aBuffer, sizeof(aBuffer)));
    EXPECT_STREQ("C:\\Games", reinterpret_cast<char*>(aBuffer));
    EXPECT_EQ(6ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "cut", aBuffer, sizeof(aBuffer)));
    EXPECT_EQ(4ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "zero", aBuffer, sizeof(aBuffer)));
    EXPECT_EQ(0, memcmp("a\0b", aBuffer, 4));

    // Writing the store back keeps every value whole.
    ASSERT_TRUE(createRegistryKey(HKEY_CURRENT_USER, "Software\\Other"));
    EXPECT_EQ(9ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "path", aBuffer, sizeof(aBuffer)));
    EXPECT_EQ(4ul, getRegistryString(HKEY_CURRENT_USER, "Software\\Game", "zero", aBuffer, sizeof(aBuffer)));
    EXPECT_EQ(0, memcmp("a\0b", aBuffer, 4));
}

TEST(URLs, SeparatorAndShellSafeLaunch) {
    EXPECT_EQ(Tsl::String("http://h/p?"), addURLParamSeparator("http://h/p"));
    EXPECT_EQ(Tsl::String("http://h/p?a=1&"), addURLParamSeparator("http://h/p?a=1"));

    // A stand-in opener that writes down the one argument it was given.
    std::string sRoot = makeTempFolder("url");
    mkdir((sRoot + "/bin").c_str(), 0700);
    std::string sOpener = sRoot + "/bin/xdg-open";
    std::ofstream(sOpener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << sRoot << "/arg.tmp\"\nmv \"" << sRoot
                           << "/arg.tmp\" \"" << sRoot << "/arg\"\n";
    chmod(sOpener.c_str(), 0700);
    std::string sOldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (sRoot + "/bin:" + sOldPath).c_str(), 1);
    std::string sURL = "http://h/?q=1;touch " + sRoot + "/p1&x=$(touch " + sRoot + "/p2)`touch " + sRoot +
                       "/p3`|touch " + sRoot + "/p4";
    launchURL(sURL.c_str());
    launchURL("--help");
    // Nothing is left for us (or a thread of ours) to reap: the opener is
    // not our child.
    EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));
    EXPECT_EQ(ECHILD, errno);
    std::string sSeen;
    for (int i = 0; i < 500 && sSeen.empty(); ++i) {
        std::ifstream in(sRoot + "/arg");
        std::stringstream text;
        text << in.rdbuf();
        sSeen = text.str();
        if (sSeen.empty()) SDL_Delay(10);
    }
    setenv("PATH", sOldPath.c_str(), 1);
    EXPECT_EQ(sURL, sSeen);
    for (const char* pszFile : {"/p1", "/p2", "/p3", "/p4"}) EXPECT_NE(0, access((sRoot + pszFile).c_str(), F_OK));
}

TEST(Encoding, FourSymbolsPerThreeBytesAndBack) {
    const unsigned char aData[] = {0x00, 0xFF, 0x10, 0x80};
    EXPECT_EQ(4, encodeBytes(aData, 1).getLength());
    EXPECT_EQ(4, encodeBytes(aData, 3).getLength());
    EXPECT_EQ(8, encodeBytes(aData, 4).getLength());

    unsigned char aAll[256];
    for (int i = 0; i < 256; ++i) aAll[i] = static_cast<unsigned char>(i * 7 + 3);
    Tsl::String sText = encodeBytes(aAll, 255);
    for (int i = 0; i < sText.getLength(); ++i) EXPECT_TRUE(isalnum(sText[i]) || sText[i] == '-' || sText[i] == '_');
    std::unique_ptr<Tsl::MemStream> pStream(decodeBytes(sText));
    ASSERT_EQ(255, pStream->getSize());
    EXPECT_EQ(0, memcmp(aAll, pStream->getData(), 255));

    // A short last group is not read past its end; unknown symbols decode without fault.
    std::unique_ptr<Tsl::MemStream> pShort(decodeBytes(sText.left(6)));
    EXPECT_EQ(6, pShort->getSize());
    EXPECT_EQ(0, memcmp(aAll, pShort->getData(), 4));
    std::unique_ptr<Tsl::MemStream> pOdd(decodeBytes("!!!!"));
    EXPECT_EQ(3, pOdd->getSize());
}

TEST(CrashHandler, SignalsReachTheHandlerWhichCannotReenter) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            installCrashHandlers();
            raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(3), "M: \\*\\* SIG 11 \\[B\\]");
    EXPECT_EXIT(
        {
            installCrashHandlers();
            raise(SIGFPE);
        },
        ::testing::ExitedWithCode(3), "M: \\*\\* SIG 8 \\[8\\]");
    // A stack overflow still reaches the handler (it runs on a stack of its own).
    EXPECT_EXIT(
        {
            installCrashHandlers();
            exhaustStack(0);
        },
        ::testing::ExitedWithCode(3), "M: \\*\\* SIG 11 ");
    // A crash inside the handler ends the process instead of looping.
    EXPECT_EXIT(
        {
            s_bCrashAgain = true;
            installCrashHandlers();
            raise(SIGABRT);
        },
        ::testing::KilledBySignal(SIGSEGV), "SIG 6");
}

TEST(MutexTest, LazyImplementationFromThePlatform) {
    {
        Mutex orphan;
        EXPECT_THROW(orphan.lock(), Tsl::BadStateException);
    }
    RecordingApp app;
    Mutex early;
    app.setPlatform(new SDLPlatform());
    int nCount = 0;
    auto work = [&]() {
        for (int i = 0; i < 20000; ++i) {
            early.lock();
            ++nCount;
            early.unlock();
        }
    };
    early.lock();
    early.unlock();
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(40000, nCount);
}

} // namespace
