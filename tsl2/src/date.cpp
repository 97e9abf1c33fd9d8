#include "tsl2/date.h"

#include <cstring>
#include <vector>

namespace Tsl {

Date::Date() { setTime(std::time(nullptr)); }

Date::Date(std::time_t nTime) { setTime(nTime); }

Date::Date(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) {
    std::tm tmLocal;
    std::memset(&tmLocal, 0, sizeof(tmLocal));
    tmLocal.tm_year = nYear - 1900;
    tmLocal.tm_mon = nMonth - 1;
    tmLocal.tm_mday = nDay;
    tmLocal.tm_hour = nHour;
    tmLocal.tm_min = nMinute;
    tmLocal.tm_sec = nSecond;
    tmLocal.tm_isdst = -1;
    setTime(std::mktime(&tmLocal));
}

void Date::setTime(std::time_t nTime) {
    m_nTime = nTime;
    std::memset(&m_tm, 0, sizeof(m_tm));
    localtime_r(&m_nTime, &m_tm);
}

String Date::format(const char* pszPattern) const {
    TSL_TRACE();
    if (!pszPattern || !*pszPattern) return String();
    // strftime reports 0 both for "too small" and for an empty result: grow a
    // few times, then give up with the empty text.
    for (int nSize = 64; nSize <= 64 * 1024; nSize *= 4) {
        std::vector<char> aBuffer(static_cast<size_t>(nSize));
        size_t nLength = std::strftime(aBuffer.data(), aBuffer.size(), pszPattern, &m_tm);
        if (nLength > 0) return String(aBuffer.data(), static_cast<int>(nLength));
    }
    return String();
}

} // namespace Tsl
