// The portable lock. Its implementation comes from the platform, made lazily
// because a Mutex may be a global built before the application exists.
#pragma once

class MutexImpl {
public:
    virtual ~MutexImpl() {}
    virtual int lock() = 0;
    virtual int unlock() = 0;
};

class Mutex {
public:
    Mutex();
    virtual ~Mutex();
    // Blocks until the mutex is free. The first lock of a Mutex made before
    // the platform must happen on one thread before any other uses it.
    virtual void lock();
    virtual void unlock();

private:
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    static MutexImpl* createImpl();

    MutexImpl* m_pImpl;
};
