// Services the game's start-up asks of the application: the log report
// (deflated, encoded, written beside the log), the window icon handed to
// the video driver, and the string-table keys.
#include "fakes.h"

#include "app/gameapp.h"

#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct LogReportTest : ::testing::Test {
    std::string sFolder;
    std::string sLog;
    void SetUp() override {
        char szTemplate[] = "/tmp/logreport_test_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szTemplate));
        sFolder = szTemplate;
        sLog = sFolder + "/game.log";
    }
    void TearDown() override { std::system(("rm -rf '" + sFolder + "'").c_str()); }
};

TEST_F(LogReportTest, TheReportCarriesEveryByteOfTheLogAndLiesBesideIt) {
    std::string sBytes;
    for (int i = 0; i < 3 * 256 + 1; ++i) sBytes += char(i % 256);
    for (const std::string& sLogText : {std::string(), std::string("M: == STARTUP ==\n"), sBytes}) {
        std::ofstream(sLog, std::ios::binary) << sLogText;
        Tsl::String sReport = GameApp::makeLogReport(sLog.c_str());
        // Fit for a URL query: no separators, blanks or escapes.
        for (int i = 0; i < sReport.getLength(); ++i) EXPECT_EQ(nullptr, std::strchr("&=?# %\n", sReport[i]));
        Tsl::String sBack = GameApp::readLogReport(sReport);
        EXPECT_EQ(sLogText, std::string(sBack.c_str(), size_t(sBack.getLength())));
        GameApp::saveLogReport(sLog.c_str());
        std::ifstream in(sLog + ".report", std::ios::binary);
        std::stringstream saved;
        saved << in.rdbuf();
        EXPECT_EQ(std::string(sReport.c_str()), saved.str());
    }
    EXPECT_THROW(GameApp::makeLogReport((sFolder + "/none.log").c_str()), Tsl::Exception);
    EXPECT_TRUE(GameApp::saveLogReport((sFolder + "/none.log").c_str()).isEmpty());
}

TEST(StartupServicesTest, TheIconReachesTheVideoDriverAndTheStringKeysAreListed) {
    TestApp app;
    Tsl::SmartPtr<Image> pIcon = app.createImage(32, 32, true);
    app.setWindowIcon(pIcon);
    ASSERT_TRUE(app.init(800, 600, 0));
    EXPECT_EQ(pIcon, app.m_pFakePlatform->video()->m_pIcon);

    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pTexts = new Tsl::MemoryResourceProvider();
    const char* pszTable = "Hello Hi\nbye = Ciao\n";
    pTexts->add("table.txt", pszTable, int(std::strlen(pszTable)));
    app.addResourceProvider(pTexts);
    app.loadStringTable("table.txt");
    Tsl::List<Tsl::String> lKeys = app.getStringKeys();
    ASSERT_EQ(2, lKeys.getCount());
    EXPECT_EQ(Tsl::String("BYE"), lKeys.getAt(0) == "HELLO" ? lKeys.getAt(1) : lKeys.getAt(0));
}

} // namespace
