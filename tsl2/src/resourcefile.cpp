#include "tsl2/resourcefile.h"

#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <climits>
#include <cstring>
#include <memory>

namespace Tsl {

const char* const GRF_MAGIC = "GRF";

namespace {

// The smallest directory record: string tag, length, one byte of name, three
// one-byte varints, flags and the CRC word.
const unsigned int MIN_ENTRY_RECORD = 11;
const int COPY_CHUNK = 65536;

unsigned int getLE32(const unsigned char* p) {
    return static_cast<unsigned int>(p[0]) | (static_cast<unsigned int>(p[1]) << 8) |
           (static_cast<unsigned int>(p[2]) << 16) | (static_cast<unsigned int>(p[3]) << 24);
}

void putLE32(unsigned char* p, unsigned int n) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(n >> (8 * i));
}

unsigned int crcOf(const void* pData, unsigned int nSize) {
    return static_cast<unsigned int>(crc32(crc32(0L, Z_NULL, 0), static_cast<const Bytef*>(pData), nSize));
}

// An entry name as the key of the name index; its comparisons reach the test hook.
struct IndexedName {
    String sName;
};

bool operator==(const IndexedName& a, const IndexedName& b) {
    if (g_pfnGrfNameCompared) g_pfnGrfNameCompared();
    return a.sName == b.sName;
}

unsigned int hashKey(const IndexedName& name) { return hashKey(name.sName); }
String keyText(const IndexedName& name) { return name.sName; }

// Primes near successive doublings: the h * 31 string hash spreads well over a
// prime bucket count. The last one covers the largest directory the reader takes.
const int BUCKET_COUNTS[] = {97,     193,    389,    769,     1543,    3079,    6151,    12289,   24593,
                             49157,  98317,  196613, 393241,  786433,  1572869, 3145739, 6291469, 12582917};

int bucketsFor(unsigned int nEntries) {
    for (int nBuckets : BUCKET_COUNTS)
        if (static_cast<unsigned int>(nBuckets) >= nEntries) return nBuckets;
    return BUCKET_COUNTS[sizeof(BUCKET_COUNTS) / sizeof(BUCKET_COUNTS[0]) - 1];
}

// A header's entry count is only a claim until the entries are read: the first
// table is sized for at most this many, and grows as real entries arrive.
const unsigned int MAX_PRESIZED_ENTRIES = 65536;

} // namespace

// With the default bucket count a look-up walks a bucket of entries / 97 names
// and opening an archive becomes quadratic in its entry count; here the table
// has at least as many buckets as entries, so a walk stays short at any size.
class GrfNameIndex {
public:
    explicit GrfNameIndex(unsigned int nExpected)
        : m_nBuckets(bucketsFor(nExpected < MAX_PRESIZED_ENTRIES ? nExpected : MAX_PRESIZED_ENTRIES)),
          m_pTable(new Table(m_nBuckets)) {}

    // Adds the name with its entry number in one walk of its bucket; false,
    // adding nothing, when the name is there already.
    bool add(const String& sName, int nEntry) {
        if (m_pTable->getCount() >= m_nBuckets) grow();
        int& nSlot = (*m_pTable)[IndexedName{sName}];
        if (nSlot != 0) return false;
        nSlot = nEntry + 1; // 0 marks the slot just made
        return true;
    }

    // The entry number of the name, -1 when there is none.
    int find(const String& sName) const {
        IndexedName key{sName};
        return m_pTable->hasKey(key) ? m_pTable->get(key) - 1 : -1;
    }

private:
    typedef Hash<IndexedName, int> Table;

    void grow() {
        int nBuckets = bucketsFor(static_cast<unsigned int>(m_pTable->getCount()) * 2u);
        if (nBuckets <= m_nBuckets) return;
        SmartPtr<Table> pLarger = new Table(nBuckets);
        List<IndexedName> lKeys = m_pTable->getKeys();
        List<int> lValues = m_pTable->getValues();
        auto* pValue = lValues.getHead();
        for (auto* pKey = lKeys.getHead(); pKey; pKey = pKey->pNext, pValue = pValue->pNext)
            pLarger->set(pKey->data, pValue->data);
        m_pTable = pLarger;
        m_nBuckets = nBuckets;
    }

    int m_nBuckets;
    SmartPtr<Table> m_pTable;
};

void (*g_pfnGrfNameCompared)() = nullptr;

// ---------------------------------------------------------------------------
// Reader

// Only a regular file is an archive: a FIFO at its name would hold the start.
ResourceFile::ResourceFile(const String& sPath) : ResourceFile(File::openRegular(sPath), true) {}

ResourceFile::ResourceFile(Stream* pSource, bool bOwnSource)
    : m_pSource(pSource), m_bOwnSource(bOwnSource), m_sName(pSource ? pSource->getName() : String()),
      m_bInflateReady(false) {
    TSL_TRACE();
    traceSetNote(m_sName.c_str());
    std::memset(&m_zs, 0, sizeof(m_zs));
    TSL_ASSERT(pSource);
    open();
}

ResourceFile::~ResourceFile() {
    if (m_bInflateReady) inflateEnd(&m_zs);
    if (m_bOwnSource) delete m_pSource;
}

void ResourceFile::readAt(unsigned int nOffset, void* pBuffer, unsigned int nSize) {
    TSL_TRACE();
    if (!m_pSource->seek(nOffset))
        TSL_THROW(BadStreamFormatException, "Archive '%s' : can't seek to offset %u", m_sName.c_str(), nOffset);
    unsigned char* pBytes = static_cast<unsigned char*>(pBuffer);
    unsigned int nDone = 0;
    while (nDone < nSize) {
        unsigned int nWant = nSize - nDone < static_cast<unsigned int>(INT_MAX) ? nSize - nDone : INT_MAX;
        int nRead = m_pSource->read(pBytes + nDone, static_cast<int>(nWant));
        if (nRead <= 0)
            TSL_THROW(BadStreamFormatException, "Archive '%s' : unexpected end of data at offset %u (%u bytes missing)",
                      m_sName.c_str(), nOffset + nDone, nSize - nDone);
        nDone += static_cast<unsigned int>(nRead);
    }
}

void ResourceFile::open() {
    TSL_TRACE();
    // The constructor's own cleanup does not run when it throws.
    try {
        int64_t nFileSize = m_pSource->getSize();
        if (nFileSize < GRF_HEADER_SIZE)
            TSL_THROW(BadStreamFormatException, "Archive '%s' : truncated header (%lld bytes)", m_sName.c_str(),
                      static_cast<long long>(nFileSize));
        unsigned char aHeader[GRF_HEADER_SIZE];
        readAt(0, aHeader, GRF_HEADER_SIZE);
        try {
            ObjectStreamer::checkHeaderWord(getLE32(aHeader), GRF_MAGIC, GRF_VERSION);
        } catch (const BadStreamFormatException& e) {
            TSL_THROW(BadStreamFormatException, "Archive '%s' : %s", m_sName.c_str(), e.getMessage());
        }
        if (crcOf(aHeader, 28) != getLE32(aHeader + 28))
            TSL_THROW(BadStreamFormatException, "Archive '%s' : header checksum mismatch", m_sName.c_str());
        unsigned int nDirOffset = getLE32(aHeader + 4);
        unsigned int nDirCompressed = getLE32(aHeader + 8);
        unsigned int nDirSize = getLE32(aHeader + 12);
        unsigned int nCount = getLE32(aHeader + 16);
        unsigned int nTotal = getLE32(aHeader + 20);
        if (static_cast<int64_t>(nTotal) != nFileSize)
            TSL_THROW(BadStreamFormatException, "Archive '%s' : size is %lld bytes, header says %u (truncated?)",
                      m_sName.c_str(), static_cast<long long>(nFileSize), nTotal);
        if (nDirOffset < GRF_HEADER_SIZE || nDirOffset > nTotal || nTotal - nDirOffset != nDirCompressed)
            TSL_THROW(BadStreamFormatException, "Archive '%s' : directory (offset %u, %u bytes) outside the file",
                      m_sName.c_str(), nDirOffset, nDirCompressed);
        readDirectory(nDirOffset, nDirCompressed, nDirSize, nCount, getLE32(aHeader + 24));
    } catch (...) {
        if (m_bInflateReady) inflateEnd(&m_zs);
        m_bInflateReady = false;
        if (m_bOwnSource) delete m_pSource;
        m_pSource = nullptr;
        m_bOwnSource = false;
        throw;
    }
}

void ResourceFile::readDirectory(unsigned int nOffset, unsigned int nCompressed, unsigned int nSize,
                                 unsigned int nCount, unsigned int nCrc) {
    TSL_TRACE();
    if (nSize > GRF_MAX_DIRECTORY || nSize / GRF_MAX_RATIO > nCompressed || nCount > nSize / MIN_ENTRY_RECORD)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : implausible directory (%u entries, %u bytes from %u)",
                  m_sName.c_str(), nCount, nSize, nCompressed);
    std::vector<unsigned char> aCompressed(nCompressed);
    readAt(nOffset, aCompressed.data(), nCompressed);
    if (crcOf(aCompressed.data(), nCompressed) != nCrc)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : directory checksum mismatch", m_sName.c_str());
    std::vector<unsigned char> aDirectory(nSize > 0 ? nSize : 1);
    inflateInto(aCompressed.data(), nCompressed, aDirectory.data(), nSize, "directory");

    MemStream memory(aDirectory.data(), static_cast<int>(nSize));
    try {
        ObjectStreamer is(&memory, false);
        m_aEntries.reserve(nCount);
        m_pIndex.reset(new GrfNameIndex(nCount));
        for (unsigned int i = 0; i < nCount; ++i) {
            ResourceFileEntry entry;
            is.read(entry.sName);
            entry.nOffset = is.readVarInt();
            entry.nStoredSize = is.readVarInt();
            entry.nSize = is.readVarInt();
            unsigned char nFlags = 0;
            is.read(nFlags);
            entry.nFlags = nFlags;
            is.read(entry.nCrc);
            checkEntry(entry, nOffset);
            if (!m_pIndex->add(entry.sName, static_cast<int>(m_aEntries.size())))
                TSL_THROW(BadStreamFormatException, "Archive '%s' : duplicate entry '%s'", m_sName.c_str(),
                          entry.sName.c_str());
            m_aEntries.push_back(entry);
        }
        if (memory.getRemaining() != 0)
            TSL_THROW(BadStreamFormatException, "%d bytes after the last entry", static_cast<int>(memory.getRemaining()));
    } catch (const BadStreamFormatException& e) {
        // Errors of the directory's own parsing name "memory"; say which archive.
        if (std::strncmp(e.getMessage(), "Archive '", 9) == 0) throw;
        TSL_THROW(BadStreamFormatException, "Archive '%s' : corrupt directory : %s", m_sName.c_str(), e.getMessage());
    }
}

void ResourceFile::checkEntry(const ResourceFileEntry& entry, unsigned int nDataEnd) {
    const char* pszArchive = m_sName.c_str();
    const char* pszName = entry.sName.c_str();
    if (entry.sName.isEmpty()) TSL_THROW(BadStreamFormatException, "Archive '%s' : entry with an empty name", pszArchive);
    if (entry.nOffset < GRF_HEADER_SIZE || entry.nOffset > nDataEnd || nDataEnd - entry.nOffset < entry.nStoredSize)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : entry '%s' (offset %u, %u bytes) outside the data",
                  pszArchive, pszName, entry.nOffset, entry.nStoredSize);
    if (entry.nFlags > GRF_FLAG_DEFLATED)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : entry '%s' has unknown flags %u", pszArchive, pszName,
                  entry.nFlags);
    // A resource holds at most INT_MAX bytes, stored or deflated.
    bool bSizeOk = entry.nSize <= INT_MAX && (entry.nFlags == GRF_FLAG_DEFLATED
                                                  ? entry.nSize / GRF_MAX_RATIO <= entry.nStoredSize
                                                  : entry.nSize == entry.nStoredSize);
    if (!bSizeOk)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : entry '%s' claims %u bytes from %u stored", pszArchive,
                  pszName, entry.nSize, entry.nStoredSize);
}

void ResourceFile::inflateInto(const unsigned char* pIn, unsigned int nIn, unsigned char* pOut, unsigned int nOut,
                               const String& sWhat) {
    // One inflate state serves every entry: resetting it is far cheaper than a
    // fresh init per entry, and a single Z_FINISH call writes straight into
    // the caller's buffer.
    int nResult = m_bInflateReady ? inflateReset(&m_zs) : inflateInit(&m_zs);
    if (nResult != Z_OK)
        TSL_THROW(ResourceException, "Archive '%s' : zlib init failed (%d) for %s", m_sName.c_str(), nResult,
                  sWhat.c_str());
    m_bInflateReady = true;
    m_zs.next_in = const_cast<Bytef*>(pIn);
    m_zs.avail_in = nIn;
    m_zs.next_out = pOut;
    m_zs.avail_out = nOut;
    nResult = inflate(&m_zs, Z_FINISH);
    if (nResult == Z_STREAM_END && m_zs.avail_out == 0 && m_zs.avail_in == 0) return;
    const char* pszArchive = m_sName.c_str();
    if (nResult == Z_STREAM_END)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : %s : size mismatch (%lu bytes from %u, expected %u from %u)",
                  pszArchive, sWhat.c_str(), m_zs.total_out, nIn - m_zs.avail_in, nOut, nIn);
    // Out of input first: a stream cut inside its trailer has filled the output too.
    if (nResult == Z_BUF_ERROR && m_zs.avail_in == 0)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : %s : truncated compressed data", pszArchive, sWhat.c_str());
    if (nResult == Z_BUF_ERROR)
        TSL_THROW(BadStreamFormatException, "Archive '%s' : %s : size mismatch (more than %u bytes)", pszArchive,
                  sWhat.c_str(), nOut);
    TSL_THROW(BadStreamFormatException, "Archive '%s' : %s : corrupt compressed data (%s)", pszArchive, sWhat.c_str(),
              m_zs.msg ? m_zs.msg : "inflate failed");
}

bool ResourceFile::hasResource(const String& sName) { return m_pIndex->find(sName) >= 0; }

SmartPtr<Resource> ResourceFile::getResource(const String& sName) {
    TSL_TRACE();
    traceSetNote(sName.c_str());
    int nEntry = m_pIndex->find(sName);
    if (nEntry < 0) return nullptr;
    try {
        return readEntry(m_aEntries[nEntry]);
    } catch (const BadStreamFormatException& e) {
        throw DamagedEntryException(e.getFile(), e.getLine(), e.getMessage(), m_sName, sName);
    }
}

SmartPtr<Resource> ResourceFile::readEntry(const ResourceFileEntry& entry) {
    SmartPtr<Resource> pResource = new Resource(entry.sName, static_cast<int>(entry.nSize));
    String sWhat = String("entry '") + entry.sName + "'";
    if (!(entry.nFlags & GRF_FLAG_DEFLATED)) {
        readAt(entry.nOffset, pResource->getBuffer(), entry.nSize);
        if (crcOf(pResource->getData(), entry.nSize) != entry.nCrc)
            TSL_THROW(BadStreamFormatException, "Archive '%s' : %s : checksum mismatch", m_sName.c_str(), sWhat.c_str());
        return pResource;
    }
    if (m_aScratch.size() < entry.nStoredSize) m_aScratch.resize(entry.nStoredSize);
    readAt(entry.nOffset, m_aScratch.data(), entry.nStoredSize);
    inflateInto(m_aScratch.data(), entry.nStoredSize, pResource->getBuffer(), entry.nSize, sWhat);
    return pResource;
}

List<String> ResourceFile::getResourceNames() {
    List<String> lNames;
    for (const ResourceFileEntry& entry : m_aEntries) lNames.append(entry.sName);
    return lNames;
}

// ---------------------------------------------------------------------------
// Writer

ResourceFileCompiler::ResourceFileCompiler(const String& sPath)
    : ResourceFileCompiler(new File(sPath, File::eWrite), true) {}

ResourceFileCompiler::ResourceFileCompiler(Stream* pTarget, bool bOwnTarget)
    : m_pTarget(pTarget), m_bOwnTarget(bOwnTarget), m_bFinished(false), m_pNames(new GrfNameIndex(0)) {
    TSL_TRACE();
    TSL_ASSERT(pTarget);
    start();
}

ResourceFileCompiler::~ResourceFileCompiler() {
    if (m_bOwnTarget) delete m_pTarget;
}

void ResourceFileCompiler::start() {
    TSL_TRACE();
    // The real header follows in finish(); until then the file starts with zeros.
    unsigned char aHeader[GRF_HEADER_SIZE] = {0};
    if (!m_pTarget->canWrite() || m_pTarget->write(aHeader, GRF_HEADER_SIZE) != GRF_HEADER_SIZE) {
        String sName = m_pTarget->getName();
        if (m_bOwnTarget) delete m_pTarget;
        m_pTarget = nullptr;
        m_bOwnTarget = false;
        TSL_THROW(FileAccessException, "ResourceFileCompiler : can't write to '%s'", sName.c_str());
    }
}

void ResourceFileCompiler::checkNewName(const String& sName) {
    if (m_bFinished)
        TSL_THROW(BadStateException, "ResourceFileCompiler '%s' : entry '%s' added after finish",
                  m_pTarget->getName().c_str(), sName.c_str());
    if (sName.isEmpty())
        TSL_THROW(BadParmException, "ResourceFileCompiler '%s' : empty entry name", m_pTarget->getName().c_str());
    if (m_pNames->find(sName) >= 0)
        TSL_THROW(BadParmException, "ResourceFileCompiler '%s' : duplicate entry '%s'", m_pTarget->getName().c_str(),
                  sName.c_str());
}

unsigned int ResourceFileCompiler::currentOffset() {
    int64_t nPos = m_pTarget->tell();
    if (nPos < 0 || nPos > static_cast<int64_t>(UINT_MAX))
        TSL_THROW(BadStateException, "ResourceFileCompiler '%s' : archive larger than 4 GB",
                  m_pTarget->getName().c_str());
    return static_cast<unsigned int>(nPos);
}

void ResourceFileCompiler::addResource(Stream* pSource, const String& sName) { addEntry(pSource, sName, true); }

void ResourceFileCompiler::addStoredResource(Stream* pSource, const String& sName) {
    addEntry(pSource, sName, false);
}

void ResourceFileCompiler::addEntry(Stream* pSource, const String& sName, bool bDeflate) {
    TSL_TRACE();
    traceSetNote(sName.c_str());
    TSL_ASSERT(pSource);
    checkNewName(sName);
    ResourceFileEntry entry;
    entry.sName = sName;
    entry.nOffset = currentOffset();
    entry.nFlags = bDeflate ? GRF_FLAG_DEFLATED : 0;
    uLong nCrc = crc32(0L, Z_NULL, 0);
    int64_t nSize = 0;
    {
        std::unique_ptr<ZStream> pDeflater(bDeflate ? new ZStream(m_pTarget, Z_BEST_COMPRESSION) : nullptr);
        Stream* pOut = bDeflate ? static_cast<Stream*>(pDeflater.get()) : m_pTarget;
        // One buffer for every entry: clearing 64 KB per entry would cost more
        // than the copy itself in an archive of many small entries.
        if (m_aChunk.empty()) m_aChunk.resize(COPY_CHUNK);
        int nRead;
        while ((nRead = pSource->read(m_aChunk.data(), COPY_CHUNK)) > 0) {
            if (pOut->write(m_aChunk.data(), nRead) != nRead)
                TSL_THROW(FileAccessException, "ResourceFileCompiler : can't write entry '%s' to '%s'", sName.c_str(),
                          m_pTarget->getName().c_str());
            nCrc = crc32(nCrc, m_aChunk.data(), static_cast<uInt>(nRead));
            nSize += nRead;
            if (nSize > INT_MAX)
                TSL_THROW(BadParmException, "ResourceFileCompiler : entry '%s' larger than 2 GB", sName.c_str());
        }
        if (pDeflater) pDeflater->close();
    }
    entry.nSize = static_cast<unsigned int>(nSize);
    entry.nStoredSize = currentOffset() - entry.nOffset;
    entry.nCrc = bDeflate ? 0 : static_cast<unsigned int>(nCrc);
    m_pNames->add(sName, static_cast<int>(m_aEntries.size()));
    m_aEntries.push_back(entry);
}

void ResourceFileCompiler::finish() {
    TSL_TRACE();
    if (m_bFinished) return;
    MemStream directory;
    unsigned int nDirSize = 0;
    {
        ZStream deflater(&directory, Z_BEST_COMPRESSION);
        ObjectStreamer os(&deflater, false);
        for (const ResourceFileEntry& entry : m_aEntries) {
            os.write(entry.sName);
            os.writeVarInt(entry.nOffset);
            os.writeVarInt(entry.nStoredSize);
            os.writeVarInt(entry.nSize);
            os.write(static_cast<unsigned char>(entry.nFlags));
            os.write(entry.nCrc);
        }
        nDirSize = static_cast<unsigned int>(deflater.tell());
        deflater.close();
    }
    unsigned int nDirOffset = currentOffset();
    unsigned int nDirCompressed = static_cast<unsigned int>(directory.getSize());
    if (m_pTarget->write(directory.getData(), static_cast<int>(nDirCompressed)) != static_cast<int>(nDirCompressed))
        TSL_THROW(FileAccessException, "ResourceFileCompiler : can't write the directory to '%s'",
                  m_pTarget->getName().c_str());
    unsigned int nTotal = currentOffset();

    unsigned char aHeader[GRF_HEADER_SIZE];
    putLE32(aHeader, ObjectStreamer::makeHeaderWord(GRF_MAGIC, GRF_VERSION));
    putLE32(aHeader + 4, nDirOffset);
    putLE32(aHeader + 8, nDirCompressed);
    putLE32(aHeader + 12, nDirSize);
    putLE32(aHeader + 16, static_cast<unsigned int>(m_aEntries.size()));
    putLE32(aHeader + 20, nTotal);
    putLE32(aHeader + 24, crcOf(directory.getData(), nDirCompressed));
    putLE32(aHeader + 28, crcOf(aHeader, 28));
    if (!m_pTarget->seek(0) || m_pTarget->write(aHeader, GRF_HEADER_SIZE) != GRF_HEADER_SIZE ||
        !m_pTarget->seek(0, Stream::eSeekEnd))
        TSL_THROW(FileAccessException, "ResourceFileCompiler : can't write the header of '%s' (not seekable?)",
                  m_pTarget->getName().c_str());
    m_pTarget->flush();
    // Only now: after a failure a second call must fail again (or, once the
    // target takes writes, write a directory that ends the file), never
    // report success for an archive without one.
    m_bFinished = true;
}

} // namespace Tsl
