// Typed serialisation over a one-directional stream: the one format of the
// settings, profiles, high scores and the archive directory.
//
// Stream layout:
//   header    0x05 (current) | 0x01 + 24 bytes of OBJECTSTREAMER_OLD_SIGNATURE (older writers)
//   byte      char / unsigned char / bool: one byte as is
//   int       4 bytes, least significant first unless the stream is big-endian
//   float     the IEEE bits as an unsigned int
//   varint    7 bits per byte, lowest group first, 0x80 on all but the last
//   String    0x12, varint length, bytes;  older writers: 0x02, 32-bit length, bytes
//   List<T>   0x14, varint count, per element 0x00 + the element (see List::persistTo)
// Persisted records open with writeHeader: three letters in the low 24 bits
// of a 32-bit word and the format version in the top 8 bits.
#pragma once

#include "tsl2/stream.h"

#include <unordered_map>
#include <vector>

namespace Tsl {

enum {
    OBJECTSTREAMER_HEADER = 0x05,
    OBJECTSTREAMER_OLD_HEADER = 0x01,
    OBJECTSTREAMER_OLD_SIGNATURE_SIZE = 25,
    OBJECTSTREAMER_STRING_TAG = 0x12,
    OBJECTSTREAMER_OLD_STRING_TAG = 0x02
};

// The signature older writers put at the start of a stream: the byte 0x01,
// then this text without its terminator (25 bytes in all).
extern const unsigned char OBJECTSTREAMER_OLD_SIGNATURE[OBJECTSTREAMER_OLD_SIGNATURE_SIZE];

class ObjectStreamer {
public:
    // A writer over a write-only stream, a reader over a read-only one. With
    // bOwnStream the stream is deleted with the streamer.
    ObjectStreamer(Stream* pStream, bool bOwnStream);
    ~ObjectStreamer();

    bool isWriting() const { return m_bWriting; }
    Stream* getStream() const { return m_pStream; }

    void write(char c);
    void write(unsigned char n);
    void write(bool b);
    void write(int n);
    void write(unsigned int n);
    void write(float f);
    void write(const String& s);
    void writeVarInt(unsigned int n);

    void read(char& c);
    void read(unsigned char& n);
    void read(bool& b);
    void read(int& n);
    void read(unsigned int& n);
    void read(float& f);
    void read(String& s);
    // A string of at most nMaxLength bytes. A longer one is passed over (its
    // bytes read and dropped, never held at once), s is emptied and false
    // returned, so a reader can refuse a value and go on with the next.
    bool read(String& s, unsigned int nMaxLength);
    unsigned int readVarInt();

    // Persisted record header: "GRF", 1 -> bytes 'G' 'R' 'F' 0x01.
    void writeHeader(const char* pszMagic, int nVersion);
    // Returns the version found (1..nMaxVersion); raises
    // BadStreamFormatException on another magic or an unknown version.
    int readHeader(const char* pszMagic, int nMaxVersion);
    // The same check on a header word read some other way.
    static int checkHeaderWord(unsigned int nWord, const char* pszMagic, int nMaxVersion);
    static unsigned int makeHeaderWord(const char* pszMagic, int nVersion);

    // Object tables, so a graph writes each shared object once.
    // Writing: the index given to an object, -1 when none; the next index.
    int getObjectIndex(const void* pObject) const;
    int addObject(const void* pObject);
    // Reading: the object read under an index.
    void setObject(int nIndex, void* pObject);
    bool hasObject(int nIndex) const;
    void* getObject(int nIndex) const;

private:
    ObjectStreamer(const ObjectStreamer&) = delete;
    ObjectStreamer& operator=(const ObjectStreamer&) = delete;
    void requireWriting(bool bWriting) const;
    void put(const void* pData, int nSize);
    void readHeaderByte();
    // The tag and length of a string.
    unsigned int readStringLength();
    void requireAvailable(unsigned int nLength) const;
    String readBytes(unsigned int nLength);
    void skipBytes(unsigned int nLength);

    Stream* m_pStream;
    bool m_bOwnStream;
    bool m_bWriting;
    std::unordered_map<const void*, int> m_mWrittenObjects;
    int m_nNextObject;
    std::unordered_map<int, void*> m_mReadObjects;
};

} // namespace Tsl
