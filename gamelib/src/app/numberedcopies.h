// Copies kept under numbered names, "<prefix><n>" with n from 1 up (files
// beside a damaged one, settings beside a damaged value): a new copy takes
// the number after the highest in use, so none is ever overwritten.
#pragma once

#include "tsl2/str.h"

#include <vector>

class NumberedCopies {
public:
    // The n of a name "<prefix><n>" (decimal digits, no leading zero, below
    // a billion); 0 for any other name.
    static int numberOf(const char* pszName, const Tsl::String& sPrefix);
    // The number a new copy takes: one after the highest of those in use.
    static int nextNumber(const std::vector<int>& aInUse);
};
