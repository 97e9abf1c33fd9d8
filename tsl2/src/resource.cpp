#include "tsl2/resource.h"

#include "tsl2/file.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace Tsl {

Resource::Resource(const String& sName, int nSize)
    : m_sName(sName), m_pData(new unsigned char[nSize > 0 ? nSize : 1]), m_nSize(nSize > 0 ? nSize : 0) {}

Resource::Resource(const String& sName, const void* pData, int nSize) : Resource(sName, nSize) {
    if (m_nSize > 0) std::memcpy(m_pData.get(), pData, static_cast<size_t>(m_nSize));
}

Resource::~Resource() {}

String Resource::getString() const { return String(reinterpret_cast<const char*>(m_pData.get()), m_nSize); }

ResourceProvider::~ResourceProvider() {}

FolderResourceProvider::FolderResourceProvider(const String& sFolder) : m_sFolder(sFolder) {
    // One trailing separator at most, so names join with a single '/'.
    while (m_sFolder.getLength() > 1 && m_sFolder[-1] == '/') m_sFolder = m_sFolder.left(-1);
}

bool FolderResourceProvider::isSafeName(const String& sName) {
    if (sName.isEmpty() || sName[0] == '/' || sName.find('\\') >= 0 || sName.find('\0') >= 0) return false;
    List<String> lParts = sName.split("/");
    // split drops empty runs, so "a//b" and "a/" show up as a count mismatch.
    int nSlashes = 0;
    for (int i = 0; i < sName.getLength(); ++i) nSlashes += sName[i] == '/';
    if (lParts.getCount() != nSlashes + 1) return false;
    for (const String& sPart : lParts)
        if (sPart == ".." || sPart == ".") return false;
    return true;
}

String FolderResourceProvider::getPath(const String& sName) const { return m_sFolder + "/" + sName; }

bool FolderResourceProvider::hasResource(const String& sName) {
    return isSafeName(sName) && File::exists(getPath(sName).c_str());
}

SmartPtr<Resource> FolderResourceProvider::getResource(const String& sName) {
    TSL_TRACE();
    traceSetNote(sName.c_str());
    if (!hasResource(sName)) return nullptr;
    // The name may have been swapped for a FIFO since hasResource looked.
    SmartPtr<File> pFile = File::openRegular(getPath(sName));
    File& file = *pFile;
    int64_t nSize = file.getSize();
    if (nSize < 0 || nSize > INT_MAX)
        TSL_THROW(ResourceException, "Resource '%s' in folder %s : size %lld not supported", sName.c_str(),
                  m_sFolder.c_str(), static_cast<long long>(nSize));
    SmartPtr<Resource> pResource = new Resource(sName, static_cast<int>(nSize));
    file.readFully(pResource->getBuffer(), pResource->getSize());
    return pResource;
}

void FolderResourceProvider::listFolder(const String& sRelative, List<String>& lNames) const {
    String sPath = sRelative.isEmpty() ? m_sFolder : getPath(sRelative);
    DIR* pDir = opendir(sPath.c_str());
    if (!pDir) return;
    std::vector<String> aEntries;
    while (dirent* pEntry = readdir(pDir)) {
        if (std::strcmp(pEntry->d_name, ".") == 0 || std::strcmp(pEntry->d_name, "..") == 0) continue;
        aEntries.push_back(pEntry->d_name);
    }
    closedir(pDir);
    for (const String& sEntry : aEntries) {
        String sName = sRelative.isEmpty() ? sEntry : sRelative + "/" + sEntry;
        String sPath = getPath(sName);
        struct stat info;
        if (lstat(sPath.c_str(), &info) != 0) continue;
        bool bLink = S_ISLNK(info.st_mode);
        if (bLink && stat(sPath.c_str(), &info) != 0) continue;
        // A link to a folder may lead back up the tree ("ln -s . again"): one
        // such link repeats the tree, two make the listing endless.
        if (S_ISDIR(info.st_mode) && !bLink)
            listFolder(sName, lNames);
        else if (S_ISREG(info.st_mode))
            lNames.append(sName);
    }
}

List<String> FolderResourceProvider::getResourceNames() {
    TSL_TRACE();
    List<String> lNames;
    listFolder("", lNames);
    // Directory order depends on the file system; sort for stable listings.
    lNames.sort([](const String& a, const String& b, void*) { return a.compare(b) <= 0; }, nullptr);
    return lNames;
}

MemoryResourceProvider::MemoryResourceProvider(const String& sName) : m_sName(sName) {}

MemoryResourceProvider::~MemoryResourceProvider() {}

void MemoryResourceProvider::add(const String& sName, const void* pData, int nSize) {
    TSL_TRACE();
    if (sName.isEmpty()) TSL_THROW(BadParmException, "MemoryResourceProvider %s : empty resource name", m_sName.c_str());
    m_mResources[sName] = new Resource(sName, pData, nSize);
}

bool MemoryResourceProvider::hasResource(const String& sName) { return m_mResources.count(sName) != 0; }

SmartPtr<Resource> MemoryResourceProvider::getResource(const String& sName) {
    auto it = m_mResources.find(sName);
    return it == m_mResources.end() ? SmartPtr<Resource>() : it->second;
}

List<String> MemoryResourceProvider::getResourceNames() {
    List<String> lNames;
    for (const auto& entry : m_mResources) lNames.append(entry.first);
    return lNames;
}

} // namespace Tsl
