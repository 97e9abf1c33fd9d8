// Named blobs of bytes and the places they come from.
//
// A provider hands out Resources by name: an archive (ResourceFile, see
// resourcefile.h), a folder on disk or a table in memory. Names use '/'
// between folders, whatever the platform.
#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <map>
#include <memory>

namespace Tsl {

class Resource : public RefCountedObject {
public:
    // nSize uninitialised bytes for a provider to fill through getBuffer.
    Resource(const String& sName, int nSize);
    // A copy of the caller's bytes.
    Resource(const String& sName, const void* pData, int nSize);
    ~Resource() override;

    const String& getName() const { return m_sName; }
    const unsigned char* getData() const { return m_pData.get(); }
    unsigned char* getBuffer() { return m_pData.get(); }
    int getSize() const { return m_nSize; }
    // The bytes as one string of exactly getSize bytes (zero bytes included).
    String getString() const;

private:
    String m_sName;
    std::unique_ptr<unsigned char[]> m_pData;
    int m_nSize;
};

class ResourceProvider : public RefCountedObject {
public:
    ~ResourceProvider() override;
    virtual bool hasResource(const String& sName) = 0;
    // Null when the provider has no resource of that name.
    virtual SmartPtr<Resource> getResource(const String& sName) = 0;
    virtual List<String> getResourceNames() = 0;
    // What messages call the provider (an archive or folder path).
    virtual String getName() const = 0;
};

// The files under a folder, named by their paths relative to it. Names that
// would leave the folder (absolute, "..", empty parts) are refused: such a
// name is never there.
class FolderResourceProvider : public ResourceProvider {
public:
    explicit FolderResourceProvider(const String& sFolder);
    bool hasResource(const String& sName) override;
    SmartPtr<Resource> getResource(const String& sName) override;
    // Every regular file below the folder, sorted by name. Links to files
    // count as the files; links to folders are not followed.
    List<String> getResourceNames() override;
    String getName() const override { return m_sFolder; }

    static bool isSafeName(const String& sName);

private:
    String getPath(const String& sName) const;
    void listFolder(const String& sRelative, List<String>& lNames) const;

    String m_sFolder;
};

// Resources built into the program or made by tests.
class MemoryResourceProvider : public ResourceProvider {
public:
    explicit MemoryResourceProvider(const String& sName = "memory");
    ~MemoryResourceProvider() override;
    // Copies the bytes; a second add under a name replaces the first.
    void add(const String& sName, const void* pData, int nSize);
    bool hasResource(const String& sName) override;
    SmartPtr<Resource> getResource(const String& sName) override;
    // In name order.
    List<String> getResourceNames() override;
    String getName() const override { return m_sName; }

private:
    String m_sName;
    std::map<String, SmartPtr<Resource>> m_mResources;
};

} // namespace Tsl
