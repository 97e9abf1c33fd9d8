// A short-lived sprite moved by formulas of its age. Emitters create them;
// a mode keeps the free ones (whose emitter is gone) and ticks them.
#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"

class Particle;
typedef Tsl::List<Tsl::SmartPtr<Particle>> ParticleList;

class Particle : public Tsl::RefCountedObject {
public:
    Particle();
    ~Particle() override;

    // Ages the particle by dt seconds.
    virtual void update(float fDt);
    bool isDead() const { return m_fAge >= m_fLifetime; }
    float getAge() const { return m_fAge; }
    float getLifetime() const { return m_fLifetime; }
    void setLifetime(float fSeconds) { m_fLifetime = fSeconds; }

    // Updates every particle by index and removes the dead ones in place;
    // particles appended during the walk are updated in the same walk.
    static void updateList(ParticleList& lParticles, float fDt);

private:
    float m_fLifetime;
    float m_fAge;
};
