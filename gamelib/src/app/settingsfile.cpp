#include "app/settingsfile.h"

#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

const char* const SETTINGS_MAGIC = "SET";
const int SETTINGS_VERSION = 1;

// Unpacks the zlib stream of another stream in chunks, and raises once the
// unpacked bytes pass a budget: a few kilobytes that unpack to gigabytes are
// damage, not settings. The bytes unpacked before any damage are handed on
// first, the damage raised on the next read: entries read whole before it
// are kept, and a file of millions of tiny entries is not read through a
// call into zlib for every byte.
class UnpackStream : public Tsl::Stream {
public:
    UnpackStream(Tsl::Stream* pSource, int64_t nBudget)
        : m_pSource(pSource), m_nBudget(nBudget), m_nUnpacked(0), m_nPos(0), m_nHave(0), m_bEnded(false),
          m_bCutShort(false), m_bCutRaised(false), m_aIn(CHUNK), m_aOut(CHUNK) {
        std::memset(&m_zs, 0, sizeof(m_zs));
        if (inflateInit(&m_zs) != Z_OK)
            TSL_THROW(BadStateException, "zlib cannot start unpacking %s", getName().c_str());
    }
    ~UnpackStream() override { inflateEnd(&m_zs); }

    int read(void* pBuffer, int nSize) override {
        int nDone = 0;
        while (nDone < nSize) {
            if (m_nPos == m_nHave && !refill()) break;
            int nChunk = std::min(nSize - nDone, m_nHave - m_nPos);
            std::memcpy(static_cast<char*>(pBuffer) + nDone, &m_aOut[size_t(m_nPos)], size_t(nChunk));
            m_nPos += nChunk;
            nDone += nChunk;
        }
        return nDone;
    }
    // Whether the damage raised was the stream ending before its end: the
    // bytes handed on before it are exactly as written.
    bool wasCutShort() const { return m_bCutRaised; }
    int write(const void*, int) override { return 0; }
    int64_t tell() const override { return m_nUnpacked - (m_nHave - m_nPos); }
    bool seek(int64_t, SeekOrigin) override { return false; }
    int64_t getSize() const override { return -1; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return false; }
    Tsl::String getName() const override { return m_pSource->getName(); }

private:
    enum { CHUNK = 65536 };

    // The next chunk of unpacked bytes; false at the stream's end. Raises
    // the damage met once the bytes before it are handed on.
    bool refill() {
        if (!m_sDamage.isEmpty()) raiseDamage();
        if (m_bEnded) return false;
        m_zs.next_out = m_aOut.data();
        m_zs.avail_out = CHUNK;
        while (m_zs.avail_out > 0 && !m_bEnded && m_sDamage.isEmpty()) {
            if (m_zs.avail_in == 0) {
                int nRead = m_pSource->read(m_aIn.data(), CHUNK);
                if (nRead <= 0) {
                    m_sDamage = Tsl::String::format("Truncated compressed data in %s", getName().c_str());
                    m_bCutShort = true;
                    break;
                }
                m_zs.next_in = m_aIn.data();
                m_zs.avail_in = uInt(nRead);
            }
            int nResult = inflate(&m_zs, Z_NO_FLUSH);
            if (nResult == Z_STREAM_END)
                m_bEnded = true;
            else if (nResult != Z_OK)
                m_sDamage = Tsl::String::format("Corrupt compressed data in %s : %s", getName().c_str(),
                                                m_zs.msg ? m_zs.msg : "inflate failed");
        }
        m_nPos = 0;
        m_nHave = int(CHUNK - m_zs.avail_out);
        if (m_nUnpacked + m_nHave > m_nBudget) {
            m_nHave = int(m_nBudget - m_nUnpacked);
            m_bCutShort = false;
            m_sDamage = Tsl::String::format("%s unpacks to more than %lld bytes", getName().c_str(),
                                            static_cast<long long>(m_nBudget));
        }
        m_nUnpacked += m_nHave;
        if (m_nHave > 0) return true;
        if (!m_sDamage.isEmpty()) raiseDamage();
        return false;
    }

    [[noreturn]] void raiseDamage() {
        m_bCutRaised = m_bCutShort;
        TSL_THROW(BadStreamFormatException, "%s", m_sDamage.c_str());
    }

    Tsl::Stream* m_pSource;
    int64_t m_nBudget;
    int64_t m_nUnpacked;  // handed to the buffer so far
    int m_nPos;           // in m_aOut
    int m_nHave;          // bytes in m_aOut
    bool m_bEnded;
    bool m_bCutShort;   // the damage met is the source's end
    bool m_bCutRaised;  // and it was raised
    Tsl::String m_sDamage;  // met, not raised yet
    z_stream m_zs;
    std::vector<Bytef> m_aIn;
    std::vector<Bytef> m_aOut;
};

std::string bytesOf(const Tsl::String& s) { return std::string(s.c_str(), size_t(s.getLength())); }

// The entries of one read, handed to the caller's table at the end: an
// entry met again takes the place of the one before it, and a refused one
// is only counted. Keys the table holds already, and the caller's own, are
// never refused.
class EntryGatherer {
public:
    EntryGatherer(const Tsl::Hash<Tsl::String, Tsl::String>& hEntries, const Tsl::List<Tsl::String>& lOwnKeys)
        : m_nAdded(0), m_nRefused(0) {
        for (const Tsl::String& sKey : hEntries.getKeys()) m_free.insert(bytesOf(sKey));
        for (const Tsl::String& sKey : lOwnKeys) m_free.insert(bytesOf(sKey));
    }

    void take(const std::string& sKey, const std::string& sValue) {
        auto it = m_entries.find(sKey);
        if (it != m_entries.end()) {
            it->second = sValue;
        } else if (m_free.count(sKey) > 0) {
            m_entries.emplace(sKey, sValue);
        } else if (m_nAdded < SettingsFile::MAX_ENTRIES) {
            m_entries.emplace(sKey, sValue);
            ++m_nAdded;
        } else {
            ++m_nRefused;
        }
    }

    void handTo(Tsl::Hash<Tsl::String, Tsl::String>& hEntries, SettingsFile::Report& report) const {
        for (const auto& entry : m_entries)
            hEntries.set(Tsl::String(entry.first.data(), int(entry.first.size())),
                         Tsl::String(entry.second.data(), int(entry.second.size())));
        if (m_nRefused == 0) return;
        report.bWhole = false;
        report.lProblems.append(Tsl::String::format("%d entries past the first %d new keys refused (own keys kept)",
                                                    m_nRefused, int(SettingsFile::MAX_ENTRIES)));
    }

private:
    std::unordered_map<std::string, std::string> m_entries;
    std::unordered_set<std::string> m_free;
    int m_nAdded;
    int m_nRefused;
};

// The entry count after the header; raises on damage.
int readCount(Tsl::ObjectStreamer& streamer) {
    streamer.readHeader(SETTINGS_MAGIC, SETTINGS_VERSION);
    int nCount = 0;
    streamer.read(nCount);
    if (nCount < 0) TSL_THROW(BadStreamFormatException, "negative entry count %d", nCount);
    return nCount;
}

void noteRefused(SettingsFile::Report& report, bool bKeyFits, const Tsl::String& sKey, int nEntry) {
    const int nMax = SettingsFile::MAX_VALUE_SIZE;
    report.bWhole = false;
    report.lProblems.append(
        bKeyFits ? Tsl::String::format("the value of '%s' is over %d bytes: refused", sKey.c_str(), nMax)
                 : Tsl::String::format("entry %d has a key over %d bytes: refused", nEntry, nMax));
}

// Reads the counted entries into gatherer and on to the stream's end; nRead
// counts them as they come. Raises on damage.
void readEntries(UnpackStream& unpacked, EntryGatherer& gatherer, SettingsFile::Report& report, int& nRead) {
    Tsl::ObjectStreamer streamer(&unpacked, false);
    int nCount = readCount(streamer);
    // Every entry takes at least four bytes of the budget, so reading the
    // whole count stays within it.
    Tsl::String sKey, sValue;
    for (; nRead < nCount; ++nRead) {
        bool bKeyFits = streamer.read(sKey, SettingsFile::MAX_VALUE_SIZE);
        bool bValueFits = streamer.read(sValue, SettingsFile::MAX_VALUE_SIZE);
        if (bKeyFits && bValueFits)
            gatherer.take(bytesOf(sKey), bytesOf(sValue));
        else
            noteRefused(report, bKeyFits, sKey, nRead + 1);
    }
    // Reading on to the stream's end makes zlib compare its check: a
    // changed byte anywhere shows here at the latest.
    char cAfter = 0;
    if (unpacked.read(&cAfter, 1) != 0)
        TSL_THROW(BadStreamFormatException, "more data after the %d entries counted", nCount);
}

void noteDamage(SettingsFile::Report& report, int nRead, const Tsl::Exception& e, bool bCutShort) {
    report.bChecked = false;
    report.bCutShort = bCutShort;
    report.bWhole = false;
    report.lProblems.append(Tsl::String::format("damaged after %d entries: %s", nRead, e.getMessage()));
}

} // namespace

SettingsFile::Report SettingsFile::read(Tsl::Stream* pSource, Tsl::Hash<Tsl::String, Tsl::String>& hEntries,
                                        const Tsl::List<Tsl::String>& lOwnKeys) {
    TSL_TRACE();
    Report report;
    EntryGatherer gatherer(hEntries, lOwnKeys);
    int nRead = 0;
    try {
        UnpackStream unpacked(pSource, MAX_TOTAL_SIZE);
        try {
            readEntries(unpacked, gatherer, report, nRead);
        } catch (const Tsl::Exception& e) {
            noteDamage(report, nRead, e, unpacked.wasCutShort());
        }
    } catch (const Tsl::Exception& e) {
        noteDamage(report, nRead, e, false);
    }
    gatherer.handTo(hEntries, report);
    return report;
}

SettingsFile::Merge SettingsFile::takeFromKept(Tsl::Hash<Tsl::String, Tsl::String>& hRead, const Report& read,
                                               const Tsl::Hash<Tsl::String, Tsl::String>& hKept,
                                               const Report& kept, const Tsl::List<Tsl::String>& lOwnKeys) {
    // A stream damaged inside may have handed on changed bytes before its
    // damage showed, so a checked copy's value beats it, one save older as
    // it is. A stream merely cut short handed on exact bytes, newer than the
    // copy's; a damaged copy is no better than the file. Either only fills in.
    bool bMayBeChanged = !read.bChecked && !read.bCutShort;
    bool bKeptWins = bMayBeChanged && kept.bChecked;
    Merge merge;
    // Changed bytes may fall in a key as well: a name that neither the copy
    // nor the application knows would be written back by every later save.
    if (bMayBeChanged) {
        for (const Tsl::String& sKey : hRead.getKeys()) {
            if (hKept.hasKey(sKey) || lOwnKeys.indexOf(sKey) >= 0) continue;
            hRead.remove(sKey);
            ++merge.nDropped;
        }
    }
    for (const Tsl::String& sKey : hKept.getKeys()) {
        if (!hRead.hasKey(sKey)) {
            if (hRead.getCount() >= MAX_ENTRIES && lOwnKeys.indexOf(sKey) < 0) continue;
            hRead.set(sKey, hKept.get(sKey));
            ++merge.nTaken;
        } else if (bKeptWins && hRead.get(sKey) != hKept.get(sKey)) {
            hRead.set(sKey, hKept.get(sKey));
            ++merge.nReplaced;
        }
    }
    return merge;
}

void SettingsFile::write(Tsl::Stream* pTarget, const Tsl::Hash<Tsl::String, Tsl::String>& hEntries) {
    TSL_TRACE();
    Tsl::ZStream zip(pTarget, 9);
    {
        Tsl::ObjectStreamer streamer(&zip, false);
        streamer.writeHeader(SETTINGS_MAGIC, SETTINGS_VERSION);
        Tsl::List<Tsl::String> lKeys = hEntries.getKeys();
        streamer.write(lKeys.getCount());
        for (const Tsl::String& sKey : lKeys) {
            streamer.write(sKey);
            streamer.write(hEntries.get(sKey));
        }
    }
    zip.close();
}
