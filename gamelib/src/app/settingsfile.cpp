#include "app/settingsfile.h"

#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <algorithm>

namespace {

const char* const SETTINGS_MAGIC = "SET";
const int SETTINGS_VERSION = 1;

// Hands on the bytes of another stream until a budget is spent, then raises:
// a few kilobytes that unpack to gigabytes are damage, not settings.
class BudgetStream : public Tsl::Stream {
public:
    BudgetStream(Tsl::Stream* pSource, int64_t nBudget) : m_pSource(pSource), m_nBudget(nBudget), m_nRead(0) {}

    int read(void* pBuffer, int nSize) override {
        if (nSize > m_nBudget - m_nRead)
            TSL_THROW(BadStreamFormatException, "%s unpacks to more than %lld bytes", getName().c_str(),
                      static_cast<long long>(m_nBudget));
        int nRead = m_pSource->read(pBuffer, nSize);
        m_nRead += nRead;
        return nRead;
    }
    int write(const void*, int) override { return 0; }
    int64_t tell() const override { return m_nRead; }
    bool seek(int64_t, SeekOrigin) override { return false; }
    int64_t getSize() const override { return -1; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return false; }
    Tsl::String getName() const override { return m_pSource->getName(); }

private:
    Tsl::Stream* m_pSource;
    int64_t m_nBudget;
    int64_t m_nRead;
};

} // namespace

SettingsFile::Report SettingsFile::read(Tsl::Stream* pSource, Tsl::Hash<Tsl::String, Tsl::String>& hEntries) {
    TSL_TRACE();
    Report report;
    int nRead = 0;
    try {
        Tsl::ZStream zip(pSource, Tsl::ZStream::DEFAULT_LEVEL);
        BudgetStream budget(&zip, MAX_TOTAL_SIZE);
        Tsl::ObjectStreamer streamer(&budget, false);
        streamer.readHeader(SETTINGS_MAGIC, SETTINGS_VERSION);
        int nCount = 0;
        streamer.read(nCount);
        if (nCount < 0) TSL_THROW(BadStreamFormatException, "negative entry count %d", nCount);
        if (nCount > MAX_ENTRIES) {
            report.bWhole = false;
            report.lProblems.append(Tsl::String::format("it counts %d entries: only the first %d are read, the rest refused",
                                                        nCount, int(MAX_ENTRIES)));
        }
        for (; nRead < std::min(nCount, int(MAX_ENTRIES)); ++nRead) {
            Tsl::String sKey, sValue;
            bool bKeyFits = streamer.read(sKey, MAX_VALUE_SIZE);
            bool bValueFits = streamer.read(sValue, MAX_VALUE_SIZE);
            if (bKeyFits && bValueFits) {
                hEntries.set(sKey, sValue);
                continue;
            }
            report.bWhole = false;
            report.lProblems.append(
                bKeyFits ? Tsl::String::format("the value of '%s' is over %d bytes: refused", sKey.c_str(), MAX_VALUE_SIZE)
                         : Tsl::String::format("entry %d has a key over %d bytes: refused", nRead + 1, MAX_VALUE_SIZE));
        }
    } catch (const Tsl::Exception& e) {
        report.bWhole = false;
        report.lProblems.append(Tsl::String::format("damaged after %d entries: %s", nRead, e.getMessage()));
    }
    return report;
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
