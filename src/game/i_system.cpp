#include "game/i_system.h"

#include <SDL.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "game/m_misc.h"

static uint32_t SystemTicks(void)
{
    return SDL_GetTicks();
}

static void SystemDelay(uint32_t ms)
{
    SDL_Delay(ms);
}

static const I_CLOCK systemclock = {SystemTicks, SystemDelay};
static const I_CLOCK* clock_now = &systemclock;

uint32_t I_GetTicks(void)
{
    return clock_now->ticks();
}

void I_Delay(uint32_t ms)
{
    clock_now->delay(ms);
}

void I_SetClock(const I_CLOCK* clock)
{
    clock_now = clock ? clock : &systemclock;
}

bool I_IsSystemClock(void)
{
    return clock_now == &systemclock;
}

bool I_GetPrefPath(char* buf, size_t len)
{
    char* path = SDL_GetPrefPath("", "Vultar");
    if (!path) return false;
    bool fits = M_StringCopy(buf, path, len);
    SDL_free(path);
    return fits;
}

static bool WriteAll(int fd, const uint8_t* data, size_t len)
{
    while (len > 0) {
        ssize_t n = write(fd, data, len);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

// Flushes the folder holding `path`, so that a rename inside it survives a power cut.
static void SyncFolder(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd); // some file systems refuse this on folders; the rename is done either way
    close(fd);
}

bool I_ReplaceFile(const char* path, const void* data, size_t len)
{
    std::string target = path;
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            target = real;
            free(real);
        }
    }
    bool existed = stat(target.c_str(), &st) == 0;
    if (existed && access(target.c_str(), W_OK) != 0) return false;

    std::string temp = target + ".tmp";
    unlink(temp.c_str()); // a leftover from an earlier crash
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), len);
    if (ok && existed) fchmod(fd, st.st_mode & 07777); // keep the file's permissions
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}

bool I_GetSharePath(char* buf, size_t len)
{
    char* base = SDL_GetBasePath();
    if (!base) return false;
    bool fits = M_StringCopy(buf, base, len) && M_StringConcat(buf, "../share/vultar/", len);
    SDL_free(base);
    return fits;
}

bool I_ErrorBox(const char* title, const char* text)
{
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0;
}

void I_Quit(void)
{
    SDL_Quit();
}
