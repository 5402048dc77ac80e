// scenetool: cut-scene frames between pictures and the frame-delta items the game plays,
// so a scene can be drawn by hand and put into an archive (with glbtool extract and pack).
//
//   scenetool encode PREFIX FRAME.png ...        frames to items PREFIX000.bin, PREFIX001.bin ...
//   scenetool decode PALETTE PREFIX ITEM ...     items to pictures PREFIX000.png ...
//
// Its help text and manual page are in scenetool_manual.cpp.
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "scenetool_manual.h"
#include "ui/movie.h"

namespace
{

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

bool ReadFile(const std::string& path, std::vector<uint8_t>& out)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        out.insert(out.end(), buf, buf + n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

std::string Numbered(const std::string& prefix, size_t i, const char* ext)
{
    char n[16];
    snprintf(n, sizeof(n), "%03zu", i);
    return prefix + n + ext;
}

int Encode(const std::string& prefix, const std::vector<std::string>& pictures)
{
    std::vector<uint8_t> prev;
    for (size_t i = 0; i < pictures.size(); i++) {
        std::vector<uint8_t> px;
        int w = 0, h = 0;
        uint8_t rgb[768];
        if (!I_ReadPNGFile(pictures[i].c_str(), px, &w, &h, rgb, SCREENSIZE)) {
            fprintf(stderr, "scenetool: %s: not a palettised PNG of at most 320 x 200\n",
                    pictures[i].c_str());
            return kExitFailed;
        }
        if (w != SCREENWIDTH || h != SCREENHEIGHT) {
            fprintf(stderr, "scenetool: %s: is %d x %d, a frame is 320 x 200\n",
                    pictures[i].c_str(), w, h);
            return kExitFailed;
        }
        std::vector<uint8_t> item = ANIM_Encode(i ? prev.data() : nullptr, px.data());
        std::string out = Numbered(prefix, i, ".bin");
        if (!WriteFile(out, item)) {
            fprintf(stderr, "scenetool: cannot write %s\n", out.c_str());
            return kExitFailed;
        }
        prev = std::move(px);
    }
    printf("scenetool: %zu frames encoded\n", pictures.size());
    return kExitOk;
}

int Decode(const std::string& palfile, const std::string& prefix,
           const std::vector<std::string>& items)
{
    std::vector<uint8_t> pal;
    if (!ReadFile(palfile, pal) || pal.size() < 768) {
        fprintf(stderr, "scenetool: %s: not a 768-byte palette\n", palfile.c_str());
        return kExitFailed;
    }
    uint8_t rgb[768];
    for (int i = 0; i < 768; i++)
        rgb[i] = static_cast<uint8_t>((pal[size_t(i)] & 63) * 255 / 63);
    std::vector<uint8_t> screen(SCREENSIZE, 0);
    displaybuffer = screen.data(); // the player draws into the frame buffer
    for (size_t i = 0; i < items.size(); i++) {
        std::vector<uint8_t> d;
        if (!ReadFile(items[i], d) || (i == 0 && d.empty())) {
            fprintf(stderr, "scenetool: cannot read %s\n", items[i].c_str());
            return kExitFailed;
        }
        const uint8_t* list = d.data();
        size_t size = d.size();
        if (i == 0) {
            std::fill(screen.begin(), screen.end(), d[0]);
            list++;
            size--;
        }
        ANIM_Render(list, size);
        std::string out = Numbered(prefix, i, ".png");
        if (!I_WritePNGFile(out.c_str(), screen.data(), SCREENWIDTH, SCREENHEIGHT, rgb)) {
            fprintf(stderr, "scenetool: cannot write %s\n", out.c_str());
            return kExitFailed;
        }
    }
    printf("scenetool: %zu frames decoded\n", items.size());
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "encode")
        return Encode(args[1], {args.begin() + 2, args.end()});
    if (args.size() >= 4 && args[0] == "decode")
        return Decode(args[1], args[2], {args.begin() + 3, args.end()});
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        MAN_PrintHelp(scenetool_manual, stdout);
        return kExitOk;
    }
    MAN_PrintHelp(scenetool_manual, stderr);
    return kExitUsage;
}
