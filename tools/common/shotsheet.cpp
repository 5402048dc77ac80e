#include "shotsheet.h"

#include <cstdio>
#include <filesystem>

#include "game/vul.h"
#include "gfx/i_png.h"
#include "res/glbapi.h"
#include "res/itemtable.h"

// The tool's name, for its messages.
static const char* shot_tool = "shot";

bool SHOT_Init(const char* tool, const std::string& data, const std::string& out)
{
    shot_tool = tool;
    std::filesystem::create_directories(out);
    if (GLB_InitSystem((data + "/" + tool).c_str(), 5, nullptr) == 0) {
        fprintf(stderr, "%s: no archives in %s\n", tool, data.c_str());
        return false;
    }
    GFX_InitSystem();
    palette = GLB_LockItem(ITM_PALETTE);
    GFX_SetPalRange(0, 239);
    GFX_MakeLightTable(palette, ltable, 9);
    GFX_MakeLightTable(palette, dtable, -9);
    GFX_MakeGreyTable(palette, gtable);
    return true;
}

SHOT SHOT_Grab(const std::string& name)
{
    return {name, std::vector<uint8_t>(displaybuffer, displaybuffer + SCREENSIZE)};
}

void SHOT_Save(const std::string& path, std::span<const SHOT> shots, int across, int zoom, int gap,
               SHOT_AREA area)
{
    int down = (static_cast<int>(shots.size()) + across - 1) / across;
    int w = across * (area.w * zoom + gap) + gap, h = down * (area.h * zoom + gap) + gap;
    std::vector<uint8_t> img(static_cast<size_t>(w) * h, 0);
    for (size_t k = 0; k < shots.size(); k++) {
        int ox = gap + static_cast<int>(k % across) * (area.w * zoom + gap);
        int oy = gap + static_cast<int>(k / across) * (area.h * zoom + gap);
        for (int y = 0; y < area.h * zoom; y++)
            for (int x = 0; x < area.w * zoom; x++)
                img[static_cast<size_t>(oy + y) * w + ox + x] =
                    shots[k].pixels[(area.y + y / zoom) * SCREENWIDTH + area.x + x / zoom];
    }
    uint8_t rgb[768];
    for (int i = 0; i < 768; i++)
        rgb[i] = static_cast<uint8_t>(palette[i] << 2);
    if (!I_WritePNGFile(path.c_str(), img.data(), w, h, rgb))
        fprintf(stderr, "%s: cannot write %s\n", shot_tool, path.c_str());
    else
        printf("%s\n", path.c_str());
}
