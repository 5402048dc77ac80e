// The preference file setup.ini: sections of key=value lines, read and written on every
// call (nothing is cached). Writes produce the bytes of an in-place line editor but go
// through a temporary file and a rename, so a crash never loses the file.
#pragma once

int INI_InitPreference(const char* profile);
int INI_GetPreferenceLong(const char* section, const char* key, int defvalue);
int INI_GetPreferenceHex(const char* section, const char* key, int defvalue);
int INI_GetPreferenceBool(const char* section, const char* key, short defvalue);
char* INI_GetPreference(const char* section, const char* key, char* buf, int len,
                        const char* def);
int INI_PutPreferenceLong(const char* section, const char* key, int value);
int INI_PutPreferenceHex(const char* section, const char* key, int value);
int INI_PutPreferenceBool(const char* section, const char* key, short value);
int INI_PutPreference(const char* section, const char* key, const char* value);
int INI_DeletePreference(const char* section, const char* key);

// Writes every default key, in the order of the default table, to the current file.
void VUL_WriteDefaultSetup(void);
