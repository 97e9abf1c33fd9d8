// Byte streams: the common base of files, memory buffers, compressed streams
// and the log file.
//
// read() and write() move raw bytes and report how many moved, like fread; a
// short read only means the data ended. Everything that needs an exact amount
// (readFully, the typed readers, readVarInt) raises BadStreamFormatException
// naming the stream instead, so a truncated file can never leave a caller
// working on half-filled values.
#pragma once

#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <cstdint>

namespace Tsl {

class Stream : public RefCountedObject {
public:
    enum SeekOrigin { eSeekSet, eSeekCur, eSeekEnd };
    // A varint of 32 bits needs at most five groups of seven bits.
    enum { VARINT_MAX_BYTES = 5 };

    Stream();
    ~Stream() override;

    // Bytes actually read; 0 at the end of the data (or when not readable).
    virtual int read(void* pBuffer, int nSize) = 0;
    // Bytes actually written.
    virtual int write(const void* pData, int nSize) = 0;
    virtual int64_t tell() const = 0;
    // False when the stream cannot seek or the position is invalid.
    virtual bool seek(int64_t nOffset, SeekOrigin eOrigin = eSeekSet) = 0;
    // Total size in bytes, -1 when the stream cannot know it.
    virtual int64_t getSize() const = 0;
    virtual bool canRead() const = 0;
    virtual bool canWrite() const = 0;
    // What error messages call the stream: a file name or "memory".
    virtual String getName() const = 0;
    virtual void flush() {}

    // Byte order of the typed values; little-endian unless set otherwise.
    void setBigEndian(bool bBigEndian) { m_bBigEndian = bBigEndian; }
    bool isBigEndian() const { return m_bBigEndian; }

    // Reads exactly nSize bytes or raises BadStreamFormatException.
    void readFully(void* pBuffer, int nSize);
    // Bytes left before the end, -1 when unknown.
    int64_t getRemaining() const;

    bool writeByte(unsigned char nByte);
    unsigned char readByte();
    // The characters without terminator or length.
    bool writeText(const char* pszText);

    bool writeVarInt(unsigned int nValue);
    unsigned int readVarInt();

    bool writeInt(int nValue) { return writeUInt(static_cast<unsigned int>(nValue)); }
    int readInt() { return static_cast<int>(readUInt()); }
    bool writeUInt(unsigned int nValue);
    unsigned int readUInt();
    bool writeShort(short nValue) { return writeUShort(static_cast<unsigned short>(nValue)); }
    short readShort() { return static_cast<short>(readUShort()); }
    bool writeUShort(unsigned short nValue);
    unsigned short readUShort();
    bool writeFloat(float fValue);
    float readFloat();

private:
    bool m_bBigEndian;
};

} // namespace Tsl
