#include "base/changinglabel.h"

#include "text/font.h"
#include "ui/label.h"

ChangingLabel::ChangingLabel() : m_nNumberPart(0) {}

ChangingLabel::ChangingLabel(const Tsl::List<Tsl::String>& lParts, int nNumberPart)
    : m_lParts(lParts), m_nNumberPart(nNumberPart) {}

ChangingLabel::~ChangingLabel() {}
