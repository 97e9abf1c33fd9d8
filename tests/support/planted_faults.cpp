// The atomic writer's planted faults, which only the tests carry.
#include "app/atomicfile.h"

namespace {
int s_nFailingStep = -1;
int s_nPlantedErrno = 0;
} // namespace

void AtomicFile::plantFault(Step eStep, int nErrno) {
    s_nFailingStep = nErrno != 0 ? int(eStep) : -1;
    s_nPlantedErrno = nErrno;
}

int AtomicFile::plantedFault(Step eStep) { return s_nFailingStep == int(eStep) ? s_nPlantedErrno : 0; }
