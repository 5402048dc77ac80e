// The setup tool's own handle on the preference file: the same format and behaviour as the
// game's INI_ functions, with a file name of its own.
#pragma once

// The data folder (with its trailing separator) and the preference file in it:
// "setup.ini" when that exists there, else "SETUP.INI".
const char* VUL_DataPath(void);
const char* VUL_GetSetupPath(void);

int SE_INI_InitPreference(const char* profile);
int SE_INI_GetPreferenceLong(const char* section, const char* key, int defvalue);
int SE_INI_GetPreferenceHex(const char* section, const char* key, int defvalue);
int SE_INI_GetPreferenceBool(const char* section, const char* key, short defvalue);
char* SE_INI_GetPreference(const char* section, const char* key, char* buf, int len,
                           const char* def);
int SE_INI_PutPreferenceLong(const char* section, const char* key, int value);
int SE_INI_PutPreferenceHex(const char* section, const char* key, int value);
int SE_INI_PutPreferenceBool(const char* section, const char* key, short value);
int SE_INI_PutPreference(const char* section, const char* key, const char* value);
int SE_INI_DeletePreference(const char* section, const char* key);
