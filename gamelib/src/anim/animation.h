// Named sequences of frames with string properties, played by animated
// sprites. Loaded from ".anim" files and shared through the application's
// animation cache.
#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Animation : public Tsl::RefCountedObject {
public:
    Animation() {}
    ~Animation() override {}
};

// What the application needs of an ".anim" reader: load at once, or step by
// step (one line per call) for the preload queue.
class IAnimationLoader {
public:
    virtual ~IAnimationLoader() {}
    virtual void setParams(const Tsl::List<Tsl::String>& lParams) = 0;
    virtual Tsl::SmartPtr<Animation> load(const char* pszName) = 0;
    virtual void begin(const char* pszName) = 0;
    virtual void parseNextLine() = 0;
    virtual bool isDone() const = 0;
    virtual Tsl::SmartPtr<Animation> getAnimation() const = 0;
};
