// The generated data set: every item of the layout is where the game looks for it and is
// well formed, and the pieces that refer to each other fit together.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "archive_read.h"
#include "res/itemfmt.h"
#include "res/itemtable.h"

namespace
{

using Archives = std::array<std::vector<ArchiveItem>, ITM_ARCHIVES>;

const Archives& Data()
{
    static Archives archives = [] {
        Archives a;
        for (int n = 0; n < ITM_ARCHIVES; n++) {
            char name[64];
            snprintf(name, sizeof(name), "%s/data/FILE%04d.GLB", VULTAR_BINARY_DIR, n);
            std::string why;
            a[n] = ReadArchive(name, &why);
            EXPECT_FALSE(a[n].empty()) << why;
        }
        return a;
    }();
    return archives;
}

const ArchiveItem& Item(int id)
{
    static const ArchiveItem none;
    const auto& arc = Data()[ITM_Archive(id)];
    return static_cast<size_t>(ITM_Index(id)) < arc.size() ? arc[ITM_Index(id)] : none;
}

std::span<const uint8_t> Bytes(int id)
{
    return Item(id).data;
}

// The id of a label as the game finds it: lowest archive, then lowest index.
int Find(const std::string& label)
{
    for (int a = 0; a < ITM_ARCHIVES; a++)
        for (size_t i = 0; i < Data()[a].size(); i++)
            if (Data()[a][i].label == label) return ITM_Id(a, static_cast<int>(i));
    return -1;
}

int TileCount(int episode)
{
    // One attribute record per tile.
    return static_cast<int>(Bytes(Find(ITM_FLATS_LABELS[episode])).size() / ITEM_FLATSIZE);
}

int EnemyTypes(int episode)
{
    return static_cast<int>(Bytes(ITM_ENEMYLIBS[episode]).size() / ITEM_ENEMYSIZE);
}

// Where each run starts, walking the table as the generator lays it out.
std::vector<int> RunStarts()
{
    std::vector<int> starts;
    int next[ITM_ARCHIVES] = {};
    for (const ITEMRUN& r : ITM_LAYOUT) {
        int at = r.index >= 0 ? r.index : next[r.archive];
        starts.push_back(ITM_Id(r.archive, at));
        int count = r.count == ITM_TILECOUNT ? TileCount(r.param) : r.count;
        next[r.archive] = at + count;
    }
    return starts;
}

int RunCount(const ITEMRUN& r)
{
    return r.count == ITM_TILECOUNT ? TileCount(r.param) : r.count;
}

const char* CheckItem(const ITEMRUN& run, int k, std::span<const uint8_t> b)
{
    switch (run.format) {
    case IFMT_FILLER:
    case IFMT_MARKER:
        return b.empty() ? nullptr : "label entry with data";
    case IFMT_PALETTE:
        return ITEM_CheckPalette(b);
    case IFMT_PICTURE:
        if (b.size() >= 4 && ITEM_Long(b, 0) == ITEM_PIC_SPRITE) return "plain picture expected";
        return ITEM_CheckPicture(b);
    case IFMT_SPRITE:
        return ITEM_CheckSprite(b);
    case IFMT_POINTER: {
        if (const char* why = ITEM_CheckPlain(b, 16, 16)) return why;
        if (b.back() == 255) return "hot-spot marker on the last pixel";
        return nullptr;
    }
    case IFMT_FONT: {
        if (const char* why = ITEM_CheckFont(b)) return why;
        for (int c = 32; c < 127; c++)
            if (ITEM_Short(b, 4 + 2 * c) == -1) return "font without a printable character";
        return nullptr;
    }
    case IFMT_TILE:
        return ITEM_CheckPlain(b, ITEM_TILESIZE, ITEM_TILESIZE);
    case IFMT_FLATS:
        return ITEM_CheckFlats(b, TileCount(run.param));
    case IFMT_MAP: {
        int episode = run.param / ITM_WAVES;
        return ITEM_CheckMap(b, episode, TileCount(episode), EnemyTypes(episode));
    }
    case IFMT_TEXTSCREEN:
        return ITEM_CheckTextScreen(b);
    case IFMT_ENEMYLIB:
        return b.empty() || b.size() % ITEM_ENEMYSIZE ? "enemy library length" : nullptr;
    case IFMT_TEXT:
        return b.empty() ? "empty help page" : nullptr;
    case IFMT_WINDOW: {
        if (b.size() < 120) return "window shorter than its header";
        int32_t fields = ITEM_Long(b, 96);
        if (ITEM_Long(b, 76) != 120 || fields < 0 ||
            b.size() < 120 + 148 * static_cast<size_t>(fields))
            return "window fields past the item";
        return nullptr;
    }
    case IFMT_DEMO: {
        if (b.size() < 12 || b.size() % 12 || b.size() > 33612) return "demo length";
        if (static_cast<size_t>(ITEM_Long(b, 8) & 0xFFFF) * 12 != b.size()) return "demo count";
        return nullptr;
    }
    case IFMT_SCENEFIRST:
    case IFMT_SCENE:
        return b.size() < (run.format == IFMT_SCENEFIRST ? 3u : 2u) ? "cut-scene frame too short"
                                                                    : nullptr;
    case IFMT_SONG:
        return b.size() < 11 || ITEM_Short(b, 6) < 10 ? "song header" : nullptr;
    case IFMT_OPLBANK:
        return b.size() == 8 + 175 * 36 ? nullptr : "instrument bank length";
    case IFMT_EFFECT:
        if (k == 0) return b.empty() ? nullptr : "effect label with data";
        return b.empty() ? "empty effect variant" : nullptr;
    }
    return "unknown format";
}

} // namespace

TEST(DataSet, EveryRunSitsWhereTheTableSaysWithItsLabelAndFormat)
{
    std::vector<int> starts = RunStarts();
    int used[ITM_ARCHIVES] = {};
    for (size_t i = 0; i < ITM_LAYOUT.size(); i++) {
        const ITEMRUN& run = ITM_LAYOUT[i];
        int first = starts[i], count = RunCount(run);
        ASSERT_GT(count, 0) << run.content;
        EXPECT_EQ(Item(first).label, run.label ? run.label : "") << run.content;
        for (int k = 0; k < count; k++) {
            const ArchiveItem& it = Item(first + k);
            if (k > 0) {
                EXPECT_EQ(it.label, "") << run.content << " item " << k;
            }
            const char* why = CheckItem(run, k, it.data);
            EXPECT_EQ(why, nullptr)
                << run.content << " " << std::hex << first + k << ": " << (why ? why : "");
        }
        used[run.archive] = std::max(used[run.archive], ITM_Index(first) + count);
    }
    // Entries the table does not name are empty fillers that only keep the numbering.
    for (int a = 0; a < ITM_ARCHIVES; a++) {
        EXPECT_EQ(Data()[a].size(), static_cast<size_t>(used[a])) << "archive " << a;
        std::set<int> named;
        for (size_t i = 0; i < ITM_LAYOUT.size(); i++)
            if (ITM_LAYOUT[i].archive == a)
                for (int k = 0; k < RunCount(ITM_LAYOUT[i]); k++)
                    named.insert(ITM_Index(starts[i]) + k);
        for (size_t i = 0; i < Data()[a].size(); i++)
            if (!named.count(static_cast<int>(i))) {
                EXPECT_TRUE(Data()[a][i].data.empty()) << a << ":" << i;
                EXPECT_EQ(Data()[a][i].label, "") << a << ":" << i;
            }
    }
}

TEST(DataSet, EveryLabelIsFoundOnceAndWhereItsRunStarts)
{
    std::vector<int> starts = RunStarts();
    std::map<std::string, int> seen;
    for (int a = 0; a < ITM_ARCHIVES; a++)
        for (const ArchiveItem& it : Data()[a])
            if (!it.label.empty()) {
                EXPECT_EQ(seen[it.label]++, 0) << it.label << " twice";
            }
    for (size_t i = 0; i < ITM_LAYOUT.size(); i++)
        if (ITM_LAYOUT[i].label) {
            EXPECT_EQ(Find(ITM_LAYOUT[i].label), starts[i]) << ITM_LAYOUT[i].label;
        }
    for (int e = 0; e < ITM_EPISODES; e++)
        for (int w = 0; w < ITM_WAVES; w++) {
            char label[16];
            snprintf(label, sizeof(label), ITM_MAP_LABEL_FORMAT, w + 1, e + 1);
            EXPECT_EQ(ITM_Archive(Find(label)), e + 1) << label;
        }
}

TEST(DataSet, TheGamesItemNamesPointAtItemsOfTheirKind)
{
    struct Want {
        int id;
        ITEMFORMAT format;
    };
    const Want wants[] = {
        {ITM_PALETTE, IFMT_PALETTE},       {ITM_POINTER, IFMT_POINTER},
        {ITM_EXITSCREEN, IFMT_TEXTSCREEN}, {ITM_DEMOFONT, IFMT_FONT},
        {ITM_WARN_SHIELD, IFMT_SPRITE},    {ITM_WARN_DAMAGE, IFMT_SPRITE},
        {ITM_SCORELABEL, IFMT_SPRITE},     {ITM_OPLBANK, IFMT_OPLBANK},
        {ITM_ENEMYLIB1, IFMT_ENEMYLIB},    {ITM_ENEMYLIB2, IFMT_ENEMYLIB},
        {ITM_ENEMYLIB3, IFMT_ENEMYLIB},    {ITM_ENEMYLIB4, IFMT_ENEMYLIB},
        {ITM_CREDITS_PAL1, IFMT_PALETTE},  {ITM_CREDITS_PIC1, IFMT_PICTURE},
        {ITM_WIN_MAINMENU, IFMT_WINDOW},
    };
    for (const Want& w : wants) {
        const ITEMRUN* run = ITM_FindFixed(w.id);
        ASSERT_NE(run, nullptr) << std::hex << w.id;
        EXPECT_EQ(run->format, w.format) << std::hex << w.id;
    }
    for (int k = 0; k < ITM_NUMBERCOUNT; k++)
        EXPECT_EQ(ITM_FindFixed(ITM_NUMBERS + k)->format, IFMT_SPRITE);
    for (int base : {ITM_LSHIP, ITM_DSHIP, ITM_FSHIP})
        for (int k = 0; k < ITM_SHIPFRAMES; k++) {
            ASSERT_NE(ITM_FindFixed(base + k), nullptr);
            EXPECT_EQ(std::string(ITM_FindFixed(base + k)->content), "ship.frames");
        }
    for (int song = ITM_FIRSTSONG; song <= ITM_LASTSONG; song++)
        EXPECT_EQ(ITM_FindFixed(ITM_Id(0, song))->format, IFMT_SONG);
    for (const char* label : ITM_FLATS_LABELS)
        EXPECT_EQ(ITM_FindLabel(label)->format, IFMT_FLATS);
}

TEST(DataSet, TilesMapsAndEnemyLibrariesOfAnEpisodeFitTogether)
{
    for (int e = 0; e < ITM_EPISODES; e++) {
        int marker = Find(ITM_TILES_LABELS[e]), tiles = TileCount(e);
        ASSERT_GT(tiles, 0);
        EXPECT_EQ(ITM_Archive(marker), e + 1);
        // Every tile a wreck record names is a picture right after the marker.
        for (int t = 0; t < tiles; t++)
            EXPECT_EQ(ITEM_CheckPlain(Bytes(marker + 1 + t), 32, 32), nullptr)
                << "episode " << e << " tile " << t;

        std::span<const uint8_t> lib = Bytes(ITM_ENEMYLIBS[e]);
        for (int t = 0; t < EnemyTypes(e); t++) {
            std::span<const uint8_t> rec =
                lib.subspan(static_cast<size_t>(t) * ITEM_ENEMYSIZE, ITEM_ENEMYSIZE);
            char label[17] = {};
            memcpy(label, rec.data(), 16);
            int first = Find(label), frames = ITEM_Long(rec, 44);
            ASSERT_NE(first, -1) << label;
            for (int f = 0; f < std::max(frames, 1); f++)
                EXPECT_EQ(ITEM_CheckSprite(Bytes(first + f)), nullptr) << label << " frame " << f;
            EXPECT_GE(ITEM_Long(rec, 56), 0);
            EXPECT_LE(ITEM_Long(rec, 56), 2) << label;
            int guns = ITEM_Long(rec, 104);
            ASSERT_LE(guns, 24);
            for (int g = 0; g < guns; g++) {
                int kind = ITEM_Short(rec, 120 + 2 * g);
                EXPECT_TRUE(kind >= 0 && kind <= 8) << label;
            }
            int flight = ITEM_Long(rec, 100), points = ITEM_Long(rec, 92);
            if (flight <= 2) {
                EXPECT_TRUE(points >= 1 && points <= 30) << label;
            }
        }
    }
}

TEST(DataSet, ABuildingsWreckFitsWhereTheBuildingStood)
{
    // The wreck replaces the whole tile: whatever the building or its wreck draws must
    // stay off the tile's outer ring, or the ground would break at the tile's edge the
    // moment the building is destroyed.
    for (int e = 0; e < ITM_EPISODES; e++) {
        std::span<const uint8_t> flats = Bytes(Find(ITM_FLATS_LABELS[e]));
        int first = Find(ITM_TILES_LABELS[e]) + 1;
        for (int t = 0; t < TileCount(e); t++) {
            int wreck = ITEM_Long(flats, static_cast<size_t>(t) * ITEM_FLATSIZE);
            if (wreck == t) continue;
            std::span<const uint8_t> a = Bytes(first + t).subspan(ITEM_PICHEADER);
            std::span<const uint8_t> b = Bytes(first + wreck).subspan(ITEM_PICHEADER);
            int differ = 0;
            for (int i = 0; i < ITEM_TILESIZE; i++)
                for (int at : {i, 31 * 32 + i, i * 32, i * 32 + 31})
                    differ += a[at] != b[at];
            EXPECT_EQ(differ, 0) << "episode " << e + 1 << " tile " << t << " and its wreck "
                                 << wreck;
        }
    }
}

TEST(DataSet, EveryWaveCanEndWithoutWaitingForEver)
{
    // A wave ends with its last enemy. An enemy that patrols never leaves, so it must stay
    // where the player can shoot it: once it has come in, every point of its beat keeps its
    // middle over the play field (columns 0..8, x 16..303) and above the lowest place the
    // ship can fly (its shots start from there). A ground enemy that comes too late never
    // scrolls off before the map stops, so only bosses may stand near the top.
    for (int e = 0; e < ITM_EPISODES; e++)
        for (int w = 0; w < ITM_WAVES; w++) {
            char label[16];
            snprintf(label, sizeof(label), ITM_MAP_LABEL_FORMAT, w + 1, e + 1);
            std::span<const uint8_t> map = Bytes(Find(label));
            std::span<const uint8_t> lib = Bytes(ITM_ENEMYLIBS[e]);
            int count = ITEM_Long(map, 8);
            for (int i = 0; i < count; i++) {
                size_t at = ITEM_MAPPLACEMENTS + static_cast<size_t>(i) * ITEM_PLACEMENTSIZE;
                int type = ITEM_Long(map, at + 4), col = ITEM_Long(map, at + 8),
                    row = ITEM_Long(map, at + 12);
                std::span<const uint8_t> rec =
                    lib.subspan(static_cast<size_t>(type) * ITEM_ENEMYSIZE, ITEM_ENEMYSIZE);
                int flight = ITEM_Long(rec, 100), boss = ITEM_Long(rec, 64);
                if (flight == 0) {
                    EXPECT_GE(ITEM_Long(rec, 68), 1) << label << " placement " << i;
                    int points = ITEM_Long(rec, 92), repeat = ITEM_Long(rec, 96);
                    ASSERT_TRUE(points >= 1 && points <= 30 && repeat >= 0 && repeat < points)
                        << label << " placement " << i;
                    for (int k = std::max(repeat, 1); k < points; k++) {
                        // Points count from the middle of the column it comes in on and the
                        // middle of the 200-line screen; the ship flies down to y 160.
                        int x = (col + 1) * 32 + ITEM_Short(rec, 408 + 2 * k);
                        int y = 100 + ITEM_Short(rec, 468 + 2 * k);
                        EXPECT_TRUE(x >= 16 && x < 16 + 288 && y >= 0 && y < 160)
                            << label << " placement " << i << " point " << k << " at " << x << ","
                            << y;
                    }
                }
                if (flight >= 3 && !boss) {
                    EXPECT_GE(row, 12) << label << " placement " << i;
                }
            }
        }
}

TEST(DataSet, HudPiecesFitWhereTheyAreDrawn)
{
    // Digits stand 8 pixels apart from x 128, the score label at x 119 before them.
    for (int k = 0; k < 10; k++)
        EXPECT_LE(ITEM_Long(Bytes(ITM_NUMBERS + k), 12), 8);
    EXPECT_LE(ITEM_Long(Bytes(ITM_SCORELABEL), 12), 9);
    // The two warnings are centred at y 173 and 182, one above the other.
    for (int id : {ITM_WARN_SHIELD, ITM_WARN_DAMAGE}) {
        EXPECT_LE(ITEM_Long(Bytes(id), 12), 288);
        EXPECT_LE(ITEM_Long(Bytes(id), 16), 11);
    }
    // Ship frames: 32x32, and no two banking frames alike.
    for (int base : {ITM_LSHIP, ITM_DSHIP, ITM_FSHIP}) {
        std::set<std::string> frames;
        for (int k = 0; k < ITM_SHIPFRAMES; k++) {
            EXPECT_EQ(ITEM_Long(Bytes(base + k), 12), 32);
            EXPECT_EQ(ITEM_Long(Bytes(base + k), 16), 32);
            const std::vector<uint8_t>& data = Item(base + k).data;
            frames.emplace(data.begin(), data.end());
        }
        EXPECT_EQ(frames.size(), static_cast<size_t>(ITM_SHIPFRAMES));
    }
}

TEST(DataSet, PaletteKeepsItsFixedColours)
{
    std::span<const uint8_t> pal = Bytes(ITM_PALETTE);
    EXPECT_EQ(pal[0] + pal[1] + pal[2], 0);
    // The shield bar: nine different colours.
    std::set<std::array<uint8_t, 3>> bar;
    for (int c = 66; c <= 74; c++)
        bar.insert({pal[3 * c], pal[3 * c + 1], pal[3 * c + 2]});
    EXPECT_EQ(bar.size(), 9u);
}

TEST(DataSet, ClosingScreenNamesTheGame)
{
    std::span<const uint8_t> s = Bytes(ITM_EXITSCREEN);
    std::string chars;
    for (size_t i = 0; i < s.size(); i += 2)
        chars += static_cast<char>(s[i]);
    EXPECT_NE(chars.find("Vultar"), std::string::npos);
}

TEST(DataSet, HelpPagesLieBetweenTheirMarkers)
{
    int start = Find(ITM_HELP_START), end = Find(ITM_HELP_END);
    ASSERT_NE(start, -1);
    ASSERT_EQ(ITM_Archive(start), ITM_Archive(end));
    ASSERT_LT(start, end);
    std::set<std::string> pages;
    for (int id = start + 1; id < end; id++) {
        std::span<const uint8_t> text = Bytes(id);
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](uint8_t c) {
            return c == '\r' || c == '\n' || (c >= 32 && c < 127);
        }));
        pages.insert(Item(id).label);
    }
    for (const char* page : ITM_HELP_PAGES)
        EXPECT_EQ(pages.count(page), 1u) << page;
}

TEST(DataSet, EveryEffectHasItsDeviceVariants)
{
    for (const char* label : ITM_EFFECT_LABELS) {
        int l = Find(label);
        ASSERT_NE(l, -1) << label;
        EXPECT_TRUE(Bytes(l).empty());
        std::span<const uint8_t> tone = Bytes(l + 2), sample = Bytes(l + 4);
        ASSERT_GE(tone.size(), 8u) << label;
        EXPECT_EQ(ITEM_Short(tone, 0), 1) << label;
        ASSERT_GE(sample.size(), 24u) << label;
        EXPECT_EQ(ITEM_Short(sample, 0), 3) << label;
        int32_t length = ITEM_Long(sample, 4);
        EXPECT_GT(length, 32) << label;
        EXPECT_GE(static_cast<int64_t>(sample.size()), 24 + static_cast<int64_t>(length) - 32)
            << label;
    }
}

TEST(DataSet, DemosPlayWavesThatExist)
{
    for (int base : {ITM_DEMOS1, ITM_DEMOS2, ITM_DEMOS3})
        for (int k = 0; k < 3; k++) {
            std::span<const uint8_t> d = Bytes(base + k);
            int episode = ITEM_Short(d, 4), wave = ITEM_Short(d, 6);
            ASSERT_TRUE(episode >= 0 && episode < ITM_EPISODES && wave >= 0 && wave < ITM_WAVES);
            // A demo in an episode's archive plays that episode, so its map is there too.
            EXPECT_EQ(episode + 1, ITM_Archive(base));
            // Every frame keeps the ship where a live game can put it: the frame number
            // picks one of the seven ship pictures.
            for (size_t at = 12; at < d.size(); at += 12) {
                int x = ITEM_Short(d, at + 4), y = ITEM_Short(d, at + 6),
                    pic = ITEM_Short(d, at + 8);
                ASSERT_TRUE(x >= 5 && x <= 282 && y >= 0 && y <= 160 && pic >= 0 && pic <= 6)
                    << std::hex << base + k << " record " << std::dec << at / 12;
                for (int button = 0; button < 4; button++)
                    ASSERT_LE(d[at + button], 1);
            }
        }
}
