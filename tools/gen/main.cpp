// vultar_gen: builds the game's data set FILE0000.GLB .. FILE0004.GLB from the sources in
// data/, and on request contact sheets of the artwork as PNG files. --demo-stand-ins packs
// simple flights in place of the recorded attract demos (the data set to record them with).
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "content.h"
#include "preview.h"

static void Usage()
{
    fprintf(stderr, "usage: vultar_gen --data SOURCEDIR [--out ARCHIVEDIR] [--preview PNGDIR] "
                    "[--icons PNGDIR] [--demo-stand-ins]\n");
    exit(2);
}

// Writes through a temporary file so an interrupted run never leaves a half archive.
static void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) GEN_Fail("cannot create %s: %s", tmp.c_str(), strerror(errno));
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) GEN_Fail("cannot write %s", tmp.c_str());
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) GEN_Fail("cannot rename %s: %s", tmp.c_str(), ec.message().c_str());
}

int main(int argc, char** argv)
{
    std::string out, preview, icons;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--demo-stand-ins") {
            gen.demo_standins = true;
            continue;
        }
        if (i + 1 >= argc) Usage();
        if (a == "--data")
            gen.datadir = argv[++i];
        else if (a == "--out")
            out = argv[++i];
        else if (a == "--preview")
            preview = argv[++i];
        else if (a == "--icons")
            icons = argv[++i];
        else
            Usage();
    }
    if (gen.datadir.empty() || (out.empty() && preview.empty() && icons.empty())) Usage();

    PAL_Load("palette.txt", gen.pal);
    for (int e = 0; e < ITM_EPISODES; e++)
        EPI_Check(e);
    if (!out.empty()) {
        std::filesystem::create_directories(out);
        auto archives = LAYOUT_Build();
        for (int a = 0; a < ITM_ARCHIVES; a++) {
            char name[32];
            snprintf(name, sizeof(name), "/FILE%04d.GLB", a);
            WriteFile(out + name, LAYOUT_ArchiveBytes(archives[a]));
        }
    }
    if (!preview.empty()) PREVIEW_Write(preview);
    if (!icons.empty()) PREVIEW_WriteIcons(icons);
    return 0;
}
