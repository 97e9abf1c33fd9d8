// A calendar date and time of day in local time, to the second.
#pragma once

#include "tsl2/str.h"

#include <ctime>

namespace Tsl {

class Date {
public:
    // The current local time.
    Date();
    explicit Date(std::time_t nTime);
    // Month 1..12, day 1..31; out-of-range fields are normalised the way mktime does.
    Date(int nYear, int nMonth, int nDay, int nHour = 0, int nMinute = 0, int nSecond = 0);

    static Date now() { return Date(); }

    int getYear() const { return m_tm.tm_year + 1900; }
    int getMonth() const { return m_tm.tm_mon + 1; }
    int getDay() const { return m_tm.tm_mday; }
    int getHour() const { return m_tm.tm_hour; }
    int getMinute() const { return m_tm.tm_min; }
    int getSecond() const { return m_tm.tm_sec; }
    // 0 = Sunday.
    int getDayOfWeek() const { return m_tm.tm_wday; }
    std::time_t getTime() const { return m_nTime; }

    // strftime-style pattern ("%Y-%m-%d %H:%M:%S").
    String format(const char* pszPattern) const;

    bool operator==(const Date& other) const { return m_nTime == other.m_nTime; }
    bool operator!=(const Date& other) const { return m_nTime != other.m_nTime; }
    bool operator<(const Date& other) const { return m_nTime < other.m_nTime; }

private:
    void setTime(std::time_t nTime);

    std::time_t m_nTime;
    std::tm m_tm;
};

} // namespace Tsl
