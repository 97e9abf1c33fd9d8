// Every test writes only inside a folder of its own: made before the test
// starts, removed with everything in it when the test ends. The folder lies
// under $TSL_TEST_TMP (the build's test-tmp when run through CTest), else
// under $TMPDIR or /tmp. While a test runs, TMPDIR names its folder, so
// anything that asks the system for a scratch place stays inside it too.
#pragma once

#include <string>

// The running test's folder (empty outside a test).
const std::string& testFolder();

// A path of the given name inside the running test's folder; outside a test
// the program stops with a message.
std::string testPath(const std::string& sName);
