#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Label;

// A label whose text is fixed pieces around one changing number, such as
// "$" and the money counted so far.
class ChangingLabel : public Tsl::RefCountedObject {
public:
    ChangingLabel();
    // The pieces in order; the number stands in piece nNumberPart.
    ChangingLabel(const Tsl::List<Tsl::String>& lParts, int nNumberPart);
    ~ChangingLabel() override;

    Tsl::List<Tsl::String> m_lParts;
    int m_nNumberPart;
    Tsl::SmartPtr<Label> m_pLabel;
};
