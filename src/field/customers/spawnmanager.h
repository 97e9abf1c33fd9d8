#pragma once

#include "field/customers/characterinfo.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/random.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Character;
class PlayMode;

// Where customers may sit: seat x positions (ordinary seats first), how many
// are ordinary, and the y and depth of ordinary and VIP customers.
struct SeatInfo {
    Tsl::List<int> m_lSeatX;
    int m_nNormalSeatCount = 0;
    int m_nCharPosY = 0;
    int m_nCharDepth = 0;
    int m_nSeatCount = 0;
    int m_nVipPosY = 0;
    int m_nVipDepth = 0;
};

// Decides which customer comes next, at which seat and when: a definition
// drawn by weight, a free seat, its look built and its animation loaded in
// the background, a random delay; then the customer is seated. Draws are
// Tsl::gameRand; the delay comes from a Tsl::Random of its own.
//
// Bounds: a draw whose tags are in the bar is redrawn at most
// MAX_TAG_REDRAWS times a frame; a definition set whose weights are not
// usable (none, a zero sum, a negative or non-finite weight) brings nobody.
class SpawnManager : public Tsl::RefCountedObject {
public:
    enum { FILE_COUNT = 20, MAX_PRESENT_RETRIES = 10, MAX_TAG_REDRAWS = 32, SEAT_DRAWS = 5 };

    explicit SpawnManager(PlayMode* pMode);
    ~SpawnManager() override;

    // Reads "chars_<set>_0" to "_19"; named characters without an animation
    // file are dropped (logged).
    void loadCharacters(const char* pszSet);
    // Lists shorter than the counts they come with are cut to size (logged).
    void setSeatInfo(SeatInfo info);
    void resetTimer() { m_fTimer = 2.0f; }
    void update(float fDt);
    // Index of the next definition, -1 for no customer now.
    int pickCharacter();
    Tsl::SmartPtr<Character> createCharacter(int nInfo, int nSeat);
    // Frees the seat and the customer's claims; an unknown customer is ignored.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    int getCustomerCount() const;
    // The customers' animations this level brought into the cache leave it
    // (a load still queued is finished first), with the pictures their loads
    // brought into the image cache, so the next level starts clean.
    void releaseAnimations();

    // What the tests and the play screen read.
    const Tsl::List<Tsl::SmartPtr<CharacterInfo>>& getCharInfos() const { return m_lCharInfos; }
    bool hasTag(const char* pszTag) const { return m_hTags.hasKey(pszTag); }
    const Tsl::String& getPending() const { return m_sPending; }
    int getPendingSeat() const { return m_nPendingSeat; }
    int getPendingInfo() const { return m_nPendingInfo; }
    float getTimer() const { return m_fTimer; }
    const Tsl::List<Tsl::String>& getLooks() const { return m_lLooks; }
    int getVoice() const { return m_nVoice; }
    Tsl::Random& getRandom() { return m_random; }

private:
    bool prepareCustomer();
    bool drawSeat(const Tsl::SmartPtr<CharacterInfo>& pInfo);
    bool buildLook(const Tsl::SmartPtr<CharacterInfo>& pInfo);
    // The pending customer cannot come (its animation failed): forget it.
    void dropPending(const char* pszWhy);
    bool isOccupied(int nSeat) const;
    static bool isGenerated(const Tsl::String& sName);
    // Queues the pending customer's animation and remembers it when it is new to the cache.
    void queueAnimation();

    PlayMode* m_pPlayMode;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<CharacterInfo>> m_hCharInfos;
    Tsl::List<Tsl::SmartPtr<CharacterInfo>> m_lCharInfos;
    Tsl::Hash<Tsl::String, int> m_hTags;
    float m_fTimer;
    Tsl::String m_sPending;
    int m_nPendingInfo;
    Tsl::List<int> m_lSeatX;
    int m_nSeatCount;
    int m_nNormalSeatCount;
    int m_nCharPosY, m_nCharDepth;
    int m_nVipPosY, m_nVipDepth;
    Tsl::List<Tsl::String> m_lLooks;
    int m_nPendingSeat;
    int m_nVoice;
    bool m_bWeightsUsable;
    // How the pending customer's animation is loaded, to load it again when a step fails.
    Tsl::String m_sPendingFile;
    Tsl::List<Tsl::String> m_lPendingParams;
    // Named definitions whose animation failed to load: never drawn again.
    Tsl::List<int> m_lBrokenInfos;
    // Animation keys this manager brought into the cache, and the pictures
    // that entered the image cache while it loaded them.
    Tsl::List<Tsl::String> m_lLoadedKeys;
    Tsl::List<Tsl::String> m_lLoadedImages;
    // Per seat: the seated customer's definition index and generated look key
    // ("" for a named character), so leaving frees exactly what coming took.
    Tsl::Hash<int, int> m_hSeatInfo;
    Tsl::Hash<int, Tsl::String> m_hSeatLook;
    Tsl::Random m_random;
};
