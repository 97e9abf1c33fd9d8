#include "fakes.h"

FakePlatform::FakePlatform(EventLog* pLog) : m_pLog(pLog), m_pVideo(new FakeVideoDriver(pLog)) {}

FakePlatform::~FakePlatform() { delete m_pVideo; }
