#pragma once

#include "screens/profiledata.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

namespace Tsl {
class MemStream;
}

// The named player profiles, kept inside the settings. Names are compared
// trimmed and lower-cased everywhere, so a name that one screen checks is
// the name another finds.
class ProfileManager {
public:
    enum { MAX_PROFILES = 8, MAX_NAME_LENGTH = 20 };
    // Stored lists that could not be read whole, kept under numbered settings.
    enum { DAMAGED_LIST_COPIES = 3 };
    enum NameProblem { NAME_OK, NAME_EMPTY, NAME_TAKEN, NAME_BAD_CHARACTER, NAME_TOO_LONG, LIST_FULL };

    ProfileManager();
    virtual ~ProfileManager();

    // The form names are compared in.
    static Tsl::String normalizeName(const Tsl::String& sName);
    // What keeps a typed name from becoming a new profile; NAME_OK when nothing.
    NameProblem checkNewName(const Tsl::String& sName) const;
    // A stored name made one the name dialogs could have given: every byte
    // that starts no well-formed UTF-8 character and every control character
    // becomes "?", and the trimmed name keeps its first MAX_NAME_LENGTH
    // characters.
    static Tsl::String repairName(const Tsl::String& sName);
    // The name's first nCharacters characters.
    static Tsl::String cutName(const Tsl::String& sName, int nCharacters = MAX_NAME_LENGTH);
    // The string-table key of the message for a problem; null for NAME_OK.
    static const char* getProblemKey(NameProblem eProblem);

    bool hasProfile(const Tsl::String& sName) const;
    // The profile, or null.
    ProfileData* getProfileData(const Tsl::String& sName) const;
    Tsl::List<Tsl::String> getProfileNames() const;
    int getProfileCount() const { return m_lProfiles.getCount(); }

    // A new profile under the trimmed name, appended; null when the name is refused.
    ProfileData* createProfile(const Tsl::String& sName);
    bool deleteProfile(const Tsl::String& sName);

    // The profile the setting "CurrentPlayerName" names, or null.
    ProfileData* getCurrentProfile() const;
    static Tsl::String getCurrentName();
    static void setCurrentName(const Tsl::String& sName);
    // Makes the current name that of a profile, spelled as the profile is:
    // the first profile's when it names none, empty when there is none.
    void repairCurrentName() const;

    // All profiles into the profile setting (the file is written with the settings).
    void saveProfiles() const;
    // Replaces the list with the stored one. Never raises: a damaged record
    // is logged and skipped, and a stored list that was not read whole is
    // kept as it was under the next numbered side setting.
    void loadProfiles();

protected:
    virtual Tsl::SmartPtr<ProfileData> newProfile() const = 0;

private:
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    int findIndex(const Tsl::String& sName) const;
    // The name itself when no profile has it; else the first of "<name> 2",
    // "<name> 3" ... that none has, the name cut to make room for the number.
    Tsl::String findFreeName(const Tsl::String& sName) const;
    static Tsl::String writeRecord(const ProfileData& profile);
    // False when the record is damaged or its name not acceptable.
    bool readRecord(const Tsl::String& sRecord, int nIndex);
    bool readRecords(const Tsl::String& sBlob);
    // The next save writes the list from what could be read; the original
    // must outlive it, and later damage must not replace it: every copy
    // takes a new number and only the oldest beyond DAMAGED_LIST_COPIES go.
    static void keepDamagedList(const Tsl::String& sBlob);

    Tsl::List<Tsl::SmartPtr<ProfileData>> m_lProfiles;
};

// The manager of one profile class.
template <class T>
class ProfileManagerImpl : public ProfileManager {
public:
    T* getProfile(const Tsl::String& sName) const { return static_cast<T*>(getProfileData(sName)); }

protected:
    Tsl::SmartPtr<ProfileData> newProfile() const override { return new T(); }
};
