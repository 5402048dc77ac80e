// Items of the interface: the closing text screen and help pages from their sources, the
// store's item pictures, and the attract demos (recordings kept in data/demos/, or stand-ins
// while they are being recorded).
#include <cmath>
#include <cstdio>
#include <map>

#include "content.h"
#include "episode.h"
#include "game/autorun.h"
#include "res/itemfmt.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

const char* const kItemNames[24] = {
    "MAIN GUN|TWIN", "MAIN GUN|PULSE", "MAIN GUN|SPREAD", "MICRO|MISSILES",
    "LIGHTNING",     "LASER|TURRET",   "DUMB|ROCKETS",    "HOMING|ROCKETS",
    "SEEKER|PODS",   "PLASMA|CANNON",  "AIR|MISSILES",    "MEGA|BOMB",
    "PULSE|CANNON",  "LASER|BEAM",     "DEATH|RAY",       "SUPER|SHIELD",
    "SHIELD|CELL",   "TARGET|SCANNER", "BONUS",           "BONUS",
    "BONUS",         "BONUS",          "BONUS",           "CASH"};

} // namespace

Image SCREEN_Picture(const std::string& what, int param)
{
    if (what == "store.item") {
        // The item on the store's display: its pickup picture twice the size over a lit
        // grid, and its name below.
        Image img(96, 64);
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 96; x++) {
                int level = 2 + y * 4 / 64;
                if (x % 12 == 0 || y % 12 == 0) level += 1;
                img.set(x, y, P().c("water", level));
            }
        Image pic = EFFECTS_Frames("pickup", param % 24, 1)[0];
        Image big = IMG_Scale(pic, pic.w * 2, pic.h * 2);
        IMG_Blit(img, big, 48 - big.w / 2, 22 - big.h / 2);
        std::string name = kItemNames[param % 24];
        for (char& ch : name)
            if (ch == '|') ch = ' ';
        const Font& f = FONT_Get("small");
        FONT_Print(img, f, 49 - FONT_Width(f, name) / 2, 53, name, P().c("grey", 1));
        FONT_Print(img, f, 48 - FONT_Width(f, name) / 2, 52, name, P().c("gold", 4));
        return img;
    }
    if (what == "store.keeper" || what == "victory") return WINDOW_Picture(what, param);
    if (what.starts_with("ui.")) return WINDOW_Picture(what, param);
    GEN_Fail("no picture for '%s'", what.c_str());
}

Image SCREEN_Texture(int which)
{
    // 32x32 and seamless: every pattern repeats within the square.
    Image img(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            uint8_t c;
            double n = GEN_Fractal(x, y, 32, 90 + which, 3);
            if (which == 0) {
                c = P().c("steel", 6 + static_cast<int>(n * 2));
                if (x == 0 || y == 0) c = P().c("steel", 9);
                if (x == 31 || y == 31) c = P().c("steel", 3);
                if ((x == 4 || x == 27) && (y == 4 || y == 27)) c = P().c("steel", 11);
                if ((x == 5 || x == 28) && (y == 5 || y == 28)) c = P().c("steel", 3);
            } else if (which == 1) {
                double m = GEN_Fractal(x, y, 32, 97, 2);
                c = P().c("olive", m < 0.4 ? 3 : m < 0.55 ? 6 : m < 0.7 ? 9 : 5);
                if ((x + y) % 4 == 0 || (x - y + 32) % 4 == 0) c = SHADE(c, -2);
            } else {
                c = P().c("toxic", 1 + static_cast<int>(n * 2));
                if (x % 8 == 0 || y % 8 == 0) c = P().c("toxic", 4);
                if (y % 2 == 0) c = SHADE(c, -1);
            }
            img.set(x, y, c);
        }
    return img;
}

Bytes SCREEN_CreditsPalette(int)
{
    return PAL_Bytes(P());
}

namespace
{

// A weaving flight with the guns firing: a valid demo of the wave, for a data set made to
// record the real ones with.
Bytes StandInDemo(int episode, int wave)
{
    constexpr int kFrames = 1500;
    Bytes d;
    ITEM_AddLong(d, 0);
    ITEM_AddShort(d, static_cast<int16_t>(episode));
    ITEM_AddShort(d, static_cast<int16_t>(wave));
    ITEM_AddLong(d, kFrames + 1);
    int pic = 3, oldx = 144;
    for (int f = 0; f < kFrames; f++) {
        int x = 144 + static_cast<int>(std::lround(110 * std::sin(f / (60.0 + 10 * wave))));
        int y = 120 + static_cast<int>(std::lround(30 * std::sin(f / 47.0)));
        int h = std::min(std::abs(oldx - x) >> 2, 3);
        if (x < oldx && pic < 3 + h)
            pic++;
        else if (x > oldx && pic > 3 - h)
            pic--;
        else if (x == oldx && pic != 3)
            pic += pic < 3 ? 1 : -1;
        oldx = x;
        d.push_back(f % 4 != 3); // fire
        d.push_back(0);
        d.push_back(0);
        d.push_back(0);
        ITEM_AddShort(d, static_cast<int16_t>(x));
        ITEM_AddShort(d, static_cast<int16_t>(y));
        ITEM_AddShort(d, static_cast<int16_t>(pic));
        ITEM_AddShort(d, 0);
    }
    return d;
}

} // namespace

Bytes SCREEN_Demo(int episode, int which)
{
    if (gen.demo_standins) return StandInDemo(episode, AUTO_DEMOWAVES[which]);
    const std::string path =
        "demos/e" + std::to_string(episode + 1) + "d" + std::to_string(which + 1) + ".dem";
    const char* name = path.c_str();
    const std::string text = GEN_ReadText(path);
    const Bytes d(text.begin(), text.end());
    // The game copies at most 2801 records of 12 bytes; the header's count and place must
    // match the file and the archive it goes into.
    constexpr size_t kRecord = 12, kMaxRecords = 2801;
    if (d.size() < 2 * kRecord || d.size() % kRecord || d.size() > kMaxRecords * kRecord)
        GEN_Fail("%s: %zu bytes is not a demo (2 to %zu records of %zu bytes)", name, d.size(),
                 kMaxRecords, kRecord);
    const auto word = [&d](size_t at) { return d[at] | d[at + 1] << 8; };
    if (word(8) * kRecord != d.size() || word(10) != 0)
        GEN_Fail("%s: the header counts %d records, the file holds %zu", name, word(8),
                 d.size() / kRecord);
    if (word(4) != episode || word(6) != AUTO_DEMOWAVES[which])
        GEN_Fail("%s: records episode %d wave %d, this demo shows episode %d wave %d", name,
                 word(4) + 1, word(6) + 1, episode + 1, AUTO_DEMOWAVES[which] + 1);
    return d;
}

namespace
{

// The characters of the closing screen's source that are not plain ASCII, by their
// code in the text screen's character set.
const std::map<std::string, uint8_t>& BoxChars()
{
    static const std::map<std::string, uint8_t> m = {
        {"░", 176}, {"▒", 177}, {"▓", 178}, {"│", 179}, {"┤", 180}, {"╡", 181}, {"╢", 182},
        {"╖", 183}, {"╕", 184}, {"╣", 185}, {"║", 186}, {"╗", 187}, {"╝", 188}, {"╜", 189},
        {"╛", 190}, {"┐", 191}, {"└", 192}, {"┴", 193}, {"┬", 194}, {"├", 195}, {"─", 196},
        {"┼", 197}, {"╞", 198}, {"╟", 199}, {"╚", 200}, {"╔", 201}, {"╩", 202}, {"╦", 203},
        {"╠", 204}, {"═", 205}, {"╬", 206}, {"╧", 207}, {"╨", 208}, {"╤", 209}, {"╥", 210},
        {"╙", 211}, {"╘", 212}, {"╒", 213}, {"╓", 214}, {"╫", 215}, {"╪", 216}, {"┘", 217},
        {"┌", 218}, {"█", 219}, {"▄", 220}, {"▌", 221}, {"▐", 222}, {"▀", 223}, {"■", 254},
        {"·", 250}, {"•", 7},   {"♦", 4},   {"►", 16},  {"◄", 17},  {"▲", 30},  {"▼", 31},
        {"☼", 15},  {"♪", 13},  {"♫", 14},  {"©", 'c'}};
    return m;
}

// One line of the source as screen characters; UTF-8 sequences map through BoxChars.
std::vector<uint8_t> ScreenChars(const std::string& line, const std::string& where)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < line.size();) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x80) {
            out.push_back(c);
            i++;
            continue;
        }
        size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        std::string seq = line.substr(i, len);
        auto it = BoxChars().find(seq);
        if (it == BoxChars().end())
            GEN_Fail("%s: character '%s' has no screen code", where.c_str(), seq.c_str());
        out.push_back(it->second);
        i += len;
    }
    return out;
}

} // namespace

Bytes SCREEN_TextScreen()
{
    const std::string src = "exitscreen.txt";
    std::vector<std::string> raw;
    {
        std::string text = GEN_ReadText(src), line;
        for (char ch : text) {
            if (ch == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                raw.push_back(line);
                line.clear();
            } else {
                line += ch;
            }
        }
        if (!line.empty()) raw.push_back(line);
    }
    // Sections: [text] 25 lines of characters, [colours] 25 lines of colour keys (short
    // lines continue with '.'), [keys] one key per line: KEY FOREGROUND BACKGROUND. Lines
    // starting with ';' are comments.
    std::string section;
    std::vector<std::vector<uint8_t>> text;
    std::vector<std::string> colours;
    std::map<char, uint8_t> keys;
    for (size_t ln = 0; ln < raw.size(); ln++) {
        const std::string& l = raw[ln];
        std::string where = src + ":" + std::to_string(ln + 1);
        if (l.rfind(";", 0) == 0) continue;
        if (l == "[text]" || l == "[colours]" || l == "[keys]") {
            section = l;
            continue;
        }
        if (section == "[text]")
            text.push_back(ScreenChars(l, where));
        else if (section == "[colours]")
            colours.push_back(l);
        else if (section == "[keys]") {
            std::vector<std::string> w = GEN_Split(l);
            if (w.empty()) continue;
            if (w.size() != 3 || w[0].size() != 1)
                GEN_Fail("%s: KEY FOREGROUND BACKGROUND", where.c_str());
            int fg = GEN_ToInt(w[1], where), bg = GEN_ToInt(w[2], where);
            if (fg < 0 || fg > 15 || bg < 0 || bg > 7)
                GEN_Fail("%s: colours are 0..15 on 0..7", where.c_str());
            keys[w[0][0]] = static_cast<uint8_t>(bg << 4 | fg);
        } else if (!l.empty()) {
            GEN_Fail("%s: text before the first section", where.c_str());
        }
    }
    if (text.size() != 25 || colours.size() != 25)
        GEN_Fail("%s: needs 25 lines of text and of colours", src.c_str());
    Bytes out(ITEM_TEXTSCREENSIZE);
    for (int y = 0; y < 25; y++) {
        if (text[y].size() > 80) GEN_Fail("%s: text line %d is longer than 80", src.c_str(), y + 1);
        for (int x = 0; x < 80; x++) {
            uint8_t ch = x < static_cast<int>(text[y].size()) ? text[y][x] : ' ';
            char key = x < static_cast<int>(colours[y].size()) ? colours[y][x] : '.';
            auto k = keys.find(key);
            if (k == keys.end())
                GEN_Fail("%s: colour line %d uses key '%c' without a colour", src.c_str(), y + 1,
                         key);
            out[2 * (y * 80 + x)] = ch;
            out[2 * (y * 80 + x) + 1] = k->second;
        }
    }
    return out;
}

namespace
{

// The help window's text area (its page field) and the font it writes in.
constexpr int kHelpPageW = 296, kHelpPageH = 147;

// Lays the page out as the help window will, line by line, and refuses one whose text
// runs out of the window's text area (the window does not clip it).
void HelpPageFits(const char* label, const Bytes& page)
{
    const Font& f = FONT_Get("medium");
    int x = 0, y = 0, number = 0;
    std::string line;
    for (uint8_t ch : page) {
        if (ch == '\r') continue;
        if (ch != '\n') {
            line += char(ch);
            continue;
        }
        number++;
        char word[16] = "";
        int a = 0, b = 0;
        const int n = sscanf(line.c_str(), "%15s %d %d", word, &a, &b);
        const std::string cmd = n >= 1 ? word : "";
        if (cmd == "TEXT_POS" && n == 3) {
            x = a;
            y = b;
        } else if (cmd == "TEXT_RIGHT" && n >= 2) {
            x += a;
        } else if (cmd == "TEXT_DOWN" && n >= 2) {
            y += a;
        } else if (cmd != "TEXT_COLOR" && cmd != "TEXT_IMAGE") {
            if (x + FONT_Width(f, line) > kHelpPageW)
                GEN_Fail("help page %s, line %d: '%s' is wider than the page", label, number,
                         line.c_str());
            if (y + f.height > kHelpPageH)
                GEN_Fail("help page %s, line %d: '%s' runs past the bottom of the page", label,
                         number, line.c_str());
            y += f.height + 3;
        }
        line.clear();
    }
}

} // namespace

Bytes SCREEN_HelpPage(int page)
{
    std::string text = GEN_ReadText(std::string("help/") + ITM_HELP_PAGES[page] + ".txt");
    // Lines end in CR LF; comment lines of the source (';') are left out.
    Bytes out;
    std::string line;
    auto flush = [&]() {
        if (line.rfind(";", 0) == 0) {
            line.clear();
            return;
        }
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\r');
        out.push_back('\n');
        line.clear();
    };
    for (char ch : text) {
        if (ch == '\n')
            flush();
        else if (ch != '\r')
            line += ch;
    }
    if (!line.empty()) flush();
    if (out.empty()) GEN_Fail("help page %s is empty", ITM_HELP_PAGES[page]);
    HelpPageFits(ITM_HELP_PAGES[page], out);
    return out;
}
