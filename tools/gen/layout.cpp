// Lays the archives out from the item table: every run gets its items from one content
// function, gaps between fixed indexes become empty fillers.
#include <cstring>
#include <functional>

#include "content.h"
#include "scenes.h"
#include "res/glbwrite.h"

namespace
{

using Items = std::vector<GenItem>;

Items Pictures(const std::vector<Image>& imgs, bool sprite)
{
    Items out;
    for (const Image& img : imgs)
        out.push_back({sprite ? GEN_Sprite(img) : GEN_Picture(img)});
    return out;
}

// Maps, tile attributes, enemy tables, help pages and the closing screen are stored
// scrambled, pictures and sounds plain: readers of both kinds get exercised.
bool Scrambled(ITEMFORMAT fmt)
{
    switch (fmt) {
    case IFMT_MAP:
    case IFMT_FLATS:
    case IFMT_ENEMYLIB:
    case IFMT_TEXT:
    case IFMT_TEXTSCREEN:
    case IFMT_WINDOW:
    case IFMT_PALETTE:
        return true;
    default:
        return false;
    }
}

// The content of one run; `n` is the number of items the table asks for.
Items Content(const ITEMRUN& run)
{
    const std::string what = run.content;
    const int p = run.param, n = run.count;
    auto frames = [&](auto&& frame) {
        std::vector<Image> imgs;
        for (int i = 0; i < n; i++)
            imgs.push_back(frame(i));
        return imgs;
    };

    if (what == "palette") return {{PAL_Bytes(gen.pal)}};
    if (what == "font.small") return {{FONT_Item("small")}};
    if (what == "font.medium") return {{FONT_Item("medium")}};
    if (what == "font.large") return {{FONT_Item("large")}};
    if (what == "hud.digits") return Pictures(frames(HUD_Digit), true);
    if (what == "hud.scorelabel") return Pictures({HUD_ScoreLabel()}, true);
    if (what == "hud.warning") return Pictures({HUD_Warning(p)}, true);
    if (what == "hud.icon") return Pictures({HUD_Icon(p)}, true);
    if (what == "pointer") return {{HUD_PointerItem()}};
    if (what == "ship.frames")
        return Pictures(frames([p](int i) { return SHIP_Frame(p, i); }), true);
    if (what == "exitscreen") return {{SCREEN_TextScreen()}};
    if (what == "flats") {
        Bytes all;
        for (const Bytes& rec : EPI_Get(p).flats)
            all.insert(all.end(), rec.begin(), rec.end());
        return {{all}};
    }
    if (what == "tiles") return Pictures(EPI_Get(p).tiles, false);
    if (what == "map") return {{EPI_Get(p / ITM_WAVES).maps[p % ITM_WAVES]}};
    if (what == "enemy.library") return {{ENEMY_Library(p)}};
    if (what == "enemy.frames") return Pictures(ENEMY_Frames(p / 16, p % 16, n), true);
    if (what == "tiles.start" || what == "help.start" || what == "help.end") return {{}};
    if (what == "help.page") return {{SCREEN_HelpPage(p)}};
    if (what == "window") return {{WINDOW_Item(ITM_Id(run.archive, run.index))}};
    if (what.starts_with("winpic.")) return Pictures({WINDOW_Picture(what, p)}, false);
    if (what == "scene") {
        Items out;
        for (Bytes& b : SCENE_Items(ITM_Id(run.archive, run.index), n))
            out.push_back({std::move(b)});
        return out;
    }
    if (what == "demo") {
        Items out;
        for (int i = 0; i < n; i++)
            out.push_back({SCREEN_Demo(p, i)});
        return out;
    }
    if (what == "credits.palette") return {{SCREEN_CreditsPalette(p)}};
    if (what == "texture") return {{GEN_Picture(SCREEN_Texture(p))}};
    if (what.starts_with("anim.") || what.starts_with("shot.") || what == "pickup")
        return Pictures(BATTLE_Frames(what, p, n), true);
    if (what == "ui.knob") return Pictures({SCREEN_Picture(what, p)}, true);
    if (what == "store.item" || what == "victory" || what == "store.keeper" ||
        what == "ui.portrait" || what == "ui.storebutton") {
        Items out;
        for (int i = 0; i < n; i++)
            out.push_back({GEN_Picture(SCREEN_Picture(what, p + i))});
        return out;
    }
    if (what == "credits.picture")
        return Pictures({SCENE_Still(p ? "credits2" : "credits1")}, false);
    if (what.starts_with("ui.")) return Pictures({SCREEN_Picture(what, p)}, false);

    // Sound items: their bytes come from the sound hooks alone.
    if (what == "sound.oplbank") return {{SOUNDHOOK_OplBank()}};
    if (what == "sound.song") {
        Items out;
        for (int i = 0; i < n; i++)
            out.push_back({SOUNDHOOK_Song(p + i)});
        return out;
    }
    if (what == "sound.effect") {
        Items out(1); // the label entry itself carries no data
        for (int v = 1; v < ITM_EFFECT_VARIANTS; v++)
            out.push_back({SOUNDHOOK_EffectVariant(p, v)});
        return out;
    }
    GEN_Fail("item table names content '%s' that nothing makes", run.content);
}

} // namespace

std::array<Items, ITM_ARCHIVES> LAYOUT_Build()
{
    std::array<Items, ITM_ARCHIVES> archives;
    for (const ITEMRUN& run : ITM_LAYOUT) {
        Items& arc = archives[run.archive];
        if (run.index >= 0) {
            if (arc.size() > static_cast<size_t>(run.index))
                GEN_Fail("run '%s' at %d:%d overlaps the one before", run.content, run.archive,
                         run.index);
            arc.resize(run.index); // fillers up to the fixed index
        }
        Items items = Content(run);
        if (run.count != ITM_TILECOUNT && items.size() != static_cast<size_t>(run.count))
            GEN_Fail("content '%s' made %zu items, the table wants %d", run.content, items.size(),
                     run.count);
        if (run.label && !items.empty()) items[0].label = run.label;
        for (GenItem& it : items) {
            it.encoded = !it.data.empty() && Scrambled(run.format);
            arc.push_back(std::move(it));
        }
    }
    return archives;
}

Bytes LAYOUT_ArchiveBytes(const Items& items)
{
    std::vector<GLB_WRITEITEM> out(items.size());
    for (size_t i = 0; i < items.size(); i++)
        out[i] = {items[i].label, items[i].data, items[i].encoded};
    return GLB_BuildArchive(out);
}
