#include "test_folder.h"
#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"
#include "tsl2/resource.h"
#include "tsl2/resourcefile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace Tsl;

namespace {

typedef std::map<std::string, std::string> Contents;

std::string tempDir() {
    return testFolder();
}

void writeFile(const std::string& sPath, const std::string& sData) {
    File out(sPath.c_str(), File::eWrite);
    out.write(sData.data(), static_cast<int>(sData.size()));
}

// Entries of every kind: text that deflates well, noise stored as is, and
// empty entries both ways.
Contents makeContents(int nCount) {
    Contents contents;
    std::mt19937 rng(42);
    for (int i = 0; i < nCount; ++i) {
        std::string sData;
        int nLength = i % 5 == 0 ? 0 : static_cast<int>(rng() % 3000);
        for (int j = 0; j < nLength; ++j)
            sData += i % 2 ? static_cast<char>(rng()) : static_cast<char>('a' + (j * 7 + i) % 13);
        contents[std::string("dir") + std::to_string(i % 3) + "/entry" + std::to_string(i)] = sData;
    }
    return contents;
}

bool isStored(int nIndex) { return nIndex % 2 == 1; }

std::vector<unsigned char> buildArchive(const Contents& contents) {
    MemStream out;
    ResourceFileCompiler compiler(&out, false);
    int i = 0;
    for (const auto& entry : contents) {
        MemStream source(entry.second.data(), static_cast<int>(entry.second.size()));
        if (isStored(i++))
            compiler.addStoredResource(&source, entry.first.c_str());
        else
            compiler.addResource(&source, entry.first.c_str());
    }
    compiler.finish();
    return std::vector<unsigned char>(out.getData(), out.getData() + out.getSize());
}

// Opens the archive and reads every entry; true when all came back intact.
// Any fault must surface as a Tsl exception (the caller catches it).
bool readsBackIntact(const std::vector<unsigned char>& aArchive, const Contents& contents) {
    ResourceFile archive(new MemStream(aArchive.data(), static_cast<int>(aArchive.size())), true);
    List<String> lNames = archive.getResourceNames();
    if (lNames.getCount() != static_cast<int>(contents.size())) return false;
    for (const String& sName : lNames) {
        SmartPtr<Resource> pResource = archive.getResource(sName);
        auto it = contents.find(sName.c_str());
        if (!pResource || it == contents.end()) return false;
        if (std::string(reinterpret_cast<const char*>(pResource->getData()), pResource->getSize()) != it->second)
            return false;
    }
    return true;
}

void putLE32(std::vector<unsigned char>& aBytes, size_t nAt, unsigned int n) {
    for (int i = 0; i < 4; ++i) aBytes[nAt + i] = static_cast<unsigned char>(n >> (8 * i));
}

// A directory stream as the writer makes it, for hand-made archives.
std::vector<unsigned char> craftDirectory(const std::vector<ResourceFileEntry>& aEntries, const std::string& sTail,
                                          unsigned int& nDirSize) {
    MemStream directory;
    {
        ZStream z(&directory);
        ObjectStreamer os(&z, false);
        for (const ResourceFileEntry& entry : aEntries) {
            os.write(entry.sName);
            os.writeVarInt(entry.nOffset);
            os.writeVarInt(entry.nStoredSize);
            os.writeVarInt(entry.nSize);
            os.write(static_cast<unsigned char>(entry.nFlags));
            os.write(entry.nCrc);
        }
        z.write(sTail.data(), static_cast<int>(sTail.size()));
        nDirSize = static_cast<unsigned int>(z.tell());
    }
    return std::vector<unsigned char>(directory.getData(), directory.getData() + directory.getSize());
}

// The 32-byte header for a directory at nDirOffset that ends the archive.
std::vector<unsigned char> craftHeader(const std::vector<unsigned char>& aDirectory, unsigned int nDirOffset,
                                       unsigned int nDirSize, unsigned int nCount) {
    std::vector<unsigned char> aHeader(GRF_HEADER_SIZE);
    unsigned int nCompressed = static_cast<unsigned int>(aDirectory.size());
    putLE32(aHeader, 0, ObjectStreamer::makeHeaderWord("GRF", 1));
    putLE32(aHeader, 4, nDirOffset);
    putLE32(aHeader, 8, nCompressed);
    putLE32(aHeader, 12, nDirSize);
    putLE32(aHeader, 16, nCount);
    putLE32(aHeader, 20, nDirOffset + nCompressed);
    putLE32(aHeader, 24, static_cast<unsigned int>(crc32(0, aDirectory.data(), nCompressed)));
    putLE32(aHeader, 28, static_cast<unsigned int>(crc32(0, aHeader.data(), 28)));
    return aHeader;
}

// An archive with a hand-made directory and valid checksums, to reach the
// reader's checks behind them. aData follows the 32-byte header.
std::vector<unsigned char> craftArchive(const std::vector<ResourceFileEntry>& aEntries, const std::string& sData,
                                        const std::string& sDirectoryTail = "") {
    unsigned int nDirSize = 0;
    std::vector<unsigned char> aDirectory = craftDirectory(aEntries, sDirectoryTail, nDirSize);
    unsigned int nDirOffset = static_cast<unsigned int>(GRF_HEADER_SIZE + sData.size());
    std::vector<unsigned char> aBytes =
        craftHeader(aDirectory, nDirOffset, nDirSize, static_cast<unsigned int>(aEntries.size()));
    aBytes.insert(aBytes.end(), sData.begin(), sData.end());
    aBytes.insert(aBytes.end(), aDirectory.begin(), aDirectory.end());
    return aBytes;
}

// A huge read-only stream that holds a header and a directory and reads as
// zeros everywhere else, so an archive of gigabytes costs no memory.
class SparseStream : public Stream {
public:
    SparseStream(const std::vector<unsigned char>& aHeader, const std::vector<unsigned char>& aDirectory,
                 int64_t nDirOffset)
        : m_aHeader(aHeader), m_aDirectory(aDirectory), m_nDirOffset(nDirOffset), m_nPos(0) {}
    int read(void* pBuffer, int nSize) override {
        int64_t nCount = std::min<int64_t>(nSize, getSize() - m_nPos);
        if (nCount <= 0) return 0;
        unsigned char* pOut = static_cast<unsigned char*>(pBuffer);
        for (int64_t i = 0; i < nCount; ++i, ++m_nPos) pOut[i] = byteAt(m_nPos);
        return static_cast<int>(nCount);
    }
    int write(const void*, int) override { return 0; }
    int64_t tell() const override { return m_nPos; }
    bool seek(int64_t nOffset, SeekOrigin eOrigin) override {
        int64_t nPos = nOffset + (eOrigin == eSeekSet ? 0 : eOrigin == eSeekCur ? m_nPos : getSize());
        if (nPos < 0 || nPos > getSize()) return false;
        m_nPos = nPos;
        return true;
    }
    int64_t getSize() const override { return m_nDirOffset + static_cast<int64_t>(m_aDirectory.size()); }
    bool canRead() const override { return true; }
    bool canWrite() const override { return false; }
    String getName() const override { return "sparse"; }

private:
    unsigned char byteAt(int64_t nPos) const {
        if (nPos < static_cast<int64_t>(m_aHeader.size())) return m_aHeader[static_cast<size_t>(nPos)];
        if (nPos >= m_nDirOffset) return m_aDirectory[static_cast<size_t>(nPos - m_nDirOffset)];
        return 0;
    }
    std::vector<unsigned char> m_aHeader, m_aDirectory;
    int64_t m_nDirOffset;
    int64_t m_nPos;
};

std::string openError(const std::vector<unsigned char>& aArchive) {
    try {
        ResourceFile archive(new MemStream(aArchive.data(), static_cast<int>(aArchive.size())), true);
        List<String> lNames = archive.getResourceNames();
        for (const String& sName : lNames) archive.getResource(sName);
    } catch (const BadStreamFormatException& e) {
        return e.getMessage();
    }
    return "";
}

} // namespace

TEST(ResourceFile, ReaderChecksEveryDirectoryField) {
    std::string sData = "abcd";
    unsigned int nCrc = static_cast<unsigned int>(crc32(0, reinterpret_cast<const Bytef*>("abcd"), 4));
    ResourceFileEntry good = {"good", 32, 4, 4, 0, nCrc};
    EXPECT_EQ("", openError(craftArchive({good}, sData)));
    struct Case {
        ResourceFileEntry entry;
        const char* pszNeedle;
    } aCases[] = {{{"", 32, 4, 4, 0, nCrc}, "empty name"},
                  {{"good", 32, 4, 4, 0, nCrc}, "duplicate entry 'good'"},
                  {{"x", 31, 4, 4, 0, nCrc}, "outside the data"},
                  {{"x", 33, 4, 4, 0, nCrc}, "outside the data"},
                  {{"x", 32, 4, 4, 2, nCrc}, "unknown flags"},
                  {{"x", 32, 4, 5, 0, nCrc}, "claims 5 bytes from 4"},
                  {{"x", 32, 4, 0xFFFFFFFFu, 1, 0}, "claims"},
                  {{"x", 32, 4, 4, 0, nCrc ^ 1}, "checksum mismatch"},
                  {{"x", 32, 4, 4, 1, 0}, "corrupt compressed data"}};
    for (const Case& c : aCases) {
        std::string sError = openError(craftArchive({good, c.entry}, sData));
        EXPECT_NE(std::string::npos, sError.find(c.pszNeedle)) << c.pszNeedle << " / " << sError;
        EXPECT_NE(std::string::npos, sError.find("Archive 'memory'")) << sError;
    }
    EXPECT_NE(std::string::npos, openError(craftArchive({good}, sData, "x")).find("after the last entry"));
    // A deflated entry that inflates to more or fewer bytes than its entry says.
    MemStream packed;
    {
        ZStream z(&packed);
        z.writeText("hello");
    }
    std::string sPacked(reinterpret_cast<const char*>(packed.getData()), static_cast<size_t>(packed.getSize()));
    unsigned int nPacked = static_cast<unsigned int>(sPacked.size());
    EXPECT_EQ("", openError(craftArchive({{"z", 32, nPacked, 5, 1, 0}}, sPacked)));
    EXPECT_NE(std::string::npos, openError(craftArchive({{"z", 32, nPacked, 4, 1, 0}}, sPacked)).find("size mismatch"));
    EXPECT_NE(std::string::npos, openError(craftArchive({{"z", 32, nPacked, 6, 1, 0}}, sPacked)).find("size mismatch"));
    EXPECT_NE(std::string::npos,
              openError(craftArchive({{"z", 32, nPacked - 1, 5, 1, 0}}, sPacked)).find("truncated compressed data"));
}

// The archive opens; one entry does not read back: the error names both.
TEST(ResourceFile, AnEntryThatDoesNotReadBackNamesItsArchiveAndItself) {
    unsigned int nCrc = static_cast<unsigned int>(crc32(0, reinterpret_cast<const Bytef*>("abcd"), 4));
    const ResourceFileEntry aBad[] = {{"x", 32, 4, 4, 0, nCrc ^ 1}, {"x", 32, 4, 4, 1, 0}};
    for (const ResourceFileEntry& bad : aBad) {
        std::vector<unsigned char> aArchive = craftArchive({bad}, "abcd");
        ResourceFile archive(new MemStream(aArchive.data(), static_cast<int>(aArchive.size())), true);
        try {
            archive.getResource("x");
            FAIL() << "read back";
        } catch (const DamagedEntryException& e) {
            EXPECT_EQ("memory", e.getArchive());
            EXPECT_EQ("x", e.getEntry());
            EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("Archive 'memory' : entry 'x'"));
        }
    }
}

TEST(ResourceFile, EntriesOfTwoGigabytesOrMoreAreRefused) {
    // A resource holds at most INT_MAX bytes; a stored entry beyond that in a
    // big archive must be refused, not read into a buffer of the wrong size.
    const unsigned int nHuge = 0x80000010u;
    for (unsigned int nFlags : {0u, 1u}) {
        unsigned int nDirSize = 0;
        std::vector<unsigned char> aDirectory = craftDirectory({{"big", 32, nHuge, nHuge, nFlags, 0}}, "", nDirSize);
        unsigned int nDirOffset = GRF_HEADER_SIZE + nHuge;
        SparseStream* pSource = new SparseStream(craftHeader(aDirectory, nDirOffset, nDirSize, 1), aDirectory, nDirOffset);
        try {
            ResourceFile archive(pSource, true);
            archive.getResource("big");
            FAIL() << nFlags;
        } catch (const BadStreamFormatException& e) {
            EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("'big' claims")) << e.getMessage();
        }
    }
}

TEST(ResourceFile, RoundTripStoredDeflatedAndEmpty) {
    Contents contents = makeContents(60);
    std::vector<unsigned char> aArchive = buildArchive(contents);
    EXPECT_EQ('G', aArchive[0]);
    EXPECT_EQ('R', aArchive[1]);
    EXPECT_EQ('F', aArchive[2]);
    EXPECT_EQ(1, aArchive[3]);
    EXPECT_TRUE(readsBackIntact(aArchive, contents));

    ResourceFile archive(new MemStream(aArchive.data(), static_cast<int>(aArchive.size())), true);
    ASSERT_EQ(60, archive.getEntryCount());
    int i = 0;
    for (const auto& entry : contents) {
        const ResourceFileEntry& info = archive.getEntry(i);
        EXPECT_EQ(String(entry.first.c_str()), info.sName); // names in the order added
        EXPECT_EQ(isStored(i) ? 0u : 1u, info.nFlags);
        ++i;
    }
    EXPECT_FALSE(archive.hasResource("missing"));
    EXPECT_TRUE(archive.getResource("missing").isNull());
    SmartPtr<Resource> pFirst = archive.getResource("dir0/entry0");
    ASSERT_TRUE(pFirst);
    EXPECT_EQ(0, pFirst->getSize());
    EXPECT_TRUE(pFirst->getString().isEmpty());
}

TEST(ResourceFile, FileArchiveAndErrorsNameIt) {
    std::string sPath = tempDir() + "/roundtrip.grf";
    {
        ResourceFileCompiler compiler(sPath.c_str());
        MemStream text("with\0zero", 9);
        compiler.addResource(&text, "a.txt");
        compiler.finish();
    }
    SmartPtr<ResourceFile> pArchive = new ResourceFile(sPath.c_str());
    SmartPtr<Resource> pResource = pArchive->getResource("a.txt");
    pArchive = nullptr; // the resource keeps its bytes
    EXPECT_EQ(String("with\0zero", 9), pResource->getString());

    writeFile(sPath, std::string("GRX\x01") + std::string(40, '\0'));
    try {
        ResourceFile archive(sPath.c_str());
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_NE(std::string::npos, std::string(e.getMessage()).find(sPath));
        EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("bad stream format : 01465247, got 01585247"));
    }
    EXPECT_THROW(ResourceFile((tempDir() + "/no-such.grf").c_str()), FileAccessException);
}

TEST(ResourceFile, EveryTruncationRaises) {
    Contents contents = makeContents(6);
    std::vector<unsigned char> aArchive = buildArchive(contents);
    for (size_t nLength = 0; nLength < aArchive.size(); ++nLength) {
        std::vector<unsigned char> aCut(aArchive.begin(), aArchive.begin() + nLength);
        EXPECT_THROW(readsBackIntact(aCut, contents), Exception) << nLength;
    }
}

TEST(ResourceFile, BitFlipsRaiseOrLeaveDataIntact) {
    Contents contents = makeContents(8);
    std::vector<unsigned char> aArchive = buildArchive(contents);
    std::mt19937 rng(7);
    int nCaught = 0;
    for (int nRound = 0; nRound < 3000; ++nRound) {
        std::vector<unsigned char> aBroken = aArchive;
        int nFlips = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < nFlips; ++i) aBroken[rng() % aBroken.size()] ^= static_cast<unsigned char>(1u << (rng() % 8));
        try {
            // A flip in bits nobody reads (deflate padding) may go unnoticed,
            // but then every byte must still be right: never silent garbage.
            EXPECT_TRUE(readsBackIntact(aBroken, contents)) << nRound;
        } catch (const Exception&) {
            ++nCaught;
        }
    }
    EXPECT_GT(nCaught, 2900);
}

TEST(ResourceFile, CompilerRefusesBadNames) {
    MemStream out;
    ResourceFileCompiler compiler(&out, false);
    MemStream source("x", 1);
    compiler.addResource(&source, "one");
    MemStream again("x", 1);
    EXPECT_THROW(compiler.addResource(&again, "one"), BadParmException);
    EXPECT_THROW(compiler.addStoredResource(&again, ""), BadParmException);
    compiler.finish();
    EXPECT_THROW(compiler.addResource(&again, "two"), BadStateException);
    // A stream that cannot be written to is no archive target.
    MemStream readOnly("abc", 3);
    EXPECT_THROW(ResourceFileCompiler(&readOnly, false), FileAccessException);
}

namespace {
// A memory target whose writes can be made to fail, like a full disk.
class FailingStream : public MemStream {
public:
    bool m_bFail = false;
    int write(const void* pData, int nSize) override { return m_bFail ? 0 : MemStream::write(pData, nSize); }
};
} // namespace

TEST(ResourceFile, FailedFinishNeverPassesForSuccess) {
    FailingStream out;
    ResourceFileCompiler compiler(&out, false);
    MemStream source("payload", 7);
    compiler.addResource(&source, "p");
    out.m_bFail = true;
    EXPECT_THROW(compiler.finish(), FileAccessException);
    EXPECT_THROW(compiler.finish(), FileAccessException);
    out.m_bFail = false;
    compiler.finish();
    std::vector<unsigned char> aArchive(out.getData(), out.getData() + out.getSize());
    EXPECT_TRUE(readsBackIntact(aArchive, {{"p", "payload"}}));
}

namespace {
long long s_nNamesCompared = 0;
void countNameComparison() { ++s_nNamesCompared; }

// Counts the name comparisons of the archive indexes while it lives.
struct NameComparisonCounter {
    NameComparisonCounter() {
        s_nNamesCompared = 0;
        g_pfnGrfNameCompared = countNameComparison;
    }
    ~NameComparisonCounter() { g_pfnGrfNameCompared = nullptr; }
    long long take() {
        long long n = s_nNamesCompared;
        s_nNamesCompared = 0;
        return n;
    }
};
} // namespace

// Writing, opening and looking up every name of a large archive compare a few
// names per entry, not a share of all of them (quadratic: hours at millions).
TEST(ResourceFile, NameIndexWorkGrowsLinearlyWithTheEntries) {
    const int ENTRIES = 200000;
    NameComparisonCounter counter;
    MemStream out;
    {
        ResourceFileCompiler compiler(&out, false);
        for (int i = 0; i < ENTRIES; ++i) {
            MemStream empty;
            compiler.addStoredResource(&empty, String::format("sprites/item%06d.png", i));
        }
        compiler.finish();
    }
    long long nWriting = counter.take();
    ResourceFile archive(out.createReadStream(), true);
    ASSERT_EQ(ENTRIES, archive.getEntryCount());
    for (int i = 0; i < ENTRIES; ++i) ASSERT_TRUE(archive.hasResource(String::format("sprites/item%06d.png", i)));
    EXPECT_FALSE(archive.hasResource("sprites/item.png"));
    long long nReading = counter.take();
    EXPECT_LE(nWriting, 3LL * ENTRIES);
    EXPECT_LE(nReading, 5LL * ENTRIES);
}

TEST(FolderResourceProvider, ListsReadsAndRefusesEscapes) {
    std::string sRoot = tempDir() + "/folder_provider";
    mkdir(sRoot.c_str(), 0755);
    mkdir((sRoot + "/sub").c_str(), 0755);
    writeFile(sRoot + "/top.txt", "top");
    writeFile(sRoot + "/sub/inner.txt", "inner");
    writeFile(tempDir() + "/outside.txt", "secret");

    FolderResourceProvider folder((sRoot + "/").c_str());
    List<String> lNames = folder.getResourceNames();
    ASSERT_EQ(2, lNames.getCount());
    EXPECT_EQ(String("sub/inner.txt"), lNames.getAt(0));
    EXPECT_EQ(String("top.txt"), lNames.getAt(1));
    EXPECT_EQ(String("inner"), folder.getResource("sub/inner.txt")->getString());
    EXPECT_FALSE(folder.hasResource("sub")); // folders are not resources
    EXPECT_TRUE(folder.getResource("nothing").isNull());

    const char* aEscapes[] = {"../outside.txt", "sub/../../outside.txt", "/etc/passwd", "./top.txt",
                              "sub//inner.txt", "sub\\inner.txt", ""};
    for (const char* pszName : aEscapes) {
        EXPECT_FALSE(folder.hasResource(pszName)) << pszName;
        EXPECT_TRUE(folder.getResource(pszName).isNull()) << pszName;
    }
}

TEST(MemoryResourceProvider, AddReplaceAndList) {
    MemoryResourceProvider memory;
    memory.add("b", "bee", 3);
    memory.add("a", "ay", 2);
    memory.add("b", "bee2", 4);
    EXPECT_EQ(String("memory"), memory.getName());
    EXPECT_EQ(String("a,b"), memory.getResourceNames().join(","));
    EXPECT_EQ(String("bee2"), memory.getResource("b")->getString());
    EXPECT_TRUE(memory.getResource("c").isNull());
    EXPECT_THROW(memory.add("", "x", 1), BadParmException);
}
