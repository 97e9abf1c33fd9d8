#pragma once

#include "tsl2/refcount.h"

// What the waitress can act on. The kind names her arm animation: 0 serve,
// 1 fill, 2 take, 3 fill.
class IActionTarget : public Tsl::RefCountedObject {
public:
    enum { KIND_SERVE = 0, KIND_FILL = 1, KIND_TAKE = 2, KIND_USE = 3 };

    // Whether she may act on it with that hand (a tray slot with a tray) now.
    virtual bool canDoAction(int nHand) = 0;
    virtual void doAction(int nHand) = 0;
    virtual int getActionKind(int nHand) = 0;
    // The flag becomes the argument when the target allows it, else false.
    virtual void setBusy(bool bBusy) = 0;
};
