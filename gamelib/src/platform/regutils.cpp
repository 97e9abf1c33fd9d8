#include "platform/regutils.h"

#include "platform/folders.h"

#include "tsl2/error.h"
#include "tsl2/str.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

struct RegistryKey {
    std::string sPath;
    bool bForWriting;
    bool bRoot;
};

namespace {

RegistryKey s_currentUser{"hkey_current_user", false, true};
RegistryKey s_localMachine{"hkey_local_machine", false, true};

const char* const STORE_NAME = "win32-registry.txt";
// The key's own line carries this value name. Real names have their '%'
// escaped, so a bare one never is a value's name (not even the empty one).
const char* const KEY_MARK = "%";

// Key path -> value name -> value; key paths and value names lower-cased.
typedef std::map<std::string, std::map<std::string, std::string>> Store;

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string lower(const char* pszText) {
    return lower(std::string(pszText ? pszText : ""));
}

std::string keyPath(HKEY hRoot, const char* pszPath) {
    std::string sPath = hRoot->sPath;
    std::string sSub = lower(pszPath);
    // Empty parts (doubled or trailing backslashes) name the same key.
    size_t nStart = 0;
    while (nStart <= sSub.size()) {
        size_t nEnd = sSub.find('\\', nStart);
        if (nEnd == std::string::npos) nEnd = sSub.size();
        if (nEnd > nStart) sPath += "\\" + sSub.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
    }
    return sPath;
}

std::string escape(const std::string& s) {
    std::string sOut;
    for (char c : s) {
        // A zero byte too: the lines are written as C strings.
        if (c == '%') sOut += "%25";
        else if (c == '\0') sOut += "%00";
        else if (c == '\t') sOut += "%09";
        else if (c == '\n') sOut += "%0A";
        else if (c == '\r') sOut += "%0D";
        else sOut += c;
    }
    return sOut;
}

std::string unescape(const std::string& s) {
    std::string sOut;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            char szHex[3] = {s[i + 1], s[i + 2], 0};
            sOut += static_cast<char>(strtol(szHex, nullptr, 16));
            i += 2;
        } else {
            sOut += s[i];
        }
    }
    return sOut;
}

std::string storePath() {
    Tsl::String sFolder = getUserDataFolder(nullptr);
    if (sFolder.isEmpty()) return std::string();
    return std::string(sFolder.c_str()) + STORE_NAME;
}

// One line of the store into it; anything but "key<TAB>name<TAB>value" is
// skipped. A hand-edited file may have Windows line ends and any case.
void parseLine(std::string sLine, Store& store) {
    if (!sLine.empty() && sLine.back() == '\r') sLine.pop_back();
    size_t nTab1 = sLine.find('\t');
    size_t nTab2 = nTab1 == std::string::npos ? nTab1 : sLine.find('\t', nTab1 + 1);
    if (nTab2 == std::string::npos) return;
    std::map<std::string, std::string>& values = store[lower(unescape(sLine.substr(0, nTab1)))];
    std::string sName = sLine.substr(nTab1 + 1, nTab2 - nTab1 - 1);
    if (sName != KEY_MARK) values[lower(unescape(sName))] = unescape(sLine.substr(nTab2 + 1));
}

// Lines of "key<TAB>value name<TAB>value"; anything else is skipped.
Store loadStore() {
    Store store;
    std::string sPath = storePath();
    FILE* pFile = sPath.empty() ? nullptr : fopen(sPath.c_str(), "rb");
    if (!pFile) return store;
    std::string sLine;
    int c;
    do {
        c = fgetc(pFile);
        if (c == '\n' || c == EOF) {
            parseLine(sLine, store);
            sLine.clear();
        } else {
            sLine += static_cast<char>(c);
        }
    } while (c != EOF);
    fclose(pFile);
    return store;
}

// Written to a temporary file and renamed, so a crash never leaves half a store.
bool saveStore(const Store& store) {
    std::string sPath = storePath();
    if (sPath.empty()) return false;
    std::string sTemp = sPath + ".tmp";
    FILE* pFile = fopen(sTemp.c_str(), "wb");
    if (!pFile) return false;
    bool bOk = true;
    for (const auto& key : store) {
        std::string sKey = escape(key.first);
        bOk = bOk && fprintf(pFile, "%s\t%s\t\n", sKey.c_str(), KEY_MARK) >= 0;
        for (const auto& value : key.second) {
            bOk = bOk && fprintf(pFile, "%s\t%s\t%s\n", sKey.c_str(), escape(value.first).c_str(),
                                 escape(value.second).c_str()) >= 0;
        }
    }
    bOk = (fclose(pFile) == 0) && bOk;
    if (bOk) bOk = rename(sTemp.c_str(), sPath.c_str()) == 0;
    if (!bOk) unlink(sTemp.c_str());
    return bOk;
}

} // namespace

const HKEY HKEY_CURRENT_USER = &s_currentUser;
const HKEY HKEY_LOCAL_MACHINE = &s_localMachine;

bool createRegistryKey(HKEY hRoot, const char* pszPath) {
    TSL_TRACE();
    if (!hRoot || !pszPath) return false;
    Store store = loadStore();
    std::string sKey = keyPath(hRoot, pszPath);
    if (store.count(sKey)) return true;
    // Like the registry, every missing key above it is made as well.
    for (size_t nEnd = sKey.find('\\'); nEnd != std::string::npos; nEnd = sKey.find('\\', nEnd + 1))
        store[sKey.substr(0, nEnd)];
    store[sKey];
    return saveStore(store);
}

HKEY openRegistryKey(HKEY hRoot, const char* pszPath, bool bForWriting) {
    TSL_TRACE();
    if (!hRoot || !pszPath) return nullptr;
    std::string sKey = keyPath(hRoot, pszPath);
    if (!loadStore().count(sKey)) return nullptr;
    return new RegistryKey{sKey, bForWriting, false};
}

void closeRegistryKey(HKEY hKey) {
    if (hKey && !hKey->bRoot) delete hKey;
}

bool setRegistryString(HKEY hRoot, const char* pszPath, const char* pszValueName, const char* pszValue) {
    TSL_TRACE();
    if (!hRoot || !pszPath) return false;
    Store store = loadStore();
    auto key = store.find(keyPath(hRoot, pszPath));
    if (key == store.end()) return false;
    key->second[lower(pszValueName)] = pszValue ? pszValue : "";
    return saveStore(store);
}

unsigned long getRegistryString(HKEY hRoot, const char* pszPath, const char* pszValueName, unsigned char* pBuffer,
                                unsigned long nBufferSize) {
    TSL_TRACE();
    if (!hRoot || !pszPath) return 0;
    Store store = loadStore();
    auto key = store.find(keyPath(hRoot, pszPath));
    if (key == store.end()) return 0;
    auto it = key->second.find(lower(pszValueName));
    if (it == key->second.end()) return 0;
    unsigned long nNeeded = static_cast<unsigned long>(it->second.size()) + 1;
    if (!pBuffer || nBufferSize < nNeeded) return 0;
    memcpy(pBuffer, it->second.c_str(), nNeeded);
    return nNeeded;
}
