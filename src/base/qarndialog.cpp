#include "base/qarndialog.h"

QarnDialog::QarnDialog(bool bOverBelow) : DialogMode(bOverBelow) {
    setFlags(getFlags() & ~MF_UPDATE_BELOW);
}
