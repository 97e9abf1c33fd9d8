// The ".emitter" reader and the definition cache: a file is parsed once per
// run into a definition that every emitter of that name copies.
#include "effects/particleemitter.h"

#include "app/gameapp.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"
#include "tsl2/tokenfilereader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

typedef Tsl::Hash<Tsl::String, ParticleEmitter*> DefinitionTable;

// Deletes what the application's shut-down left behind (a program or test
// without an application).
struct DefinitionCache {
    DefinitionTable hDefinitions;
    ~DefinitionCache() { hDefinitions.deleteValues(); }
};

DefinitionTable& definitions() {
    static DefinitionCache s_cache;
    return s_cache.hDefinitions;
}

Tsl::String token(const Tsl::List<Tsl::String>& lTokens, int nIndex) { return lTokens.getAt(nIndex); }
// "nan" and "inf" are no numbers either: they read as 0 like any other word,
// so no particle is born at an undefined place.
float realAt(const Tsl::List<Tsl::String>& lTokens, int nIndex) {
    double fValue = Tsl::String::toFloat(token(lTokens, nIndex));
    return std::isfinite(static_cast<float>(fValue)) ? static_cast<float>(fValue) : 0.0f;
}
int intAt(const Tsl::List<Tsl::String>& lTokens, int nIndex) { return Tsl::String::toInt(token(lTokens, nIndex)); }
// A particle count, read like an integer but refused outside what one emitter
// may hold, so a file cannot ask for memory without end.
int countAt(const Tsl::List<Tsl::String>& lTokens, int nIndex) {
    Tsl::String sToken = token(lTokens, nIndex);
    errno = 0;
    long long nValue = std::strtoll(sToken.c_str(), nullptr, 10);
    if (errno == ERANGE || nValue < 0 || nValue > ParticleEmitter::MAX_LIVE_PARTICLES)
        TSL_THROW(FatalErrorException, "Particle count %s out of range (0 to %d)", sToken.c_str(),
                  static_cast<int>(ParticleEmitter::MAX_LIVE_PARTICLES));
    return static_cast<int>(nValue);
}
// The z offset is read only from a line of exactly three tokens.
int zOffsetOf(const Tsl::List<Tsl::String>& lTokens) { return lTokens.getCount() == 3 ? intAt(lTokens, 2) : 0; }

void applyTypeLine(ParticleEmitter& emitter, const Tsl::String& sCommand, const Tsl::List<Tsl::String>& lTokens) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "No application to load '%s' from", token(lTokens, 1).c_str());
    Tsl::String sName = token(lTokens, 1);
    const char* pszName = sName.c_str();
    if (sCommand == "image") {
        emitter.addImage(pApp->getImage(pszName), zOffsetOf(lTokens));
    } else if (sCommand == "animation" || sCommand == "randomframe") {
        Tsl::SmartPtr<Animation> pAnimation = pApp->getAnimation(pszName);
        if (!pAnimation) TSL_THROW(ResourceException, "Animation '%s' not found", pszName);
        emitter.addAnimation(pAnimation, sCommand == "randomframe", zOffsetOf(lTokens));
    } else {
        // The trail is loaded only when a particle of it is born, but a name
        // that names nothing is a fault of this file: it is reported here.
        if (!pApp->hasResource(pszName)) TSL_THROW(ResourceException, "Emitter '%s' not found", pszName);
        emitter.addEmitter(pszName, zOffsetOf(lTokens));
    }
}

bool applyWordLine(ParticleEmitter& emitter, const Tsl::String& sCommand, const Tsl::List<Tsl::String>& lTokens) {
    if (sCommand == "type") {
        Tsl::String sWord = token(lTokens, 1).toLower();
        if (sWord == "radial") emitter.setType(ParticleEmitter::TYPE_RADIAL);
        else if (sWord == "rect") emitter.setType(ParticleEmitter::TYPE_RECT);
        else throw Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : false");
    } else if (sCommand == "speedtype") {
        Tsl::String sWord = token(lTokens, 1).toLower();
        if (sWord == "radial") emitter.setSpeedType(ParticleEmitter::SPEED_RADIAL);
        else if (sWord == "absolute") emitter.setSpeedType(ParticleEmitter::SPEED_ABSOLUTE);
        else TSL_THROW(FatalErrorException, "Unknown SpeedType %s", token(lTokens, 1).c_str());
    } else if (sCommand == "blendingmode" || sCommand == "blendmode") {
        Tsl::String sWord = token(lTokens, 1).toLower();
        if (sWord == "normal") emitter.setBlendMode(0);
        else if (sWord == "additive") emitter.setBlendMode(1);
        else TSL_THROW(FatalErrorException, "Unknown BlendingMode %s", token(lTokens, 1).c_str());
    } else if (sCommand == "palette" || sCommand == "randomtint") {
        GameApp* pApp = GameApp::getInstance();
        if (!pApp) TSL_THROW(BadStateException, "No application to load '%s' from", token(lTokens, 1).c_str());
        Tsl::SmartPtr<Image> pPalette = pApp->getImage(token(lTokens, 1).c_str());
        if (sCommand == "palette") emitter.setPalette(pPalette);
        else emitter.setRandomTint(pPalette);
    } else if (sCommand == "relativeposition") {
        emitter.setRelativePosition(true);
    } else {
        return false;
    }
    return true;
}

bool applyValueLine(ParticleEmitter& e, const Tsl::String& sCommand, const Tsl::List<Tsl::String>& t) {
    if (sCommand == "emissionrate") e.setEmissionRate(realAt(t, 1));
    else if (sCommand == "lifetimerange") e.setLifetimeRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "maxalpha") e.setMaxAlpha(realAt(t, 1));
    else if (sCommand == "fadefracrange") e.setFadeFracRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "startscalerange") e.setStartScaleRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "endscalerange") e.setEndScaleRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "maxparticles") e.setMaxParticles(countAt(t, 1));
    else if (sCommand == "minparticles") e.setMinParticles(countAt(t, 1));
    else if (sCommand == "radiusrange" || sCommand == "rectsize") e.setRadiusRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "emitanglerange") e.setEmitAngleRange(intAt(t, 1), intAt(t, 2));
    else if (sCommand == "startanglerange") e.setStartAngleRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "endanglerange") e.setEndAngleRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "delayrange") e.setDelayRange(realAt(t, 1), realAt(t, 2));
    else if (sCommand == "speedrange") e.setSpeedRange(realAt(t, 1), realAt(t, 2), realAt(t, 3), realAt(t, 4));
    else if (sCommand == "accelerationrange")
        e.setAccelerationRange(realAt(t, 1), realAt(t, 2), realAt(t, 3), realAt(t, 4));
    else if (sCommand == "effectscale") e.setEffectScale(realAt(t, 1));
    else return false;
    return true;
}

void applyLine(ParticleEmitter& emitter, const Tsl::List<Tsl::String>& lTokens) {
    Tsl::String sCommand = token(lTokens, 0).toLower();
    if (sCommand == "image" || sCommand == "animation" || sCommand == "randomframe" || sCommand == "emitter") {
        applyTypeLine(emitter, sCommand, lTokens);
        return;
    }
    if (applyWordLine(emitter, sCommand, lTokens) || applyValueLine(emitter, sCommand, lTokens)) return;
    TSL_THROW(FatalErrorException, "Unknown command : %s", sCommand.c_str());
}

} // namespace

void ParticleEmitter::parseDefinition(const char* pszName) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "No application to load emitter '%s' from", pszName);
    Tsl::SmartPtr<Tsl::Resource> pResource = pApp->getResource(pszName);
    Tsl::TokenFileReader reader(pResource->getString(), pszName);
    while (reader.nextLine()) {
        try {
            applyLine(*this, reader.getTokens());
        } catch (Tsl::Exception& e) {
            // The same error, with the file and line it came from.
            e.appendToMessage(Tsl::String::format(" (in %s, line %d)", pszName, reader.getLineNumber()).c_str());
            throw;
        }
    }
}

// The file is parsed into a fresh definition, never into this emitter: what
// the caller set on it before must not become every later emitter's default.
void ParticleEmitter::load(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    DefinitionTable& hDefinitions = definitions();
    if (!hDefinitions.hasKey(pszName)) {
        ParticleEmitter* pDefinition = new ParticleEmitter(nullptr);
        pDefinition->addRef();
        try {
            pDefinition->parseDefinition(pszName);
        } catch (...) {
            pDefinition->release();
            throw;
        }
        hDefinitions.set(pszName, pDefinition);
    }
    copyDefinition(hDefinitions.get(pszName));
    m_sName = pszName;
}

bool ParticleEmitter::isCached(const char* pszName) { return definitions().hasKey(pszName); }

void ParticleEmitter::clearCache() {
    DefinitionTable& hDefinitions = definitions();
    for (ParticleEmitter* pDefinition : hDefinitions.getValues()) pDefinition->release();
    hDefinitions.clear();
}

void ParticleEmitter::copyDefinition(const ParticleEmitter* pSrc) {
    TSL_ASSERT(pSrc);
    if (pSrc == this) return;
    m_settings = pSrc->m_settings;
    m_fAccumulator = pSrc->m_fAccumulator;
    deleteTypes();
    for (const ParticleType* pDef : pSrc->m_lTypes) {
        TSL_ASSERT(pDef);
        m_lTypes.append(new ParticleType(*pDef));
    }
}
