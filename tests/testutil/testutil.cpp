#include "testutil/testutil.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "game/i_system.h"

namespace vt
{

TempHome::TempHome()
{
    char tmpl[] = "/tmp/vultar-test-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    if (const char* old = getenv("XDG_DATA_HOME")) {
        had_xdg_ = true;
        old_xdg_ = old;
    }
    setenv("XDG_DATA_HOME", dir_.c_str(), 1);
}

TempHome::~TempHome()
{
    if (had_xdg_)
        setenv("XDG_DATA_HOME", old_xdg_.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string TempHome::writeSetup(const std::string& text) const
{
    std::filesystem::create_directories(dataPath());
    std::string path = dataPath() + "setup.ini";
    WriteTextFile(path, text);
    return path;
}

static uint32_t fake_now;
static uint32_t fake_step;

static uint32_t FakeTicks(void)
{
    uint32_t t = fake_now;
    fake_now += fake_step;
    return t;
}

static void FakeDelay(uint32_t ms)
{
    fake_now += ms;
}

static const I_CLOCK fakeclock = {FakeTicks, FakeDelay};

FakeClock::FakeClock(uint32_t start_ms, uint32_t auto_step_ms)
{
    fake_now = start_ms;
    fake_step = auto_step_ms;
    I_SetClock(&fakeclock);
}

FakeClock::~FakeClock()
{
    I_SetClock(nullptr);
}

void FakeClock::advance(uint32_t ms)
{
    fake_now += ms;
}

uint32_t FakeClock::now() const
{
    return fake_now;
}

void FakeClock::setAutoStep(uint32_t ms)
{
    fake_step = ms;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteArchive(const std::string& path, const std::vector<GLB_WRITEITEM>& items)
{
    std::string err;
    if (!GLB_WriteArchive(path.c_str(), items, &err)) throw std::runtime_error(err);
}

CommandRun RunCommand(const std::string& command)
{
    std::string cmd = command + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return {-1, ""};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int rc = pclose(p);
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

} // namespace vt
