// The preference file: its parser, the line editor behind every write, the typed
// accessors, and the game's own front end (INI_) that remembers one file.
#include "game/prefapi.h"

#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "game/i_system.h"
#include "game/m_misc.h"

// The file the game's INI_ functions work on.
static char ProfilePath[kIniPathMax];

// Lines are taken in pieces of at most this many characters (a CR LF pair counts as
// one); the rest of a longer line is read as a line of its own.
static constexpr size_t kPieceMax = 127;

// A preference file is a few hundred bytes; anything past this is not one, and is
// neither read nor rewritten.
static constexpr size_t kFileMax = 1 << 20;

// Buffer sizes the typed readers read into (the terminator included), which limit how
// much of a value they look at.
static constexpr int kLongText = 20;
static constexpr int kHexText = 32;
static constexpr int kBoolText = 10;

// ---------------------------------------------------------------------------------------
// Lines

struct INI_LINE {
    size_t start;          // offset of the piece's first byte
    size_t body;           // offset of its text (past a byte-order mark on the first line)
    size_t end;            // offset just past it, line end included
    std::string_view text; // the piece up to its line end, cut at a NUL byte
};

// Editors that save in UTF-8 may put a byte-order mark before the first line; it is not
// part of that line, which is usually the first header.
static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The piece that starts at `pos` (which must be inside the file).
static INI_LINE INI_Piece(std::string_view file, size_t pos)
{
    size_t body = pos == 0 && file.starts_with(kByteOrderMark) ? kByteOrderMark.size() : pos;
    size_t i = body;
    size_t count = 0;
    size_t textend = std::string_view::npos;
    while (i < file.size() && count < kPieceMax) {
        if (file[i] == '\n' || (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n')) {
            textend = i;
            i += file[i] == '\r' ? 2 : 1;
            break;
        }
        i++;
        count++;
    }
    if (textend == std::string_view::npos) textend = i;
    std::string_view text = file.substr(body, textend - body);
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    return {pos, body, i, text};
}

// Blank lines start with a line end; the editor steps over them.
static bool INI_IsBlank(std::string_view file, const INI_LINE& line)
{
    if (line.body == line.end) return false;
    char c = file[line.body];
    return c == '\r' || c == '\n';
}

// A header starts with '[' and names the text up to the first ']'. A '[' line without
// one is no header.
static bool INI_Header(const INI_LINE& line, std::string_view* name)
{
    if (line.text.empty() || line.text[0] != '[') return false;
    size_t close = line.text.find(']');
    if (close == std::string_view::npos) return false;
    *name = line.text.substr(1, close - 1);
    return true;
}

// The key is the first run of characters other than '=', CR and LF, so leading '='
// signs are skipped and blanks belong to it. The value is whatever follows the '=' that
// ends the key, up to the line end; a key without '=' has an empty value.
static void INI_KeyValue(std::string_view text, std::string_view* key, std::string_view* value)
{
    size_t k = 0;
    while (k < text.size() && text[k] == '=')
        k++;
    size_t e = k;
    while (e < text.size() && text[e] != '=' && text[e] != '\r' && text[e] != '\n')
        e++;
    *key = text.substr(k, e - k);
    *value = {};
    if (e < text.size() && text[e] == '=') {
        std::string_view rest = text.substr(e + 1);
        *value = rest.substr(0, rest.find_first_of("\r\n"));
    }
}

// ---------------------------------------------------------------------------------------
// Files

enum INI_LOAD { INI_LOADED, INI_MISSING, INI_UNUSABLE };

static INI_LOAD INI_Load(const char* path, std::string* out)
{
    out->clear();
    if (!path || !path[0]) return INI_UNUSABLE;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? INI_MISSING : INI_UNUSABLE;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > kFileMax) {
        close(fd);
        return INI_UNUSABLE;
    }
    // Read to the end rather than trusting the size: the file may change under us.
    char block[4096];
    for (;;) {
        ssize_t n = read(fd, block, sizeof(block));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || out->size() + static_cast<size_t>(n) > kFileMax) {
            close(fd);
            out->clear();
            return INI_UNUSABLE;
        }
        if (n == 0) break;
        out->append(block, static_cast<size_t>(n));
    }
    close(fd);
    return INI_LOADED;
}

// Replaces the file with `text` without ever leaving it half written (see I_ReplaceFile).
static bool INI_Replace(const char* path, std::string_view text)
{
    return I_ReplaceFile(path, text.data(), text.size());
}

// ---------------------------------------------------------------------------------------
// Reading

// Finds the key's value in the first section of the wanted name. A key present without
// a value gives an empty value, which is a value and not a reason to use the default.
static bool INI_Find(std::string_view file, std::string_view section, std::string_view key,
                     std::string_view* value)
{
    bool inside = false;
    for (size_t pos = 0; pos < file.size();) {
        INI_LINE line = INI_Piece(file, pos);
        pos = line.end;
        std::string_view name;
        if (INI_Header(line, &name)) {
            if (inside) return false; // only the first section of a name counts
            inside = name == section;
            continue;
        }
        if (!inside || (!line.text.empty() && line.text[0] == '[')) continue;
        std::string_view k, v;
        INI_KeyValue(line.text, &k, &v);
        if (!k.empty() && k == key) {
            *value = v;
            return true;
        }
    }
    return false;
}

char* INI_FileGet(const char* path, const char* section, const char* key, char* buf, int len,
                  const char* def)
{
    if (!buf || len <= 0) return nullptr;
    buf[0] = '\0';
    if (!section || !key) return nullptr;

    std::string file;
    std::string_view value;
    if (INI_Load(path, &file) == INI_LOADED && INI_Find(file, section, key, &value)) {
        buf[value.copy(buf, static_cast<size_t>(len - 1))] = '\0';
    } else if (def) {
        M_StringCopy(buf, def, static_cast<size_t>(len));
    }
    return buf;
}

// Decimal text as the C library's atol reads it (blanks, a sign, digits, anything after
// ignored), but a number too large for an int stops at the int's limit instead of
// overflowing.
static int INI_ParseLong(const char* text)
{
    long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// Hexadecimal text as "%x" reads it: blanks, a sign, an optional 0x, hex digits. Text
// that is no number reads as 0; a number beyond 32 bits stops at 0xffffffff.
static int INI_ParseHex(const char* text)
{
    const char* s = text;
    while (isspace(static_cast<unsigned char>(*s)))
        s++;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') s++;
    if (!isxdigit(static_cast<unsigned char>(*s))) return 0;
    unsigned long long m = strtoull(s, nullptr, 16);
    uint32_t v = m > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(m);
    if (negative) v = 0u - v;
    return static_cast<int>(v);
}

int INI_FileGetLong(const char* path, const char* section, const char* key, int defvalue)
{
    if (!section || !key) return 0;
    char def[kLongText], text[kLongText];
    M_snprintf(def, sizeof(def), "%d", defvalue);
    INI_FileGet(path, section, key, text, sizeof(text), def);
    return INI_ParseLong(text);
}

int INI_FileGetHex(const char* path, const char* section, const char* key, int defvalue)
{
    if (!section || !key) return 0;
    std::string file;
    std::string_view value;
    if (INI_Load(path, &file) != INI_LOADED || !INI_Find(file, section, key, &value))
        return defvalue;
    std::string text(value.substr(0, kHexText - 1));
    return INI_ParseHex(text.c_str());
}

int INI_FileGetBool(const char* path, const char* section, const char* key, short defvalue)
{
    if (!section || !key) return 0;
    char text[kBoolText];
    INI_FileGet(path, section, key, text, sizeof(text), defvalue ? "TRUE" : "FALSE");
    if (text[0] == '1' || strcmp(text, "TRUE") == 0) return 1;
    if (text[0] == '0' || strcmp(text, "FALSE") == 0) return 0;
    return INI_ParseLong(text);
}

// ---------------------------------------------------------------------------------------
// Writing

// Names and values that would not read back as written are refused: a line end or a ']'
// in a section name, a '=' or line end in a key, a key that would look like a header, a
// line end in a value, and lines longer than a piece (their rest would be read as a line
// of its own, which could even pass for a header).
static bool INI_Writable(const char* section, const char* key, const char* value)
{
    if (!section || !section[0] || !key || !key[0]) return false;
    size_t slen = strlen(section), klen = strlen(key), vlen = value ? strlen(value) : 0;
    if (strpbrk(section, "]\r\n") || slen + 2 > kPieceMax) return false;
    if (strpbrk(key, "=\r\n") || key[0] == '[') return false;
    if (value && strpbrk(value, "\r\n")) return false;
    return klen + 1 + vlen <= kPieceMax;
}

// Puts `text` in place of the bytes [from, to). Text spliced in after a piece that has
// no line end of its own (the last line of a file without a final line end, or the
// first part of an overlong line) first gets one, so it never runs into that line.
static void INI_Splice(std::string* file, size_t from, size_t to, const std::string& text)
{
    std::string put = text;
    if (from > 0 && (*file)[from - 1] != '\n') put.insert(0, "\r\n");
    file->replace(from, to - from, put);
}

// Edits the file's text as the line editor does: the key line replaces the old one of
// the same key together with the blank lines just before it, or goes in after the
// section's last key line, or a new section is appended at the end. A null `value`
// deletes the key. Returns false when the text is left as it was.
static bool INI_Edit(std::string* file, std::string_view section, std::string_view key,
                     const char* value)
{
    std::string keyline;
    if (value) {
        keyline.append(key).append("=").append(value).append("\r\n");
    }

    size_t pos = 0;
    bool found = false;
    while (pos < file->size() && !found) {
        INI_LINE line = INI_Piece(*file, pos);
        pos = line.end;
        std::string_view name;
        found = !INI_IsBlank(*file, line) && INI_Header(line, &name) && name == section;
    }
    if (!found) {
        file->append("\r\n[").append(section).append("]\r\n").append(keyline);
        return true;
    }

    // End of the last line with another key; new lines go there.
    size_t mark = pos;
    while (pos < file->size()) {
        INI_LINE line = INI_Piece(*file, pos);
        std::string_view name;
        if (INI_IsBlank(*file, line)) {
            pos = line.end;
            continue;
        }
        if (INI_Header(line, &name)) {
            if (!value) return false;
            INI_Splice(file, mark, mark, keyline);
            return true;
        }
        std::string_view k, v;
        INI_KeyValue(line.text, &k, &v);
        if (k == key) {
            // The stored value counts only up to a further '='.
            if (value && v.substr(0, v.find('=')) == value) return false;
            INI_Splice(file, mark, line.end, keyline);
            return true;
        }
        pos = mark = line.end;
    }
    // The section runs to the end of the file: blank lines after its last key line give
    // way to the new one.
    if (!value) return false;
    INI_Splice(file, mark, file->size(), keyline);
    return true;
}

int INI_FilePut(const char* path, const char* section, const char* key, const char* value)
{
    if (value && !value[0]) value = nullptr;
    if (!INI_Writable(section, key, value)) return 0;

    std::string file;
    if (INI_Load(path, &file) == INI_UNUSABLE) return 0;
    // An unchanged file is not rewritten at all.
    if (!INI_Edit(&file, section, key, value)) return 1;
    return INI_Replace(path, file) ? 1 : 0;
}

int INI_FilePutLong(const char* path, const char* section, const char* key, int value)
{
    if (value == -1) return INI_FileDelete(path, section, key);
    char text[kLongText];
    M_snprintf(text, sizeof(text), "%d", value);
    return INI_FilePut(path, section, key, text);
}

int INI_FilePutHex(const char* path, const char* section, const char* key, int value)
{
    if (value == -1) return INI_FileDelete(path, section, key);
    char text[kHexText];
    M_snprintf(text, sizeof(text), "%x", static_cast<unsigned>(value));
    return INI_FilePut(path, section, key, text);
}

int INI_FilePutBool(const char* path, const char* section, const char* key, short value)
{
    return INI_FilePut(path, section, key, value ? "TRUE" : "FALSE");
}

int INI_FileDelete(const char* path, const char* section, const char* key)
{
    return INI_FilePut(path, section, key, nullptr);
}

int INI_FileInit(std::span<char> store, const char* path)
{
    if (store.empty()) return 0;
    if (path && !M_StringCopy(store.data(), path, store.size())) store[0] = '\0';
    return store[0] && access(store.data(), R_OK) == 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------------------
// The game's front end

int INI_InitPreference(const char* profile)
{
    return INI_FileInit(ProfilePath, profile);
}

int INI_GetPreferenceLong(const char* section, const char* key, int defvalue)
{
    return INI_FileGetLong(ProfilePath, section, key, defvalue);
}

int INI_GetPreferenceHex(const char* section, const char* key, int defvalue)
{
    return INI_FileGetHex(ProfilePath, section, key, defvalue);
}

int INI_GetPreferenceBool(const char* section, const char* key, short defvalue)
{
    return INI_FileGetBool(ProfilePath, section, key, defvalue);
}

char* INI_GetPreference(const char* section, const char* key, char* buf, int len, const char* def)
{
    return INI_FileGet(ProfilePath, section, key, buf, len, def);
}

int INI_PutPreferenceLong(const char* section, const char* key, int value)
{
    return INI_FilePutLong(ProfilePath, section, key, value);
}

int INI_PutPreferenceHex(const char* section, const char* key, int value)
{
    return INI_FilePutHex(ProfilePath, section, key, value);
}

int INI_PutPreferenceBool(const char* section, const char* key, short value)
{
    return INI_FilePutBool(ProfilePath, section, key, value);
}

int INI_PutPreference(const char* section, const char* key, const char* value)
{
    if (!value) return 0;
    return INI_FilePut(ProfilePath, section, key, value);
}

int INI_DeletePreference(const char* section, const char* key)
{
    return INI_FileDelete(ProfilePath, section, key);
}

// ---------------------------------------------------------------------------------------
// Defaults

struct INI_DEFAULT {
    const char* section;
    const char* key;
    int value;
    const char* text; // the one string-valued key
};

static constexpr INI_DEFAULT defaults[] = {
    {"Setup", "Detail", 1, nullptr},
    {"Setup", "Control", 0, nullptr},         // 0 keyboard, 1 mouse, 2 game controller
    {"Setup", "Haptic", 1, nullptr},          // controller rumble
    {"Setup", "joy_ipt_MenuNew", 0, nullptr}, // controller moves the menu focus like the keys
    {"Setup", "sys_midi", 1, nullptr},        // music through the system MIDI output
    {"Setup", "winmm_mpu_device", 0, nullptr},
    {"Setup", "core_dls_synth", 1, nullptr},
    {"Setup", "core_midi_port", 0, nullptr},
    {"Setup", "alsa_output_client", 128, nullptr}, // sequencer client:port for that output
    {"Setup", "alsa_output_port", 0, nullptr},
    {"Setup", "SoundFont", 0, "SoundFont.sf2"}, // instruments of the software synthesiser
    {"Setup", "setup_menu", 1, nullptr},        // show the setup start screen
    {"Music", "Volume", 85, nullptr},           // 0..127
    {"Music", "CardType", 8, nullptr},
    {"Music", "MidiPort", 330, nullptr}, // ports, IRQ and DMA: kept for the setup tool
    {"SoundFX", "Volume", 85, nullptr},
    {"SoundFX", "CardType", 5, nullptr},
    {"SoundFX", "BasePort", 220, nullptr},
    {"SoundFX", "Irq", 7, nullptr},
    {"SoundFX", "Dma", 1, nullptr},
    {"SoundFX", "Channels", 4, nullptr}, // effects mixed at once
    {"Keyboard", "MoveUp", 72, nullptr}, // scan codes: arrows, Ctrl, Alt, Space, right Shift
    {"Keyboard", "MoveDn", 80, nullptr},
    {"Keyboard", "MoveLeft", 75, nullptr},
    {"Keyboard", "MoveRight", 77, nullptr},
    {"Keyboard", "Fire", 29, nullptr},
    {"Keyboard", "FireSp", 56, nullptr},
    {"Keyboard", "ChangeSp", 57, nullptr},
    {"Keyboard", "MegaFire", 54, nullptr},
    {"Mouse", "Fire", 0, nullptr}, // button numbers
    {"Mouse", "FireSp", 1, nullptr},
    {"Mouse", "ChangeSp", 2, nullptr},
    {"JoyStick", "Fire", 0, nullptr},
    {"JoyStick", "FireSp", 1, nullptr},
    {"JoyStick", "ChangeSp", 2, nullptr},
    {"JoyStick", "MegaFire", 3, nullptr},
    {"Video", "fullscreen", 1, nullptr},
    {"Video", "aspect_ratio_correct", 1, nullptr},
    {"Video", "txt_fullscreen", 0, nullptr},
    {"Video", "force_software_renderer", 1, nullptr},
};

// The defaults land in one write, with the bytes that writing them key by key would
// give, so the file is never left with only part of them.
void VUL_WriteDefaultSetup(void)
{
    std::string file;
    if (INI_Load(ProfilePath, &file) == INI_UNUSABLE) return;
    bool changed = false;
    for (const INI_DEFAULT& d : defaults) {
        char text[kLongText];
        M_snprintf(text, sizeof(text), "%d", d.value);
        changed |= INI_Edit(&file, d.section, d.key, d.text ? d.text : text);
    }
    if (changed) INI_Replace(ProfilePath, file);
}
