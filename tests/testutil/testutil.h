// Helpers shared by the tests: a private data folder, the hand-driven clock, archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "res/glbwrite.h"

namespace vt
{

// A fresh temporary folder that becomes XDG_DATA_HOME for the life of the object, so
// nothing a test does touches the real home folder. The game's data path is then
// dataPath() ("<dir>/Vultar/").
class TempHome
{
  public:
    TempHome();
    ~TempHome();
    const std::string& dir() const { return dir_; }
    std::string dataPath() const { return dir_ + "/Vultar/"; }
    // Writes setup.ini into the data folder (made if need be); returns its path.
    std::string writeSetup(const std::string& text) const;

  private:
    std::string dir_;
    std::string old_xdg_;
    bool had_xdg_ = false;
};

// The clock seam driven by hand. While installed, I_GetTicks returns now(); I_Delay
// advances it. With an auto step every reading also advances time, so code that
// busy-waits on the clock finishes without real time passing.
class FakeClock
{
  public:
    explicit FakeClock(uint32_t start_ms = 1000, uint32_t auto_step_ms = 0);
    ~FakeClock();
    void advance(uint32_t ms);
    uint32_t now() const;
    void setAutoStep(uint32_t ms);
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// Writes a small archive of the given items.
void WriteArchive(const std::string& path, const std::vector<GLB_WRITEITEM>& items);

// Runs a shell command; its exit status (-1 when it did not exit normally) and what it
// wrote to standard output and standard error.
struct CommandRun {
    int status;
    std::string out;
};
CommandRun RunCommand(const std::string& command);

} // namespace vt
