// The preference file setup.ini: sections of key=value lines, read and written on every
// call (nothing is cached). Writes produce the bytes of an in-place line editor but go
// through a temporary file and a rename, so a crash never loses the file.
#pragma once

#include <cstddef>
#include <span>

#include "game/i_system.h"

int INI_InitPreference(const char* profile);
int INI_GetPreferenceLong(const char* section, const char* key, int defvalue);
int INI_GetPreferenceHex(const char* section, const char* key, int defvalue);
int INI_GetPreferenceBool(const char* section, const char* key, short defvalue);
char* INI_GetPreference(const char* section, const char* key, char* buf, int len, const char* def);
int INI_PutPreferenceLong(const char* section, const char* key, int value);
int INI_PutPreferenceHex(const char* section, const char* key, int value);
int INI_PutPreferenceBool(const char* section, const char* key, short value);
int INI_PutPreference(const char* section, const char* key, const char* value);
int INI_DeletePreference(const char* section, const char* key);

// Writes every default key, in the order of the default table, to the current file.
void VUL_WriteDefaultSetup(void);

// The one implementation behind the game's INI_ functions and the setup tool's SE_INI_
// copy. Each call names the file it works on; the two front ends differ only in which
// file they remember.
//
// Reads never fail: a missing or unreadable file, section or key gives the default.
// Writes return 1 when the file was written or already held the wanted bytes, 0 when
// the arguments are unusable (no section, a name or value that would not read back as
// written) or the file could not be replaced; a failed write leaves the file as it was.

// Longest path a front end remembers.
inline constexpr size_t kIniPathMax = I_MAXFILEPATH;

// Copies `path` into `store` (when not null) and reports whether the stored file exists
// and is readable. A path that does not fit empties `store`, so nothing is ever written
// to a truncated name.
int INI_FileInit(std::span<char> store, const char* path);
char* INI_FileGet(const char* path, const char* section, const char* key, char* buf, int len,
                  const char* def);
int INI_FileGetLong(const char* path, const char* section, const char* key, int defvalue);
int INI_FileGetHex(const char* path, const char* section, const char* key, int defvalue);
int INI_FileGetBool(const char* path, const char* section, const char* key, short defvalue);
// A null or empty `value` deletes the key.
int INI_FilePut(const char* path, const char* section, const char* key, const char* value);
int INI_FilePutLong(const char* path, const char* section, const char* key, int value);
int INI_FilePutHex(const char* path, const char* section, const char* key, int value);
int INI_FilePutBool(const char* path, const char* section, const char* key, short value);
int INI_FileDelete(const char* path, const char* section, const char* key);
