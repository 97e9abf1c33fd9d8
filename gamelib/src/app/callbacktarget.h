#pragma once

// Receives widget and controller callbacks by id.
class ICallbackTarget {
public:
    virtual ~ICallbackTarget() {}
    virtual void onCallback(int nId, int nData) = 0;
};
