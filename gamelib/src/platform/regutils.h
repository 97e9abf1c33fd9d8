// String values under named keys, kept the way the Windows registry keeps
// them but stored in a small text file of our own in the user's data folder
// ("win32-registry.txt"). Key paths use backslashes; keys and value names
// compare without regard to case.
#pragma once

struct RegistryKey;
typedef RegistryKey* HKEY;

extern const HKEY HKEY_CURRENT_USER;
extern const HKEY HKEY_LOCAL_MACHINE;

// Creates the key (and nothing else); true on success.
bool createRegistryKey(HKEY hRoot, const char* pszPath);
// The key for reading or writing, null when it does not exist; the caller
// closes it with closeRegistryKey.
HKEY openRegistryKey(HKEY hRoot, const char* pszPath, bool bForWriting);
void closeRegistryKey(HKEY hKey);
// Writes a string value into an existing key; true on success.
bool setRegistryString(HKEY hRoot, const char* pszPath, const char* pszValueName, const char* pszValue);
// Bytes read, terminator included; 0 when the key or value is missing or
// the buffer is too small.
unsigned long getRegistryString(HKEY hRoot, const char* pszPath, const char* pszValueName,
                                unsigned char* pBuffer, unsigned long nBufferSize);
