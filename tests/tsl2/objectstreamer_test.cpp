#include "test_folder.h"
#include "tsl2/file.h"
#include "tsl2/hash.h"
#include "tsl2/logfile.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Tsl;

namespace {

std::vector<unsigned char> bytesOf(const MemStream& stream) {
    return std::vector<unsigned char>(stream.getData(), stream.getData() + stream.getSize());
}

// A reader over the given bytes (the streamer owns its stream).
std::unique_ptr<ObjectStreamer> readerOf(const std::vector<unsigned char>& aBytes) {
    return std::unique_ptr<ObjectStreamer>(
        new ObjectStreamer(new MemStream(aBytes.data(), static_cast<int>(aBytes.size()), true), true));
}

std::string messageOf(const Exception& e) { return e.getMessage(); }

} // namespace

TEST(ObjectStreamer, WritesExactBytes) {
    MemStream out;
    {
        ObjectStreamer os(&out, false);
        EXPECT_TRUE(os.isWriting());
        os.write(static_cast<unsigned char>(0xAB));
        os.write('z');
        os.write(0x11223344);
        os.write(true);
        os.write(String("hi"));
        os.writeVarInt(300);
        List<int> lNumbers;
        lNumbers.append(7);
        lNumbers.append(-1);
        lNumbers.persistTo(os);
    }
    std::vector<unsigned char> aExpected = {0x05, 0xAB, 'z', 0x44, 0x33, 0x22, 0x11, 0x01, 0x12, 0x02, 'h', 'i',
                                            0xAC, 0x02, 0x14, 0x02, 0x00, 7,    0,    0,    0,    0x00, 0xFF, 0xFF,
                                            0xFF, 0xFF};
    EXPECT_EQ(aExpected, bytesOf(out));
}

TEST(ObjectStreamer, ValuesRoundTripInBothByteOrders) {
    for (bool bBigEndian : {false, true}) {
        MemStream out;
        out.setBigEndian(bBigEndian);
        {
            ObjectStreamer os(&out, false);
            os.write(-5);
            os.write(0xFEDCBA98u);
            os.write(2.25f);
            os.write(String("with\0zero", 9));
            os.write(String());
        }
        std::unique_ptr<MemStream> pIn(out.createReadStream());
        pIn->setBigEndian(bBigEndian);
        ObjectStreamer is(pIn.get(), false);
        int n = 0;
        unsigned int u = 0;
        float f = 0;
        String s1, s2("x");
        is.read(n);
        is.read(u);
        is.read(f);
        is.read(s1);
        is.read(s2);
        EXPECT_EQ(-5, n);
        EXPECT_EQ(0xFEDCBA98u, u);
        EXPECT_EQ(2.25f, f);
        EXPECT_EQ(String("with\0zero", 9), s1);
        EXPECT_TRUE(s2.isEmpty());
    }
}

TEST(ObjectStreamer, ReadsOlderForms) {
    // Older writers: the 25-byte signature, and strings as 0x02 + 32-bit length.
    std::vector<unsigned char> aBytes(OBJECTSTREAMER_OLD_SIGNATURE,
                                      OBJECTSTREAMER_OLD_SIGNATURE + OBJECTSTREAMER_OLD_SIGNATURE_SIZE);
    aBytes.insert(aBytes.end(), {0x02, 3, 0, 0, 0, 'o', 'l', 'd', 0x12, 3, 'n', 'e', 'w'});
    std::unique_ptr<ObjectStreamer> pIs = readerOf(aBytes);
    String sOld, sNew;
    pIs->read(sOld);
    pIs->read(sNew);
    EXPECT_EQ(String("old"), sOld);
    EXPECT_EQ(String("new"), sNew);
}

TEST(ObjectStreamer, RefusesBadHeadersAndStreams) {
    std::vector<unsigned char> aBytes(OBJECTSTREAMER_OLD_SIGNATURE,
                                      OBJECTSTREAMER_OLD_SIGNATURE + OBJECTSTREAMER_OLD_SIGNATURE_SIZE);
    aBytes[10] ^= 0x20;
    try {
        readerOf(aBytes);
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_EQ("Wrong ObjectStreamer signature", messageOf(e));
    }
    aBytes.resize(5); // a cut signature runs out of data
    EXPECT_THROW(readerOf(aBytes), BadStreamFormatException);
    EXPECT_THROW(readerOf({0x07}), BadStreamFormatException);
    EXPECT_THROW(readerOf({}), BadStreamFormatException);

    std::string sPath = testPath("os_both.bin");
    File* pBoth = new File(sPath.c_str(), File::eReadWrite, true);
    try {
        ObjectStreamer os(pBoth, true); // deletes the stream on failure too (leak checker)
        FAIL();
    } catch (const BadParmException& e) {
        EXPECT_EQ("Tsl::ObjectStreamer : Bidirectional streams not supported", messageOf(e));
    }
    // A header that can't be written is a failure, not a writer.
    LogFile nowhere("/nonexistent-folder/settings.dat");
    EXPECT_THROW(ObjectStreamer(&nowhere, false), FileAccessException);
}

TEST(ObjectStreamer, BadStringsFailCleanly) {
    // Unknown tag.
    std::unique_ptr<ObjectStreamer> pIs = readerOf({0x05, 0x13, 0x01, 'a'});
    String s;
    EXPECT_THROW(pIs->read(s), BadStreamFormatException);
    // A length near 4 GB over a few bytes: refused before any allocation.
    pIs = readerOf({0x05, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 'a'});
    EXPECT_THROW(pIs->read(s), BadStreamFormatException);
    pIs = readerOf({0x05, 0x02, 0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    EXPECT_THROW(pIs->read(s), BadStreamFormatException);
    // Through a compressed stream the remaining size is unknown: it reads in
    // pieces and runs into the end of the data.
    MemStream compressed;
    {
        ZStream z(&compressed);
        const unsigned char aBytes[] = {0x05, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 'a', 'b'};
        z.write(aBytes, sizeof(aBytes));
    }
    ObjectStreamer zs(new ZStream(compressed.createReadStream(), -1, true), true);
    EXPECT_THROW(zs.read(s), BadStreamFormatException);
}

TEST(ObjectStreamer, RecordHeaders) {
    MemStream out;
    {
        ObjectStreamer os(&out, false);
        os.writeHeader("PRF", 2);
    }
    EXPECT_EQ((std::vector<unsigned char>{0x05, 'P', 'R', 'F', 0x02}), bytesOf(out));
    std::vector<unsigned char> aBytes = bytesOf(out);
    EXPECT_EQ(2, readerOf(aBytes)->readHeader("PRF", 3));
    try {
        readerOf(aBytes)->readHeader("PRF", 1);
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_EQ("unknown format version 2", messageOf(e));
    }
    try {
        readerOf(aBytes)->readHeader("HSC", 2);
        FAIL();
    } catch (const BadStreamFormatException& e) {
        EXPECT_EQ("bad stream format : 02435348, got 02465250", messageOf(e));
    }
}

TEST(ObjectStreamer, ListsPersistAndRejectBadHeaders) {
    List<int> lNumbers;
    List<String> lTexts;
    for (int i = 0; i < 200; ++i) {
        lNumbers.append(i * 1000 - 7);
        lTexts.append(String::format("text %d", i));
    }
    lTexts.append(String());
    MemStream out;
    {
        ObjectStreamer os(&out, false);
        lNumbers.persistTo(os);
        lTexts.persistTo(os);
    }
    std::unique_ptr<ObjectStreamer> pIs = readerOf(bytesOf(out));
    List<int> lNumbersBack;
    List<String> lTextsBack;
    lNumbersBack.append(99); // persistFrom clears first
    lNumbersBack.persistFrom(*pIs);
    lTextsBack.persistFrom(*pIs);
    ASSERT_EQ(200, lNumbersBack.getCount());
    ASSERT_EQ(201, lTextsBack.getCount());
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(i * 1000 - 7, lNumbersBack.getAt(i));
        EXPECT_EQ(lTexts.getAt(i), lTextsBack.getAt(i));
    }

    // The older list form: 0x04, version 1, a 32-bit count.
    pIs = readerOf({0x05, 0x04, 0x01, 0x01, 0, 0, 0, 0x00, 0x12, 0x01, 'q'});
    lTextsBack.persistFrom(*pIs);
    ASSERT_EQ(1, lTextsBack.getCount());
    EXPECT_EQ(String("q"), lTextsBack.getAt(0));

    struct BadCase {
        std::vector<unsigned char> aBytes;
        const char* pszMessage;
    } aCases[] = {{{0x05, 0x15, 0x00}, "List::persistFrom : bad stream format\n"},
                  {{0x05, 0x04, 0x02, 0, 0, 0, 0}, "List::persistFrom : unknown format version\n"},
                  {{0x05, 0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}, "List::persistFrom : bad stream format\n"}};
    for (const BadCase& c : aCases) {
        pIs = readerOf(c.aBytes);
        try {
            lNumbersBack.persistFrom(*pIs);
            FAIL() << c.pszMessage;
        } catch (const BadStreamFormatException& e) {
            EXPECT_EQ(c.pszMessage, messageOf(e));
        }
    }
    // A count far beyond the data ends at the data, not in a huge allocation.
    pIs = readerOf({0x05, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x00, 1, 0, 0, 0});
    EXPECT_THROW(lNumbersBack.persistFrom(*pIs), BadStreamFormatException);
}

TEST(ObjectStreamer, ObjectTables) {
    MemStream out;
    ObjectStreamer os(&out, false);
    int a = 0, b = 0;
    EXPECT_EQ(-1, os.getObjectIndex(&a));
    EXPECT_EQ(0, os.addObject(&a));
    EXPECT_EQ(1, os.addObject(&b));
    EXPECT_EQ(0, os.getObjectIndex(&a));
    EXPECT_EQ(1, os.getObjectIndex(&b));

    std::unique_ptr<ObjectStreamer> pIs = readerOf({0x05});
    EXPECT_FALSE(pIs->hasObject(3));
    pIs->setObject(3, &b);
    EXPECT_TRUE(pIs->hasObject(3));
    EXPECT_EQ(&b, pIs->getObject(3));
    // Indices come from the data: an unknown one is a format error.
    EXPECT_THROW(pIs->getObject(4), BadStreamFormatException);
    EXPECT_THROW(pIs->setObject(-1, &a), BadStreamFormatException);
}

TEST(ObjectStreamer, SettingsTableThroughCompressedFile) {
    std::string sPath = testPath("config.dat");
    Hash<String, String> hSettings;
    hSettings.set("Fullscreen", "TRUE");
    hSettings.set("SoundVolume", "200");
    hSettings.set("CurrentPlayerName", "Ann");
    {
        ObjectStreamer os(new ZStream(new File(sPath.c_str(), File::eWrite), 9, true), true);
        hSettings.getKeys().persistTo(os);
        hSettings.getValues().persistTo(os);
    }
    ObjectStreamer is(new ZStream(new File(sPath.c_str(), File::eRead), -1, true), true);
    List<String> lKeys, lValues;
    lKeys.persistFrom(is);
    lValues.persistFrom(is);
    ASSERT_EQ(3, lKeys.getCount());
    ASSERT_EQ(3, lValues.getCount());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hSettings.get(lKeys.getAt(i)), lValues.getAt(i));
}
