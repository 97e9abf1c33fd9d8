#include "test_folder.h"
#include "tsl2/file.h"
#include "tsl2/logfile.h"
#include "tsl2/memstream.h"
#include "tsl2/zstream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Tsl;

namespace {

std::string tempPath(const char* pszName) {
    return testPath(pszName);
}

std::vector<unsigned char> bytesOf(const MemStream& stream) {
    return std::vector<unsigned char>(stream.getData(), stream.getData() + stream.getSize());
}

std::string messageOf(const Exception& e) { return e.getMessage(); }

} // namespace

TEST(Stream, VarIntBytes) {
    struct Case {
        unsigned int nValue;
        std::vector<unsigned char> aBytes;
    } aCases[] = {{0, {0x00}},
                  {127, {0x7F}},
                  {128, {0x80, 0x01}},
                  {300, {0xAC, 0x02}},
                  {0xFFFFFFFFu, {0xFF, 0xFF, 0xFF, 0xFF, 0x0F}}};
    for (const Case& c : aCases) {
        MemStream out;
        EXPECT_TRUE(out.writeVarInt(c.nValue));
        EXPECT_EQ(c.aBytes, bytesOf(out)) << c.nValue;
        std::unique_ptr<MemStream> pIn(out.createReadStream());
        EXPECT_EQ(c.nValue, pIn->readVarInt());
    }
}

TEST(Stream, VarIntRejectsOverlongAndTruncated) {
    const unsigned char aSixBytes[] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x01};
    MemStream tooLong(aSixBytes, sizeof(aSixBytes));
    EXPECT_THROW(tooLong.readVarInt(), BadStreamFormatException);
    // Five bytes whose last group overflows 32 bits.
    const unsigned char aOverflow[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x1F};
    MemStream overflow(aOverflow, sizeof(aOverflow));
    EXPECT_THROW(overflow.readVarInt(), BadStreamFormatException);
    const unsigned char aCut[] = {0x80, 0x80};
    MemStream cut(aCut, sizeof(aCut));
    try {
        cut.readVarInt();
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_NE(std::string::npos, messageOf(e).find("memory"));
    }
}

TEST(Stream, TypedValuesHonourByteOrder) {
    MemStream out;
    out.writeInt(0x01020304);
    out.writeShort(0x0506);
    out.setBigEndian(true);
    out.writeInt(0x01020304);
    out.writeShort(0x0506);
    out.writeFloat(1.5f);
    std::vector<unsigned char> aExpected = {4, 3, 2, 1, 6, 5, 1, 2, 3, 4, 5, 6, 0x3F, 0xC0, 0, 0};
    EXPECT_EQ(aExpected, bytesOf(out));
    std::unique_ptr<MemStream> pIn(out.createReadStream());
    EXPECT_EQ(0x01020304, pIn->readInt());
    EXPECT_EQ(0x0506, pIn->readShort());
    pIn->setBigEndian(true);
    EXPECT_EQ(0x01020304, pIn->readInt());
    EXPECT_EQ(0x0506, pIn->readShort());
    EXPECT_EQ(1.5f, pIn->readFloat());
    EXPECT_THROW(pIn->readByte(), BadStreamFormatException);
}

TEST(MemStream, DirectionsSeekAndReaderLifetime) {
    MemStream* pWriter = new MemStream;
    EXPECT_TRUE(pWriter->canWrite());
    EXPECT_FALSE(pWriter->canRead());
    EXPECT_TRUE(pWriter->writeText("hello"));
    EXPECT_TRUE(pWriter->seek(0));
    pWriter->writeByte('j');
    EXPECT_EQ(5, pWriter->getSize());
    MemStream* pReader = pWriter->createReadStream();
    // The reader shares the bytes, so it outlives its writer safely.
    delete pWriter;
    EXPECT_TRUE(pReader->canRead());
    EXPECT_FALSE(pReader->canWrite());
    char aText[8] = {0};
    EXPECT_EQ(5, pReader->read(aText, 8));
    EXPECT_STREQ("jello", aText);
    EXPECT_EQ(0, pReader->read(aText, 1));
    EXPECT_EQ(0, pReader->write("x", 1));
    EXPECT_FALSE(pReader->seek(6));
    EXPECT_FALSE(pReader->seek(-1));
    delete pReader;
}

TEST(File, OpenModesAndErrorsNameTheFile) {
    std::string sPath = tempPath("file_test.bin");
    std::remove(sPath.c_str());
    EXPECT_FALSE(File::exists(sPath.c_str()));
    EXPECT_FALSE(File::exists(""));
    EXPECT_FALSE(File::exists(nullptr));
    try {
        File missing(sPath.c_str(), File::eRead);
        FAIL();
    } catch (const FileAccessException& e) {
        EXPECT_NE(std::string::npos, messageOf(e).find(sPath));
    }
    {
        File out(sPath.c_str(), File::eWrite);
        out.writeText("abcdef");
        EXPECT_EQ(6, out.getSize());
    }
    EXPECT_TRUE(File::exists(sPath.c_str()));
    {
        File both(sPath.c_str(), File::eReadWrite);
        EXPECT_TRUE(both.canRead() && both.canWrite());
        EXPECT_EQ('a', both.readByte());
        both.writeByte('X'); // overwrites 'b'
        EXPECT_TRUE(both.seek(0));
        char aText[7] = {0};
        both.readFully(aText, 6);
        EXPECT_STREQ("aXcdef", aText);
        try {
            both.readByte();
            FAIL();
        } catch (const BadStreamFormatException& e) {
            EXPECT_NE(std::string::npos, messageOf(e).find(sPath));
        }
    }
    EXPECT_THROW(File(tempPath("").c_str(), File::eRead), FileAccessException); // a directory
    // Only regular files exist; a FIFO without a writer must not make the
    // question wait for one.
    std::string sFifo = tempPath("file_test.fifo");
    ASSERT_EQ(0, mkfifo(sFifo.c_str(), 0600));
    alarm(60);
    EXPECT_FALSE(File::exists(sFifo.c_str()));
    alarm(0);
    EXPECT_FALSE(File::exists(tempPath("").c_str()));
}

TEST(File, WriteErrorsShowAtFlushAndClose) {
    // A full device takes writes into the buffer and refuses them on the way
    // out: that must not pass for success.
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    File full("/dev/full", File::eWrite);
    EXPECT_EQ(3, full.write("abc", 3));
    try {
        full.flush();
        FAIL();
    } catch (const FileAccessException& e) {
        EXPECT_NE(std::string::npos, messageOf(e).find("/dev/full"));
    }
    File closing("/dev/full", File::eWrite);
    closing.writeText("abc");
    EXPECT_THROW(closing.close(), FileAccessException);
    EXPECT_NO_THROW(closing.close());
    {
        File quiet("/dev/full", File::eWrite);
        quiet.writeText("abc"); // the destructor must not throw
    }
}

TEST(ZStream, RoundTripAcrossBufferBoundaries) {
    std::vector<unsigned char> aData(3 * ZStream::BUFFER_SIZE + 123);
    unsigned int nState = 1;
    for (size_t i = 0; i < aData.size(); ++i) {
        nState = nState * 1103515245u + 12345u;
        aData[i] = static_cast<unsigned char>(i % 7 == 0 ? nState >> 24 : i & 0x3F);
    }
    MemStream compressed;
    {
        ZStream writer(&compressed, 9);
        EXPECT_TRUE(writer.canWrite());
        EXPECT_FALSE(writer.canRead());
        EXPECT_EQ(static_cast<int>(aData.size()), writer.write(aData.data(), static_cast<int>(aData.size())));
    } // destruction finishes the zlib stream
    EXPECT_LT(compressed.getSize(), static_cast<int64_t>(aData.size()));
    ZStream reader(compressed.createReadStream(), -1, true);
    EXPECT_TRUE(reader.canRead());
    std::vector<unsigned char> aBack(aData.size());
    reader.readFully(aBack.data(), static_cast<int>(aBack.size()));
    EXPECT_EQ(aData, aBack);
    unsigned char nExtra = 0;
    EXPECT_EQ(0, reader.read(&nExtra, 1));
    EXPECT_THROW(reader.readByte(), BadStreamFormatException);
}

TEST(ZStream, CorruptAndTruncatedDataRaise) {
    MemStream compressed;
    {
        ZStream writer(&compressed);
        for (int i = 0; i < 1000; ++i) writer.writeInt(i);
    }
    std::vector<unsigned char> aBytes = bytesOf(compressed);
    // Cut short: every length short of the whole.
    for (size_t nCut = 0; nCut < aBytes.size(); ++nCut) {
        MemStream source(aBytes.data(), static_cast<int>(nCut));
        ZStream reader(&source);
        std::vector<unsigned char> aOut(4001);
        // Reading on past the data must reach the zlib trailer and find it missing.
        EXPECT_THROW(reader.read(aOut.data(), 4001), BadStreamFormatException) << nCut;
    }
    // A broken zlib header names the stream.
    aBytes[0] ^= 0xFF;
    MemStream source(aBytes.data(), static_cast<int>(aBytes.size()));
    ZStream reader(&source);
    try {
        reader.readInt();
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_NE(std::string::npos, messageOf(e).find("memory"));
    }
}

TEST(LogFile, AppendsEveryWrite) {
    std::string sPath = tempPath("logfile_test.log");
    std::remove(sPath.c_str());
    LogFile log(sPath.c_str());
    EXPECT_TRUE(log.writeText("M: one\n"));
    // Another writer in between: the log reopens the file each time.
    {
        File other(sPath.c_str(), File::eReadWrite);
        other.seek(0, Stream::eSeekEnd);
        other.writeText("X");
    }
    EXPECT_TRUE(log.writeText("M: two\n"));
    File in(sPath.c_str(), File::eRead);
    std::string sText(static_cast<size_t>(in.getSize()), '\0');
    in.readFully(&sText[0], static_cast<int>(sText.size()));
    EXPECT_EQ("M: one\nXM: two\n", sText);
    LogFile nowhere("/nonexistent-folder/x.log");
    EXPECT_FALSE(nowhere.writeText("lost"));
}

TEST(String, BinaryEncodingRoundTripAndBrokenEscapes) {
    unsigned char aAll[512];
    for (int i = 0; i < 512; ++i) aAll[i] = static_cast<unsigned char>(i);
    String sText = String::encodeBinary(aAll, 512);
    EXPECT_EQ(512 + 4, sText.getLength()); // 0x00 and 0x01 twice each, one extra byte each
    EXPECT_EQ(-1, sText.find('\0'));
    std::unique_ptr<MemStream> pDecoded(String::decodeBinary(sText));
    EXPECT_TRUE(pDecoded->canRead());
    ASSERT_EQ(512, pDecoded->getSize());
    EXPECT_EQ(0, std::memcmp(aAll, pDecoded->getData(), 512));

    const char* aBroken[] = {"ab\x01", "\x01\x03", "x\x01\x7F"};
    for (const char* pszBroken : aBroken)
        EXPECT_THROW(delete String::decodeBinary(pszBroken), BadStreamFormatException) << pszBroken;
}
