#include "sprite/particle.h"

Particle::Particle() : m_fLifetime(86400.0f), m_fAge(0.0f) {}

Particle::~Particle() {}

void Particle::update(float fDt) { m_fAge += fDt; }

void Particle::updateList(ParticleList& lParticles, float fDt) {
    TSL_TRACE();
    for (int i = 0; i < lParticles.getCount();) {
        Tsl::SmartPtr<Particle> pParticle = lParticles.getAt(i);
        pParticle->update(fDt);
        if (pParticle->isDead()) lParticles.removeAt(i);
        else ++i;
    }
}
