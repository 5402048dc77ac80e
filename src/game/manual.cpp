#include "game/manual.h"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace
{

constexpr size_t kWidth = 79;
constexpr size_t kTermColumn = 24;

// The text with every {PLACEHOLDER} shown as PLACEHOLDER.
std::string Plain(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != '{' && c != '}') out += c;
    return out;
}

std::vector<std::string_view> Paragraphs(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        size_t cut = text.find("\n\n");
        out.push_back(text.substr(0, cut));
        if (cut == std::string_view::npos) break;
        text.remove_prefix(cut + 2);
    }
    return out;
}

// Prints one paragraph filled to the width; the first line starts at column first (the
// caller has already printed that much), the others at column indent.
void Fill(FILE* out, const std::string& text, size_t first, size_t indent)
{
    size_t column = first;
    bool line_empty = true;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isspace(static_cast<unsigned char>(text[pos])))
            pos++;
        if (pos >= text.size()) break;
        size_t end = pos;
        while (end < text.size() && !isspace(static_cast<unsigned char>(text[end])))
            end++;
        size_t len = end - pos;
        if (!line_empty && column + 1 + len > kWidth) {
            fprintf(out, "\n%*s", static_cast<int>(indent), "");
            column = indent;
            line_empty = true;
        }
        if (!line_empty) {
            fputc(' ', out);
            column++;
        }
        fwrite(text.data() + pos, 1, len, out);
        column += len;
        line_empty = false;
        pos = end;
    }
    fputc('\n', out);
}

void HelpParagraphs(FILE* out, const char* text, size_t indent)
{
    if (!text) return;
    bool first = true;
    for (std::string_view p : Paragraphs(text)) {
        if (!first) fputc('\n', out);
        first = false;
        fprintf(out, "%*s", static_cast<int>(indent), "");
        Fill(out, Plain(p), indent, indent);
    }
}

// Text for the man macros: backslashes doubled, a leading dot or quote made harmless,
// and a dash that starts a word (an option) printed as a minus sign.
std::string RoffText(std::string_view text)
{
    std::string out;
    bool word_start = true;
    bool italic = false;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && (word_start || out.ends_with("\\-"))) {
            out += "\\-";
        } else if (c == '{') {
            out += "\\fI";
            italic = true;
        } else if (c == '}') {
            out += "\\fR";
            italic = false;
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
        word_start = c == ' ' || c == '\n' || c == '(' || c == '[' || c == '|' || c == '{';
    }
    if (italic) out += "\\fR";
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

// A term or a usage line: literal words in bold, placeholders in italics, the brackets,
// bars, commas and ellipses between them in roman.
std::string RoffTerm(std::string_view term)
{
    std::string out;
    size_t i = 0;
    while (i < term.size()) {
        char c = term[i];
        if (c == '{') {
            size_t end = term.find('}', i);
            if (end == std::string_view::npos) end = term.size();
            out += "\\fI" + RoffText(term.substr(i + 1, end - i - 1)) + "\\fR";
            i = end + 1;
        } else if (c == ' ' || c == '[' || c == ']' || c == '|' || c == ',' ||
                   (c == '.' && term.substr(i).starts_with("..."))) {
            size_t end = i;
            while (end < term.size() && (term[end] == ' ' || term[end] == '[' || term[end] == ']' ||
                                         term[end] == '|' || term[end] == ',' || term[end] == '.'))
                end++;
            out += term.substr(i, end - i);
            i = end;
        } else {
            size_t end = i;
            while (end < term.size() && term[end] != ' ' && term[end] != '{' && term[end] != '[' &&
                   term[end] != ']' && term[end] != '|' && term[end] != ',' &&
                   !term.substr(end).starts_with("..."))
                end++;
            out += "\\fB" + RoffText(term.substr(i, end - i)) + "\\fR";
            i = end;
        }
    }
    return out;
}

// Paragraphs separated by the macro sep: .PP at the margin, .IP under a tagged item.
void RoffParagraphs(FILE* out, const char* text, const char* sep = ".PP")
{
    if (!text) return;
    bool first = true;
    for (std::string_view p : Paragraphs(text)) {
        if (!first) fprintf(out, "%s\n", sep);
        fprintf(out, "%s\n", RoffText(p).c_str());
        first = false;
    }
}

std::string Upper(const char* text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

void MAN_PrintHelp(const MAN_PAGE& page, FILE* out)
{
    const char* lead = "Usage: ";
    for (const char* line : page.usage) {
        fprintf(out, "%s%s %s\n", lead, page.name, Plain(line).c_str());
        lead = "       ";
    }
    fprintf(out, "\n%s - %s\n", page.name, page.summary);
    fputc('\n', out);
    HelpParagraphs(out, page.description, 0);
    for (const MAN_SECTION& s : page.sections) {
        fprintf(out, "\n%s:\n", s.title);
        HelpParagraphs(out, s.text, 2);
        for (const MAN_ITEM& item : s.items) {
            std::string term = Plain(item.term);
            fprintf(out, "  %s", term.c_str());
            size_t column = 2 + term.size();
            if (column + 2 > kTermColumn) {
                fprintf(out, "\n%*s", static_cast<int>(kTermColumn), "");
            } else {
                fprintf(out, "%*s", static_cast<int>(kTermColumn - column), "");
            }
            std::vector<std::string_view> paras = Paragraphs(item.text);
            for (size_t k = 0; k < paras.size(); k++) {
                if (k > 0) fprintf(out, "%*s", static_cast<int>(kTermColumn), "");
                Fill(out, Plain(paras[k]), kTermColumn, kTermColumn);
            }
        }
        if (s.after && !s.items.empty()) fputc('\n', out);
        HelpParagraphs(out, s.after, 2);
    }
}

void MAN_WriteRoff(const MAN_PAGE& page, const char* version, const char* date, FILE* out)
{
    fprintf(out, ".TH %s %d \"%s\" \"Vultar %s\" \"%s\"\n", Upper(page.name).c_str(), page.section,
            date, version, page.section == 6 ? "Games" : "User Commands");
    fprintf(out, ".SH NAME\n%s \\- %s\n", page.name, RoffText(page.summary).c_str());
    fputs(".SH SYNOPSIS\n", out);
    bool first = true;
    for (const char* line : page.usage) {
        if (!first) fputs(".br\n", out);
        fprintf(out, "\\fB%s\\fR %s\n", page.name, RoffTerm(line).c_str());
        first = false;
    }
    fputs(".SH DESCRIPTION\n", out);
    RoffParagraphs(out, page.description);
    for (const MAN_SECTION& s : page.sections) {
        fprintf(out, ".SH %s\n", Upper(s.title).c_str());
        RoffParagraphs(out, s.text);
        for (const MAN_ITEM& item : s.items) {
            fprintf(out, ".TP\n%s\n", RoffTerm(item.term).c_str());
            RoffParagraphs(out, item.text, ".IP");
        }
        if (s.after) {
            fputs(".PP\n", out);
            RoffParagraphs(out, s.after);
        }
    }
}
