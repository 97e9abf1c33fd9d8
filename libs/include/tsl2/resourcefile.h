// "GRF" resource archives: the reader (ResourceFile) and the writer
// (ResourceFileCompiler).
//
// Layout, version 1. Integers are 32-bit little-endian.
//
//   offset  size
//    0      4     record header word: 'G' 'R' 'F' 0x01 (magic, version)
//    4      4     directory offset
//    8      4     directory size, compressed
//   12      4     directory size, uncompressed
//   16      4     entry count
//   20      4     archive size in bytes (catches truncation at once)
//   24      4     CRC-32 of the compressed directory
//   28      4     CRC-32 of bytes 0..27
//   32      ...   entry data, each entry's bytes at its offset
//   dir     ...   directory: a zlib stream holding an ObjectStreamer stream:
//                 header byte 0x05, then per entry
//                   String  name (non-empty, unique)
//                   varint  offset of the entry's bytes
//                   varint  stored size (bytes in the archive)
//                   varint  size (bytes of the resource)
//                   byte    flags: 1 = deflated (a zlib stream), 0 = stored
//                   uint    CRC-32 of a stored entry's bytes; 0 for deflated
//                           entries, which zlib's own Adler-32 guards
//                 and nothing after the last entry.
// The directory ends the file: directory offset + compressed size = archive size.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/resource.h"
#include "tsl2/stream.h"

#include <memory>
#include <vector>
#include <zlib.h>

namespace Tsl {

// Test hook: called on every comparison of two entry names in the name index
// of an archive being read or written. Null in production.
extern void (*g_pfnGrfNameCompared)();

// Entry numbers by name, sized for the entry count (resourcefile.cpp).
class GrfNameIndex;

enum {
    GRF_VERSION = 1,
    GRF_HEADER_SIZE = 32,
    GRF_FLAG_DEFLATED = 1,
    // deflate cannot expand data by more than about 1032:1, so a larger
    // claimed size is a corrupt entry, not a reason to allocate.
    GRF_MAX_RATIO = 1032,
    GRF_MAX_DIRECTORY = 64 * 1024 * 1024
};
extern const char* const GRF_MAGIC; // "GRF"

struct ResourceFileEntry {
    String sName;
    unsigned int nOffset;
    unsigned int nStoredSize;
    unsigned int nSize;
    unsigned int nFlags;
    unsigned int nCrc;
};

// An entry that does not read back as the directory says (its checksum, its
// compressed data, its size, or bytes gone from the file): the archive itself
// opened. Names the archive (as it was opened) and the entry, so that a
// caller can tell the player which file is damaged.
class DamagedEntryException : public BadStreamFormatException {
public:
    DamagedEntryException(const char* pszFile, int nLine, const char* pszMessage, const String& sArchive,
                          const String& sEntry)
        : BadStreamFormatException(pszFile, nLine, pszMessage), m_sArchive(sArchive), m_sEntry(sEntry) {}
    const char* getTypeName() const override { return "DamagedEntryException"; }
    const String& getArchive() const { return m_sArchive; }
    const String& getEntry() const { return m_sEntry; }

private:
    String m_sArchive;
    String m_sEntry;
};

// Reads a "GRF" archive. Everything is checked when the archive opens and
// when an entry is read; any fault raises a Tsl exception naming the archive
// (a DamagedEntryException for an entry that does not read back).
class ResourceFile : public ResourceProvider {
public:
    explicit ResourceFile(const String& sPath);
    // Over any readable, seekable stream (an archive in memory).
    ResourceFile(Stream* pSource, bool bOwnSource);
    ~ResourceFile() override;

    bool hasResource(const String& sName) override;
    // Null for a name the archive does not hold.
    SmartPtr<Resource> getResource(const String& sName) override;
    // In the order the entries were added.
    List<String> getResourceNames() override;
    String getName() const override { return m_sName; }

    int getEntryCount() const { return static_cast<int>(m_aEntries.size()); }
    const ResourceFileEntry& getEntry(int nIndex) const { return m_aEntries[nIndex]; }

private:
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;
    void open();
    void readDirectory(unsigned int nOffset, unsigned int nCompressed, unsigned int nSize, unsigned int nCount,
                       unsigned int nCrc);
    void checkEntry(const ResourceFileEntry& entry, unsigned int nDataEnd);
    void readAt(unsigned int nOffset, void* pBuffer, unsigned int nSize);
    SmartPtr<Resource> readEntry(const ResourceFileEntry& entry);
    void inflateInto(const unsigned char* pIn, unsigned int nIn, unsigned char* pOut, unsigned int nOut,
                     const String& sWhat);

    Stream* m_pSource;
    bool m_bOwnSource;
    String m_sName;
    std::vector<ResourceFileEntry> m_aEntries;
    std::unique_ptr<GrfNameIndex> m_pIndex;
    std::vector<unsigned char> m_aScratch; // compressed bytes of the entry being read
    z_stream m_zs;
    bool m_bInflateReady;
};

// Writes a "GRF" archive. Entries are appended as they are added; finish()
// writes the directory and the header. An archive that was never finished has
// no valid header, so no reader takes it for a complete one.
class ResourceFileCompiler {
public:
    explicit ResourceFileCompiler(const String& sPath);
    // Over any writable, seekable stream.
    ResourceFileCompiler(Stream* pTarget, bool bOwnTarget);
    ~ResourceFileCompiler();

    // Deflates everything left in the source into a new entry.
    void addResource(Stream* pSource, const String& sName);
    // Copies everything left in the source unchanged (data that is already
    // compressed, such as PNG or Ogg).
    void addStoredResource(Stream* pSource, const String& sName);
    void finish();
    int getEntryCount() const { return static_cast<int>(m_aEntries.size()); }

private:
    ResourceFileCompiler(const ResourceFileCompiler&) = delete;
    ResourceFileCompiler& operator=(const ResourceFileCompiler&) = delete;
    void start();
    void checkNewName(const String& sName);
    unsigned int currentOffset();
    void addEntry(Stream* pSource, const String& sName, bool bDeflate);

    Stream* m_pTarget;
    bool m_bOwnTarget;
    bool m_bFinished;
    std::vector<ResourceFileEntry> m_aEntries;
    std::unique_ptr<GrfNameIndex> m_pNames;
    std::vector<unsigned char> m_aChunk; // copy buffer, shared by every entry
};

} // namespace Tsl
