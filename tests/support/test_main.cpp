// The main of every test executable: GoogleTest with a listener that gives
// each test its own scratch folder and removes it afterwards.
#include "test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string g_sFolder;
bool g_bCleanupFailed = false;

std::string scratchRoot() {
    for (const char* pszName : {"TSL_TEST_TMP", "TMPDIR"}) {
        const char* pszValue = std::getenv(pszName);
        if (pszValue && *pszValue) return pszValue;
    }
    return "/tmp";
}

// Suite and test names may hold '/' (parameterised tests); a folder name may not.
std::string folderPrefix(const testing::TestInfo& test) {
    std::string s = std::string(test.test_suite_name()) + "." + test.name();
    for (char& c : s)
        if (c == '/') c = '_';
    return s;
}

class TestFolderListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& test) override {
        std::string sRoot = scratchRoot();
        std::error_code error;
        std::filesystem::create_directories(sRoot, error);
        std::string sTemplate = sRoot + "/" + folderPrefix(test) + ".XXXXXX";
        if (!mkdtemp(sTemplate.data())) {
            ADD_FAILURE() << "cannot make the test's folder under " << sRoot;
            return;
        }
        g_sFolder = sTemplate;
        m_sOldTmpDir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        m_bHadTmpDir = std::getenv("TMPDIR") != nullptr;
        setenv("TMPDIR", g_sFolder.c_str(), 1);
    }

    void OnTestEnd(const testing::TestInfo&) override {
        if (g_sFolder.empty()) return;
        if (m_bHadTmpDir)
            setenv("TMPDIR", m_sOldTmpDir.c_str(), 1);
        else
            unsetenv("TMPDIR");
        std::error_code error;
        std::filesystem::remove_all(g_sFolder, error);
        if (error) {
            std::fprintf(stderr, "cannot remove the test's folder %s: %s\n", g_sFolder.c_str(), error.message().c_str());
            g_bCleanupFailed = true;
        }
        g_sFolder.clear();
    }

private:
    std::string m_sOldTmpDir;
    bool m_bHadTmpDir = false;
};

} // namespace

const std::string& testFolder() {
    return g_sFolder;
}

std::string testPath(const std::string& sName) {
    // Outside a test the path would name a place in the root folder.
    if (g_sFolder.empty()) {
        std::fprintf(stderr, "testPath(\"%s\") called outside a test\n", sName.c_str());
        std::abort();
    }
    return g_sFolder + "/" + sName;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new TestFolderListener);
    int nResult = RUN_ALL_TESTS();
    return g_bCleanupFailed ? 1 : nResult;
}
