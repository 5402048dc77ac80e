// glbtool: lists, extracts, packs and verifies the game's resource archives.
//
// Archives are read whole into memory and checked with the same routines the game uses
// when it opens them, so `verify` and the game agree on what a damaged archive is.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "res/glbapi.h"
#include "res/glbwrite.h"
#include "glbtool_manual.h"

namespace fs = std::filesystem;

namespace
{

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

constexpr char kListName[] = "items.lst";


struct Archive {
    std::string path;
    uint64_t size = 0;
    std::vector<uint8_t> bytes;
    int32_t stored_count = 0;
    uint32_t header_faults = 0;
    std::vector<ITEMDESC> items;
    std::vector<uint32_t> faults;
};

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

bool LoadArchive(const std::string& path, Archive& a)
{
    a.path = path;
    if (!ReadWholeFile(path, a.bytes)) {
        fprintf(stderr, "glbtool: cannot read %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    a.size = a.bytes.size();
    int32_t usable = GLB_CheckHeader(a.bytes.data(), a.size, &a.stored_count, &a.header_faults);
    a.items.resize(static_cast<size_t>(usable));
    a.faults.resize(static_cast<size_t>(usable));
    for (int32_t i = 0; i < usable; i++) {
        const uint8_t* raw = a.bytes.data() + GLB_HEADER_SIZE + size_t(i) * GLB_ENTRY_SIZE;
        a.faults[size_t(i)] = GLB_CheckEntry(raw, a.size, &a.items[size_t(i)]);
    }
    return true;
}

std::vector<uint8_t> ItemData(const Archive& a, const ITEMDESC& it)
{
    std::vector<uint8_t> data(a.bytes.begin() + it.offset, a.bytes.begin() + it.offset + it.length);
    if (it.flags & GLB_FLAG_ENCODED)
        GLB_DeCrypt(GLB_ARCHIVE_KEY, data.data(), static_cast<int>(data.size()));
    return data;
}

// The raw numbers of a directory entry, for messages about entries found damaged.
struct RawEntry {
    uint32_t flags, offset, length;
};

RawEntry DecodeRaw(const Archive& a, int32_t index)
{
    uint8_t e[GLB_ENTRY_SIZE];
    memcpy(e, a.bytes.data() + GLB_HEADER_SIZE + size_t(index) * GLB_ENTRY_SIZE, sizeof e);
    GLB_DeCrypt(GLB_ARCHIVE_KEY, e, GLB_ENTRY_SIZE);
    auto get = [&](int at) {
        return uint32_t(e[at]) | uint32_t(e[at + 1]) << 8 | uint32_t(e[at + 2]) << 16 |
               uint32_t(e[at + 3]) << 24;
    };
    return {get(0), get(4), get(8)};
}

// A word as the list file writes it: bare when that reads back the same, else quoted.
std::string QuoteWord(const std::string& w)
{
    bool bare = !w.empty() && w[0] != '#';
    for (unsigned char c : w)
        if (c <= ' ' || c >= 0x7F || c == '"' || c == '\\') bare = false;
    if (bare) return w;
    std::string out = "\"";
    for (unsigned char c : w) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < ' ' || c >= 0x7F) {
            char hex[5];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Label(const ITEMDESC& it)
{
    return std::string(it.name, strnlen(it.name, GLB_LABEL_LEN));
}

std::string FaultList(uint32_t faults)
{
    std::string out;
    for (uint32_t bit = 1; bit != 0; bit <<= 1) {
        if (!(faults & bit)) continue;
        if (!out.empty()) out += "; ";
        out += GLB_FaultText(bit);
    }
    return out;
}

// The archive slot implied by a name like FILE0003.GLB: the last run of digits.
int SlotFromName(const std::string& path)
{
    std::string name = fs::path(path).filename().string();
    size_t end = name.find_last_of("0123456789");
    if (end == std::string::npos) return 0;
    size_t begin = end;
    while (begin > 0 && isdigit(static_cast<unsigned char>(name[begin - 1])))
        begin--;
    return std::stoi(name.substr(begin, end - begin + 1)) & 0xFFFF;
}

int CmdList(const std::vector<std::string>& args)
{
    if (args.empty() || (args.size() != 1 && args.size() != 3) ||
        (args.size() == 3 && args[1] != "--slot")) {
        fprintf(stderr, "glbtool: usage: glbtool list FILE [--slot N]\n");
        return kExitUsage;
    }
    int slot = SlotFromName(args[0]);
    if (args.size() == 3) {
        char* end = nullptr;
        long v = strtol(args[2].c_str(), &end, 0);
        if (end == args[2].c_str() || *end != '\0' || v < 0 || v > 0x7FFF) {
            fprintf(stderr, "glbtool: bad slot number %s\n", args[2].c_str());
            return kExitUsage;
        }
        slot = static_cast<int>(v);
    }
    Archive a;
    if (!LoadArchive(args[0], a)) return kExitUsage;

    printf("%s: %zu items\n", a.path.c_str(), a.items.size());
    if (a.header_faults) printf("  damaged: %s\n", FaultList(a.header_faults).c_str());
    printf("%6s  %-8s  %10s  %-9s  %s\n", "index", "id", "length", "scrambled", "label");
    for (size_t i = 0; i < a.items.size(); i++) {
        const ITEMDESC& it = a.items[i];
        unsigned id = static_cast<unsigned>(slot) << 16 | static_cast<unsigned>(i);
        printf("%6zu  0x%06X  %10u  %-9s  %s", i, id, it.length,
               (it.flags & GLB_FLAG_ENCODED) ? "yes" : "no", QuoteWord(Label(it)).c_str());
        if (a.faults[i]) printf("  (damaged: %s)", FaultList(a.faults[i]).c_str());
        printf("\n");
    }
    return kExitOk;
}

std::string ItemFileName(size_t index, const std::string& label)
{
    std::string name = std::to_string(index);
    name.insert(0, name.size() < 5 ? 5 - name.size() : 0, '0');
    if (!label.empty()) {
        name += '_';
        for (unsigned char c : label)
            name += (isalnum(c) || c == '-' || c == '.' || c == '_') ? char(c) : '_';
    }
    return name + ".bin";
}

bool WriteWholeFile(const fs::path& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        fprintf(stderr, "glbtool: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int CmdExtract(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        fprintf(stderr, "glbtool: usage: glbtool extract FILE DIR\n");
        return kExitUsage;
    }
    Archive a;
    if (!LoadArchive(args[0], a)) return kExitUsage;
    fs::path dir = args[1];
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        fprintf(stderr, "glbtool: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
        return kExitUsage;
    }

    bool damaged = a.header_faults != 0;
    std::string list = "# Items of " + fs::path(a.path).filename().string() +
                       ", in directory order. Build the archive again with\n"
                       "#   glbtool pack ARCHIVE " +
                       kListName + "\n";
    for (size_t i = 0; i < a.items.size(); i++) {
        const ITEMDESC& it = a.items[i];
        std::string label = QuoteWord(Label(it));
        if (a.faults[i]) {
            damaged = true;
            fprintf(stderr, "glbtool: %s: entry %zu is damaged (%s); kept as a label only\n",
                    a.path.c_str(), i, FaultList(a.faults[i]).c_str());
        }
        if (it.length == 0) {
            list += "label      " + label + "\n";
            continue;
        }
        std::string file = ItemFileName(i, Label(it));
        std::vector<uint8_t> data = ItemData(a, it);
        if (!WriteWholeFile(dir / file, data.data(), data.size())) return kExitUsage;
        list += std::string((it.flags & GLB_FLAG_ENCODED) ? "scrambled  " : "plain      ") + label +
                " " + QuoteWord(file) + "\n";
    }
    if (!WriteWholeFile(dir / kListName, list.data(), list.size())) return kExitUsage;
    printf("%s: %zu items extracted to %s\n", a.path.c_str(), a.items.size(), dir.c_str());
    return damaged ? kExitProblems : kExitOk;
}

// Splits a list-file line into words; false with a reason on a malformed quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& why)
{
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isspace(static_cast<unsigned char>(line[i])))
            i++;
        if (i >= line.size()) break;
        std::string w;
        if (line[i] != '"') {
            while (i < line.size() && !isspace(static_cast<unsigned char>(line[i])))
                w += line[i++];
            words.push_back(w);
            continue;
        }
        i++;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                w += c;
                continue;
            }
            if (i >= line.size()) break;
            char e = line[i++];
            if (e == '"' || e == '\\') {
                w += e;
            } else if (e == 'x' && i + 2 <= line.size() &&
                       isxdigit(static_cast<unsigned char>(line[i])) &&
                       isxdigit(static_cast<unsigned char>(line[i + 1]))) {
                w += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
                i += 2;
            } else {
                why = std::string("unknown escape \\") + e;
                return false;
            }
        }
        if (!closed) {
            why = "quote not closed";
            return false;
        }
        if (i < line.size() && !isspace(static_cast<unsigned char>(line[i]))) {
            why = "text right after a closing quote";
            return false;
        }
        words.push_back(w);
    }
    return true;
}

int CmdPack(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        fprintf(stderr, "glbtool: usage: glbtool pack OUT LISTFILE\n");
        return kExitUsage;
    }
    const std::string& listfile = args[1];
    std::ifstream in(listfile);
    if (!in) {
        fprintf(stderr, "glbtool: cannot read %s\n", listfile.c_str());
        return kExitUsage;
    }
    fs::path base = fs::path(listfile).parent_path();

    std::vector<GLB_WRITEITEM> items;
    std::string line;
    int lineno = 0;
    bool bad = false;
    auto complain = [&](const std::string& msg) {
        fprintf(stderr, "%s:%d: %s\n", listfile.c_str(), lineno, msg.c_str());
        bad = true;
    };
    while (std::getline(in, line)) {
        lineno++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> w;
        std::string why;
        if (!SplitWords(line, w, why)) {
            complain(why);
            continue;
        }
        if (w.empty() || w[0][0] == '#') continue;

        GLB_WRITEITEM item;
        const std::string& kind = w[0];
        if (kind == "label") {
            if (w.size() != 2) {
                complain("expected: label LABEL");
                continue;
            }
        } else if (kind == "plain" || kind == "scrambled") {
            if (w.size() != 3) {
                complain("expected: " + kind + " LABEL FILE");
                continue;
            }
            fs::path file = w[2];
            if (file.is_relative()) file = base / file;
            if (!ReadWholeFile(file.string(), item.data)) {
                complain("cannot read " + file.string());
                continue;
            }
            item.encoded = kind == "scrambled";
        } else {
            complain("unknown entry kind '" + kind + "' (plain, scrambled or label)");
            continue;
        }
        item.label = w[1];
        if (item.label.size() >= GLB_LABEL_LEN || item.label.find('\0') != std::string::npos)
            complain("label longer than 15 characters or holding a NUL");
        items.push_back(std::move(item));
    }
    if (bad) return kExitUsage;

    std::string err;
    if (!GLB_WriteArchive(args[0].c_str(), items, &err)) {
        fprintf(stderr, "glbtool: %s\n", err.c_str());
        return kExitUsage;
    }
    printf("%s: %zu items packed\n", args[0].c_str(), items.size());
    return kExitOk;
}

int VerifyOne(const std::string& path)
{
    Archive a;
    if (!LoadArchive(path, a)) return kExitUsage;
    int problems = 0;
    auto report = [&](const std::string& msg) {
        printf("%s: %s\n", path.c_str(), msg.c_str());
        problems++;
    };
    auto note = [&](const std::string& msg) {
        printf("%s: note: %s\n", path.c_str(), msg.c_str());
    };

    if (a.header_faults & GLB_FAULT_SHORT)
        report("file is " + std::to_string(a.size) + " bytes, shorter than the " +
               std::to_string(GLB_HEADER_SIZE) + "-byte header");
    if (a.header_faults & GLB_FAULT_COUNT_NEG)
        report("directory count is negative (" + std::to_string(a.stored_count) + ")");
    if (a.header_faults & GLB_FAULT_COUNT_CUT)
        report("directory of " + std::to_string(a.stored_count) +
               " entries runs past the end of the file; only " + std::to_string(a.items.size()) +
               " fit");
    if (a.header_faults & GLB_FAULT_COUNT_IDS)
        report("directory has more than " + std::to_string(GLB_MAX_ITEMS) +
               " entries; the rest cannot be reached by id");
    if (!(a.header_faults & GLB_FAULT_SHORT) && a.stored_count == 0)
        note("directory is empty; the game treats the archive as absent");

    std::map<std::string, size_t> first_with_label;
    for (size_t i = 0; i < a.items.size(); i++) {
        const ITEMDESC& it = a.items[i];
        std::string where = "entry " + std::to_string(i);
        if (a.faults[i] & GLB_FAULT_DATA_RANGE) {
            RawEntry raw = DecodeRaw(a, static_cast<int32_t>(i));
            report(where + ": item data does not lie inside the file (offset " +
                   std::to_string(raw.offset) + ", length " + std::to_string(raw.length) +
                   ", file " + std::to_string(a.size) + " bytes)");
        }
        if (a.faults[i] & GLB_FAULT_LABEL_TERM)
            report(where + ": label is not terminated within 16 bytes");
        std::string label = Label(it);
        if (label.empty()) continue;
        if (label[0] == ' ')
            note(where + ": label " + QuoteWord(label) +
                 " begins with a blank and cannot be found");
        auto [at, fresh] = first_with_label.emplace(label, i);
        if (!fresh)
            note(where + ": label " + QuoteWord(label) + " repeats entry " +
                 std::to_string(at->second) + ", which is the one found");
    }
    if (problems == 0) printf("%s: ok, %zu entries\n", path.c_str(), a.items.size());
    return problems ? kExitProblems : kExitOk;
}

int CmdVerify(const std::vector<std::string>& args)
{
    if (args.empty()) {
        fprintf(stderr, "glbtool: usage: glbtool verify FILE...\n");
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& path : args) {
        int s = VerifyOne(path);
        if (s > status) status = s;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        MAN_PrintHelp(glbtool_manual, stderr);
        return kExitUsage;
    }
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        MAN_PrintHelp(glbtool_manual, stdout);
        return kExitOk;
    }
    if (cmd == "list") return CmdList(args);
    if (cmd == "extract") return CmdExtract(args);
    if (cmd == "pack") return CmdPack(args);
    if (cmd == "verify") return CmdVerify(args);
    fprintf(stderr, "glbtool: unknown command '%s'; try glbtool --help\n", cmd.c_str());
    return kExitUsage;
}
