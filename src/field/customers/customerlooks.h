#pragma once

#include "tsl2/list.h"
#include "tsl2/str.h"

// A generated customer's look: the key it is cached under (kind word and
// parts), the template that draws it, the template's parameters and the voice
// (0, 1 a man, 2, 3 a woman). Every draw is Tsl::gameRand reduced with %.
struct CustomerLook {
    Tsl::String m_sKey;
    Tsl::String m_sTemplate;
    Tsl::List<Tsl::String> m_lParams;
    int m_nVoice = 0;
};

// An ordinary customer, drawn until its key is not among the looks in use;
// false (nothing drawn) after MAX_LOOK_DRAWS tries.
bool drawOrdinaryLook(const Tsl::List<Tsl::String>& lInUse, CustomerLook& look);
bool drawVipLook(const Tsl::List<Tsl::String>& lInUse, CustomerLook& look);
// The voice of a named character: a woman's when the name is one of the women.
int drawNamedVoice(const char* pszName);

enum { MAX_LOOK_DRAWS = 64 };
