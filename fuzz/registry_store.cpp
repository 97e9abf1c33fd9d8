// Feeds arbitrary bytes as the registry-strings file: reading it must not
// fail, and a store rewritten from what was read reads back the same.
#include "platform/regutils.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string s_sFolder;
std::string s_sStore;

void removeFolder() {
    unlink(s_sStore.c_str());
    unlink((s_sStore + ".tmp").c_str());
    rmdir(s_sFolder.c_str());
}

std::string readFile(const std::string& sPath) {
    std::string sText;
    FILE* pFile = fopen(sPath.c_str(), "rb");
    if (!pFile) return sText;
    int c;
    while ((c = fgetc(pFile)) != EOF) sText += static_cast<char>(c);
    fclose(pFile);
    return sText;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The store lives in the data folder: give the run one of its own.
    char szFolder[] = "/tmp/fuzz-registry-XXXXXX";
    if (!mkdtemp(szFolder)) abort();
    setenv("XDG_DATA_HOME", szFolder, 1);
    s_sFolder = szFolder;
    s_sStore = s_sFolder + "/win32-registry.txt";
    atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > (1u << 16)) return 0;
    FILE* pFile = fopen(s_sStore.c_str(), "wb");
    if (!pFile) abort();
    fwrite(pData, 1, nSize, pFile);
    fclose(pFile);

    unsigned char aBuffer[256];
    getRegistryString(HKEY_CURRENT_USER, "a", "b", aBuffer, sizeof(aBuffer));
    getRegistryString(HKEY_CURRENT_USER, "software\\a", "", aBuffer, 1);
    HKEY hKey = openRegistryKey(HKEY_LOCAL_MACHINE, "a\\\\b\\", false);
    closeRegistryKey(hKey);

    // Each write rewrites the whole store from what it read: a second one
    // must find the same store and write the same text.
    if (!createRegistryKey(HKEY_CURRENT_USER, "fuzz\\key")) abort();
    if (!setRegistryString(HKEY_CURRENT_USER, "fuzz\\key", "v", "%\t\r\n")) abort();
    std::string sFirst = readFile(s_sStore);
    if (!setRegistryString(HKEY_CURRENT_USER, "fuzz\\key", "v", "%\t\r\n")) abort();
    if (readFile(s_sStore) != sFirst) abort();
    if (getRegistryString(HKEY_CURRENT_USER, "FUZZ\\Key", "V", aBuffer, sizeof(aBuffer)) != 5) abort();
    return 0;
}
