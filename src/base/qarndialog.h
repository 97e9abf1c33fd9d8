#pragma once

#include "ui/dialogmode.h"

// Base of the game's dialogs. Either way the mode below stays drawn and is
// not updated while the dialog is open: a level does not run on under its
// results, nor the store under a purchase.
class QarnDialog : public DialogMode {
public:
    explicit QarnDialog(bool bOverBelow = false);
};
