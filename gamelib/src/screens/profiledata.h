#pragma once

#include "tsl2/refcount.h"
#include "tsl2/str.h"

namespace Tsl {
class ObjectStreamer;
}

// One named player profile. The game derives its own record from it and
// writes and reads its fields after the name.
class ProfileData : public Tsl::RefCountedObject {
public:
    ProfileData() {}
    ~ProfileData() override {}

    const Tsl::String& getName() const { return m_sName; }
    void setName(const Tsl::String& sName) { m_sName = sName; }

    virtual void write(Tsl::ObjectStreamer& streamer) const = 0;
    virtual void read(Tsl::ObjectStreamer& streamer) = 0;

private:
    Tsl::String m_sName;
};
