// Feeds arbitrary bytes to the preference reader and writer: the bytes are the file, a
// few fuzz-chosen strings name a section, keys and a value. Besides surviving, a write
// that succeeds must read back, and must not disturb any other key.
// fuzz-sources: game/prefapi.cpp game/m_misc.cpp game/i_system.cpp
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/prefapi.h"

// Undefined behaviour ends the run like a crash instead of scrolling past in the log.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

static std::string folder;
static std::string path;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory-backed folder when there is one: every write flushes to disk.
    char tmpl[64];
    snprintf(tmpl, sizeof(tmpl), "%s/vultar-prefs-fuzz-XXXXXX",
             access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    if (!mkdtemp(tmpl)) abort();
    folder = tmpl;
    path = folder + "/setup.ini";
    atexit([] {
        unlink(path.c_str());
        rmdir(folder.c_str());
    });
    return 0;
}

// C strings end at the first NUL; the fuzz strings are cut the same way up front.
static std::string Text(FuzzedDataProvider& fdp, size_t max)
{
    std::string s = fdp.ConsumeRandomLengthString(max);
    return s.substr(0, s.find('\0'));
}

// The value as read, through a buffer of exactly the asked size so any overrun shows.
// A key counts as found when two different defaults give the same text.
static std::string Read(const char* section, const char* key, int len, bool* found)
{
    std::vector<char> a(static_cast<size_t>(len)), b(static_cast<size_t>(len));
    if (INI_GetPreference(section, key, a.data(), len, "\x01") != a.data()) abort();
    if (INI_GetPreference(section, key, b.data(), len, "\x02") != b.data()) abort();
    if (strlen(a.data()) >= static_cast<size_t>(len)) abort();
    *found = strcmp(a.data(), b.data()) == 0;
    return a.data();
}

static int Entries()
{
    int n = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    std::string section = Text(fdp, 24);
    std::string key = Text(fdp, 24);
    std::string value = Text(fdp, 48);
    std::string section2 = Text(fdp, 24);
    std::string key2 = Text(fdp, 24);
    int op = fdp.ConsumeIntegralInRange(0, 5);
    int number = fdp.ConsumeIntegral<int>();
    int len = fdp.ConsumeIntegralInRange(1, 160);
    std::string contents = fdp.ConsumeRemainingBytesAsString();

    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(contents.data(), 1, contents.size(), f);
    fclose(f);
    INI_InitPreference(path.c_str());

    const char* s = section.c_str();
    const char* k = key.c_str();
    INI_GetPreferenceLong(s, k, number);
    INI_GetPreferenceHex(s, k, number);
    INI_GetPreferenceBool(s, k, static_cast<short>(number));
    bool found;
    Read(s, k, len, &found); // only for the buffer bounds
    bool otherfound;
    std::string other = Read(section2.c_str(), key2.c_str(), 128, &otherfound);

    // The value the write should leave readable, or none for a deletion.
    std::string wanted;
    bool deleting = false;
    int result = 0;
    char text[32];
    switch (op) {
    case 0:
        result = INI_PutPreference(s, k, value.c_str());
        wanted = value;
        deleting = value.empty();
        break;
    case 1:
        result = INI_PutPreferenceLong(s, k, number);
        snprintf(text, sizeof(text), "%d", number);
        wanted = text;
        deleting = number == -1;
        break;
    case 2:
        result = INI_PutPreferenceHex(s, k, number);
        snprintf(text, sizeof(text), "%x", static_cast<unsigned>(number));
        wanted = text;
        deleting = number == -1;
        break;
    case 3:
        result = INI_PutPreferenceBool(s, k, static_cast<short>(number));
        wanted = number & 0xFFFF ? "TRUE" : "FALSE";
        break;
    case 4:
        result = INI_DeletePreference(s, k);
        deleting = true;
        break;
    default:
        VUL_WriteDefaultSetup();
        break;
    }

    if (Entries() != 1) abort(); // no temporary file left behind

    if (result == 1 && !deleting) {
        std::string back = Read(s, k, 256, &found);
        if (!found) abort();
        // A stored value that matches up to a further '=' is left as it was.
        if (back != wanted && back.compare(0, wanted.size() + 1, wanted + "=") != 0) abort();
        if (op == 1 && INI_GetPreferenceLong(s, k, ~number) != number) abort();
        if (op == 2 && INI_GetPreferenceHex(s, k, ~number) != number) abort();
    }
    if (op <= 4 && !(section2 == section && key2 == key)) {
        bool nowfound;
        if (Read(section2.c_str(), key2.c_str(), 128, &nowfound) != other || nowfound != otherfound)
            abort();
    }
    return 0;
}
