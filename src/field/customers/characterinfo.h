#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

// One customer definition of a scene: who may come, how often, and the tags
// that keep customers who share one from being in the bar together.
class CharacterInfo : public Tsl::RefCountedObject {
public:
    CharacterInfo() : m_fWeight(0.0f), m_bPresent(false) {}

    Tsl::String m_sName;  // "hombre", "vip" or a named character
    float m_fWeight;      // after loading, the share of all weights
    bool m_bPresent;      // a named character now in the bar
    Tsl::List<Tsl::String> m_lTags;
};

// Reads one definition file: lines "name weight [tags...]", "#" starts a
// comment, blanks around are dropped. The weight reads as atof does. A line
// with a name but no weight is skipped and logged with the file and line.
void readCharacterDefinitions(const char* pszFile, const Tsl::String& sText,
                              Tsl::List<Tsl::SmartPtr<CharacterInfo>>& lDefinitions);
