#include "tsl2/objectstreamer.h"

#include <climits>
#include <cstring>

namespace Tsl {

// Our older writers opened a stream with this signature instead of the single
// header byte; readers still accept it.
const unsigned char OBJECTSTREAMER_OLD_SIGNATURE[OBJECTSTREAMER_OLD_SIGNATURE_SIZE] = {
    0x01, 'T', 's', 'l', ':', ':', 'O', 'b', 'j', 'e', 'c', 't', 'S',
    't',  'r', 'e', 'a', 'm', 'e', 'r', ' ', '1', '.', '0', '\n'};

namespace {
// Strings are read in pieces of this size, so a corrupt length costs at most
// one piece of memory before the data runs out.
const unsigned int READ_CHUNK = 65536;
} // namespace

ObjectStreamer::ObjectStreamer(Stream* pStream, bool bOwnStream)
    : m_pStream(pStream), m_bOwnStream(bOwnStream), m_bWriting(false), m_nNextObject(0) {
    TSL_TRACE();
    TSL_ASSERT(pStream);
    try {
        if (pStream->canRead() && pStream->canWrite())
            TSL_THROW(BadParmException, "Tsl::ObjectStreamer : Bidirectional streams not supported");
        if (pStream->canWrite()) {
            m_bWriting = true;
            write(static_cast<unsigned char>(OBJECTSTREAMER_HEADER));
        } else if (pStream->canRead()) {
            readHeaderByte();
        } else {
            TSL_THROW(BadParmException, "Tsl::ObjectStreamer : stream %s can be neither read nor written",
                      pStream->getName().c_str());
        }
    } catch (...) {
        if (m_bOwnStream) delete m_pStream;
        throw;
    }
}

ObjectStreamer::~ObjectStreamer() {
    if (m_bOwnStream) delete m_pStream;
}

void ObjectStreamer::readHeaderByte() {
    TSL_TRACE();
    unsigned char nHeader = m_pStream->readByte();
    if (nHeader == OBJECTSTREAMER_HEADER) return;
    if (nHeader != OBJECTSTREAMER_OLD_HEADER)
        TSL_THROW(BadStreamFormatException, "Tsl::ObjectStreamer : bad header byte %02X in %s", nHeader,
                  m_pStream->getName().c_str());
    unsigned char aSignature[OBJECTSTREAMER_OLD_SIGNATURE_SIZE - 1];
    m_pStream->readFully(aSignature, sizeof(aSignature));
    if (std::memcmp(aSignature, OBJECTSTREAMER_OLD_SIGNATURE + 1, sizeof(aSignature)) != 0)
        TSL_THROW(BadStreamFormatException, "Wrong ObjectStreamer signature");
}

void ObjectStreamer::requireWriting(bool bWriting) const {
    if (bWriting != m_bWriting)
        TSL_THROW(BadStateException, "Tsl::ObjectStreamer : %s on a %s streamer (%s)", bWriting ? "write" : "read",
                  m_bWriting ? "writing" : "reading", m_pStream->getName().c_str());
}

void ObjectStreamer::put(const void* pData, int nSize) {
    requireWriting(true);
    if (m_pStream->write(pData, nSize) != nSize)
        TSL_THROW(FileAccessException, "Tsl::ObjectStreamer : can't write to %s", m_pStream->getName().c_str());
}

void ObjectStreamer::write(char c) { put(&c, 1); }

void ObjectStreamer::write(unsigned char n) { put(&n, 1); }

void ObjectStreamer::write(bool b) { write(static_cast<unsigned char>(b ? 1 : 0)); }

void ObjectStreamer::write(int n) { write(static_cast<unsigned int>(n)); }

void ObjectStreamer::write(unsigned int n) {
    requireWriting(true);
    if (!m_pStream->writeUInt(n))
        TSL_THROW(FileAccessException, "Tsl::ObjectStreamer : can't write to %s", m_pStream->getName().c_str());
}

void ObjectStreamer::write(float f) {
    unsigned int nBits = 0;
    std::memcpy(&nBits, &f, 4);
    write(nBits);
}

void ObjectStreamer::write(const String& s) {
    TSL_TRACE();
    write(static_cast<unsigned char>(OBJECTSTREAMER_STRING_TAG));
    writeVarInt(static_cast<unsigned int>(s.getLength()));
    put(s.c_str(), s.getLength());
}

void ObjectStreamer::writeVarInt(unsigned int n) {
    requireWriting(true);
    if (!m_pStream->writeVarInt(n))
        TSL_THROW(FileAccessException, "Tsl::ObjectStreamer : can't write to %s", m_pStream->getName().c_str());
}

void ObjectStreamer::read(char& c) {
    unsigned char n = 0;
    read(n);
    c = static_cast<char>(n);
}

void ObjectStreamer::read(unsigned char& n) {
    requireWriting(false);
    n = m_pStream->readByte();
}

void ObjectStreamer::read(bool& b) {
    unsigned char n = 0;
    read(n);
    b = n != 0;
}

void ObjectStreamer::read(int& n) {
    unsigned int u = 0;
    read(u);
    n = static_cast<int>(u);
}

void ObjectStreamer::read(unsigned int& n) {
    requireWriting(false);
    n = m_pStream->readUInt();
}

void ObjectStreamer::read(float& f) {
    unsigned int nBits = 0;
    read(nBits);
    std::memcpy(&f, &nBits, 4);
}

void ObjectStreamer::read(String& s) {
    TSL_TRACE();
    s = readBytes(readStringLength());
}

bool ObjectStreamer::read(String& s, unsigned int nMaxLength) {
    TSL_TRACE();
    unsigned int nLength = readStringLength();
    if (nLength <= nMaxLength) {
        s = readBytes(nLength);
        return true;
    }
    s = String();
    skipBytes(nLength);
    return false;
}

unsigned int ObjectStreamer::readStringLength() {
    unsigned char nTag = 0;
    read(nTag);
    unsigned int nLength = 0;
    if (nTag == OBJECTSTREAMER_STRING_TAG) {
        nLength = readVarInt();
    } else if (nTag == OBJECTSTREAMER_OLD_STRING_TAG) {
        read(nLength);
    } else {
        TSL_THROW(BadStreamFormatException, "Tsl::ObjectStreamer : expected a string, found tag %02X in %s", nTag,
                  m_pStream->getName().c_str());
    }
    return nLength;
}

void ObjectStreamer::requireAvailable(unsigned int nLength) const {
    int64_t nRemaining = m_pStream->getRemaining();
    if (nLength > static_cast<unsigned int>(INT_MAX) || (nRemaining >= 0 && nLength > nRemaining))
        TSL_THROW(BadStreamFormatException, "Tsl::ObjectStreamer : string of %u bytes runs past the end of %s",
                  nLength, m_pStream->getName().c_str());
}

void ObjectStreamer::skipBytes(unsigned int nLength) {
    TSL_TRACE();
    requireAvailable(nLength);
    std::vector<char> aPiece(nLength < READ_CHUNK ? nLength : READ_CHUNK);
    for (unsigned int nLeft = nLength; nLeft > 0;) {
        unsigned int nPiece = nLeft < READ_CHUNK ? nLeft : READ_CHUNK;
        m_pStream->readFully(aPiece.data(), static_cast<int>(nPiece));
        nLeft -= nPiece;
    }
}

String ObjectStreamer::readBytes(unsigned int nLength) {
    TSL_TRACE();
    requireAvailable(nLength);
    std::vector<char> aBytes;
    while (aBytes.size() < nLength) {
        size_t nOld = aBytes.size();
        size_t nPiece = nLength - nOld < READ_CHUNK ? nLength - nOld : READ_CHUNK;
        aBytes.resize(nOld + nPiece);
        m_pStream->readFully(aBytes.data() + nOld, static_cast<int>(nPiece));
    }
    return String(aBytes.data(), static_cast<int>(aBytes.size()));
}

unsigned int ObjectStreamer::readVarInt() {
    requireWriting(false);
    return m_pStream->readVarInt();
}

unsigned int ObjectStreamer::makeHeaderWord(const char* pszMagic, int nVersion) {
    TSL_ASSERT(pszMagic && std::strlen(pszMagic) == 3);
    const unsigned char* pMagic = reinterpret_cast<const unsigned char*>(pszMagic);
    return static_cast<unsigned int>(pMagic[0]) | (static_cast<unsigned int>(pMagic[1]) << 8) |
           (static_cast<unsigned int>(pMagic[2]) << 16) | (static_cast<unsigned int>(nVersion & 0xFF) << 24);
}

void ObjectStreamer::writeHeader(const char* pszMagic, int nVersion) {
    TSL_ASSERT(nVersion >= 1 && nVersion <= 255);
    write(makeHeaderWord(pszMagic, nVersion));
}

int ObjectStreamer::readHeader(const char* pszMagic, int nMaxVersion) {
    TSL_TRACE();
    unsigned int nWord = 0;
    read(nWord);
    return checkHeaderWord(nWord, pszMagic, nMaxVersion);
}

int ObjectStreamer::checkHeaderWord(unsigned int nWord, const char* pszMagic, int nMaxVersion) {
    unsigned int nExpected = makeHeaderWord(pszMagic, nMaxVersion);
    if ((nWord & 0x00FFFFFFu) != (nExpected & 0x00FFFFFFu))
        TSL_THROW(BadStreamFormatException, "bad stream format : %08X, got %08X", nExpected, nWord);
    int nVersion = static_cast<int>(nWord >> 24);
    if (nVersion < 1 || nVersion > nMaxVersion) TSL_THROW(BadStreamFormatException, "unknown format version %d", nVersion);
    return nVersion;
}

int ObjectStreamer::getObjectIndex(const void* pObject) const {
    auto it = m_mWrittenObjects.find(pObject);
    return it == m_mWrittenObjects.end() ? -1 : it->second;
}

int ObjectStreamer::addObject(const void* pObject) {
    int nIndex = m_nNextObject++;
    m_mWrittenObjects[pObject] = nIndex;
    return nIndex;
}

void ObjectStreamer::setObject(int nIndex, void* pObject) {
    if (nIndex < 0)
        TSL_THROW(BadStreamFormatException, "Tsl::ObjectStreamer : bad object index %d in %s", nIndex,
                  m_pStream->getName().c_str());
    m_mReadObjects[nIndex] = pObject;
}

bool ObjectStreamer::hasObject(int nIndex) const { return m_mReadObjects.count(nIndex) != 0; }

void* ObjectStreamer::getObject(int nIndex) const {
    auto it = m_mReadObjects.find(nIndex);
    if (it == m_mReadObjects.end())
        TSL_THROW(BadStreamFormatException, "Tsl::ObjectStreamer : unknown object index %d in %s", nIndex,
                  m_pStream->getName().c_str());
    return it->second;
}

} // namespace Tsl
