// The processes: crashes (one inside malloc) leave their lines through the
// descriptor and a report at the next start; an exception ends the run
// with 1 and a report; a second instance gives way; a killed one does not
// block the next start.
#include "game_fixtures.h"

#include "game/crashhandler.h"
#include "game/gamemain.h"
#include "game/instancelock.h"
#include "base/names.h"

#include "platform/sighandler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
const bool UNDER_SANITIZER = true;  // it takes a heap fault first
#else
const bool UNDER_SANITIZER = false;
#endif

void crashBySegfault() {
    // A page that is never mapped, but not null: the undefined-behaviour
    // checker lets the store through to the fault.
    volatile int* pNowhere = reinterpret_cast<volatile int*>(uintptr_t(64));
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // the bad store is the point
    *pNowhere = 1;
#pragma GCC diagnostic pop
}

// Breaks a freed chunk's list links, then asks malloc for memory: malloc
// itself faults (or aborts) while walking its lists.
void crashInsideMalloc() {
    void* (*volatile pfnMalloc)(size_t) = std::malloc;
    void (*volatile pfnFree)(void*) = std::free;
    size_t* pChunk = static_cast<size_t*>(pfnMalloc(4000));
    volatile void* pFence = pfnMalloc(100);
    (void)pFence;
    pfnFree(pChunk);
    volatile size_t* pLinks = pChunk;
    pLinks[0] = 0x4141414141414141ull;
    pLinks[1] = 0x4141414141414141ull;
    volatile void* pAgain = pfnMalloc(4000);
    (void)pAgain;
    raise(SIGSEGV);  // not reached when malloc faulted as it should
}

bool crashExit(int nStatus) {
    return WIFEXITED(nStatus) &&
           (WEXITSTATUS(nStatus) == CRASH_EXIT_BASE + SIGSEGV || WEXITSTATUS(nStatus) == CRASH_EXIT_BASE + SIGABRT);
}

struct CrashTest : ::testing::Test {
    TempFolder folder;
    std::string sLog;
    void SetUp() override {
        ::testing::FLAGS_gtest_death_test_style = "fast";
        sLog = folder.file("game.log");
    }
    void crashChild(void (*pfnCrash)()) {
        openCrashLog(sLog.c_str());
        installCrashHandlers();
        Tsl::TraceScope scope("crashingFunction", "crash_test.cpp", 42);
        pfnCrash();
    }
};

TEST_F(CrashTest, ACrashWritesItsLinesAndTheNextStartReportsItOnce) {
    for (void (*pfnCrash)() : {crashBySegfault, crashInsideMalloc}) {
        if (pfnCrash == crashInsideMalloc && UNDER_SANITIZER) break;
        writeFile(sLog, "M: == STARTUP ==\nB: playing\n");
        EXPECT_EXIT(crashChild(pfnCrash), crashExit, "");
        std::string sText = readFile(sLog);
        EXPECT_NE(std::string::npos, sText.find("M: ** SIG ")) << sText;
        EXPECT_NE(std::string::npos, sText.find("crashingFunction (crash_test.cpp, line 42)")) << sText;
        EXPECT_NE(std::string::npos, sText.find("M: == END ==\n")) << sText;

        Tsl::String sReport = reportPreviousCrash(sLog.c_str());
        ASSERT_EQ(Tsl::String((sLog + ".report").c_str()), sReport);
        EXPECT_EQ(sText, std::string(GameApp::readLogReport(readFile(sReport.c_str()).c_str()).c_str()));
        // Reported once: the next run starts a new part of the log.
        writeFile(sLog, sText + "M: == STARTUP ==\n");
        EXPECT_TRUE(reportPreviousCrash(sLog.c_str()).isEmpty());
    }
}

class ThrowingApp : public TestQarnApp {
public:
    bool onInit() override { TSL_THROW(BadStateException, "the init broke"); }
};

TEST_F(CrashTest, AnExceptionEndsTheRunWithOneALogAndAReport) {
    auto run = [&]() {
        setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
        LaunchOptions options;
        options.sUserFolder = folder.sPath.c_str();
        options.fnMakeApp = []() -> QarnApp* { return new ThrowingApp(); };
        const char* apszArgs[] = {"--wndclass", "crash-test-exception"};
        std::exit(runGame(2, apszArgs, options));
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(1), "the init broke");
    std::string sText = readFile(folder.file("tav.log"));
    size_t nException = sText.find("M: ******************** EXCEPTION ********************\nM: ");
    EXPECT_NE(std::string::npos, sText.find("M: == END ==", nException)) << sText;
    EXPECT_FALSE(readFile(folder.file("tav.log.report")).empty());
}

class StoppingApp : public TestQarnApp {
public:
    bool onInit() override { return false; }
};

TEST_F(CrashTest, AFolderThatCannotBeMadeIsNamedWithWhyAndTheOneUsedInstead) {
    std::string sHome = folder.file("home");
    auto run = [&]() {
        mkdir(sHome.c_str(), 0700);
        writeFile(folder.file("blocked"), "a file where the data folder should be");
        setenv("HOME", sHome.c_str(), 1);
        setenv("XDG_DATA_HOME", folder.file("blocked").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
        LaunchOptions options;
        options.fnMakeApp = []() -> QarnApp* { return new StoppingApp(); };
        const char* apszArgs[] = {"--wndclass", "crash-test-folder"};
        std::exit(runGame(2, apszArgs, options));
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(1),
                std::string(Names::GAME_TITLE) + ": The folder .*blocked/Quillfen/Taverlin/ cannot be made .*: " +
                    sHome + "/ is used instead");
    EXPECT_NE(std::string::npos, readFile(sHome + "/tav.log").find("M: Settings and log in " + sHome + "/\n"));
}

// A FIFO where the log goes would hold the first line logged until someone
// read it: the game starts without a log and says so.
TEST_F(CrashTest, AnythingButAFileWhereTheLogGoesLeavesTheGameWithoutALog) {
    ASSERT_EQ(0, mkfifo(folder.file("tav.log").c_str(), 0600));
    auto run = [&]() {
        alarm(60);  // a start held by the FIFO fails here, not at the suite's limit
        setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
        LaunchOptions options;
        options.sUserFolder = folder.sPath.c_str();
        options.fnMakeApp = []() -> QarnApp* { return new StoppingApp(); };
        const char* apszArgs[] = {"--wndclass", "crash-test-fifo"};
        std::exit(runGame(2, apszArgs, options));
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(1),
                std::string(Names::GAME_TITLE) + ": The log .*/tav.log is not a file: the game runs without a log");
}

TEST_F(CrashTest, ASecondInstanceGivesWayAndAKilledOneBlocksNothing) {
    setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
    const char* pszClass = "crash-test-instance";
    Tsl::String sUser = (folder.sPath + "/").c_str();
    int aPipe[2];
    ASSERT_EQ(0, pipe(aPipe));
    pid_t nFirst = fork();
    if (nFirst == 0) {
        InstanceLock lock(pszClass, sUser);
        char c = lock.isHeldElsewhere() ? 'n' : 'y';
        if (write(aPipe[1], &c, 1) != 1) _exit(3);
        pause();
        _exit(0);
    }
    char cTook = 0;
    ASSERT_EQ(1, read(aPipe[0], &cTook, 1));
    EXPECT_EQ('y', cTook);
    auto second = [&]() {
        LaunchOptions options;
        options.sUserFolder = folder.sPath.c_str();
        const char* apszArgs[] = {"--wndclass", pszClass};
        std::exit(runGame(2, apszArgs, options));
    };
    EXPECT_EXIT(second(), ::testing::ExitedWithCode(1), std::string(Names::GAME_TITLE) + " is running already");
    EXPECT_TRUE(InstanceLock(pszClass, sUser).isHeldElsewhere());
    kill(nFirst, SIGKILL);
    int nStatus = 0;
    waitpid(nFirst, &nStatus, 0);
    EXPECT_FALSE(InstanceLock(pszClass, sUser).isHeldElsewhere());
    close(aPipe[0]);
    close(aPipe[1]);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(CrashTest, TheLockFileGoesWithTheGameThatHeldItAndStaysForTheOneThatGaveWay) {
    setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
    Tsl::String sUser = folder.sPath.c_str();
    std::string sFile = InstanceLock::getLockFile("crash-test-tidy", sUser).c_str();
    {
        InstanceLock holder("crash-test-tidy", sUser);
        {
            InstanceLock second("crash-test-tidy", sUser);
            EXPECT_TRUE(second.isHeldElsewhere());
        }
        EXPECT_EQ(0, access(sFile.c_str(), F_OK));
    }
    EXPECT_NE(0, access(sFile.c_str(), F_OK));
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(CrashTest, TheLockFileIsNeverReachedThroughALinkPlantedInItsPlace) {
    // In a shared temporary folder another user could put a link where the
    // lock file goes; following it would create files in their chosen place.
    setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
    std::string sTarget = folder.file("planted-target");
    Tsl::String sUser = folder.sPath.c_str();
    ASSERT_EQ(0, symlink(sTarget.c_str(), InstanceLock::getLockFile("crash-test-link", sUser).c_str()));
    {
        InstanceLock lock("crash-test-link", sUser);
        EXPECT_FALSE(lock.isHeldElsewhere());
    }
    EXPECT_NE(0, access(sTarget.c_str(), F_OK));
    unsetenv("XDG_RUNTIME_DIR");
}

} // namespace

// A runtime folder variable that is set but empty names no folder either.
TEST_F(CrashTest, WithoutARuntimeFolderEachUserLocksInTheirOwnFolder) {
    const char* pszClass = "crash-test-users";
    Tsl::String sMine = (folder.sPath + "/mine/").c_str();
    Tsl::String sOthers = (folder.sPath + "/others/").c_str();
    ASSERT_EQ(0, mkdir(sMine.c_str(), 0700));
    ASSERT_EQ(0, mkdir(sOthers.c_str(), 0700));
    for (bool bSetEmpty : {false, true}) {
        SCOPED_TRACE(bSetEmpty);
        if (bSetEmpty)
            setenv("XDG_RUNTIME_DIR", "", 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        // Another user's game holds its lock; ours must still start.
        InstanceLock others(pszClass, sOthers);
        ASSERT_FALSE(others.isHeldElsewhere());
        EXPECT_FALSE(InstanceLock(pszClass, sMine).isHeldElsewhere());
        EXPECT_EQ(0, InstanceLock::getLockFile(pszClass, sMine).find(sMine.c_str()));
    }
    unsetenv("XDG_RUNTIME_DIR");
}
