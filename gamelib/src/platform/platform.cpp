#include "platform/platform.h"

#include "video/videodriver.h"

void IPlatform::setScaleFactor(float fFactor) {
    m_fScaleFactor = fFactor;
    IVideoDriver* pDriver = getVideoDriver();
    if (pDriver) pDriver->setScaleFactor(fFactor);
}

float IPlatform::getScaleFactor() {
    return m_fScaleFactor;
}
