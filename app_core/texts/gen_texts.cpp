// Runs on the build machine: turns the programs' texts, one UTF-8 file per
// language, into the C++ table the programs read, the Chinese texts in the
// code pages Windows shows them in (GBK for Simplified, Big5 for
// Traditional Chinese).
//   gen_texts OUT_DIR ENGLISH.txt SIMPLIFIED.txt TRADITIONAL.txt
// Each file holds "Name = text" lines in the same order; lines that are
// empty or begin with # are skipped. \r, \n and \\ stand for CR, LF and a
// backslash; a text in double quotes loses them (for blanks at its ends).
// Writes texts.h (one LocalizedText kName per line) and texts.cpp. Texts
// named Receipt... are printed, not shown: receipt printers take Chinese
// as GBK, so their Traditional Chinese is GBK as well.
#include <iconv.h>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Text {
    std::string name, value;
    int line;
};

bool Fail(const std::string& why) {
    std::cerr << "gen_texts: " << why << "\n";
    return false;
}

bool Unescape(const std::string& raw, std::string& out) {
    std::string text = raw;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[++i] : '\0';
        if (next == 'r') out += '\r';
        else if (next == 'n') out += '\n';
        else if (next == '\\') out += '\\';
        else return false;
    }
    return true;
}

bool Read(const char* path, std::vector<Text>& texts) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(std::string("cannot read ") + path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t at = line.find(" = ");
        Text text{line.substr(0, at), "", number};
        if (at == std::string::npos || text.name.empty() || !Unescape(line.substr(at + 3), text.value))
            return Fail(std::string(path) + ":" + std::to_string(number) + ": not a \"Name = text\" line");
        texts.push_back(text);
    }
    return true;
}

// UTF-8 to `codePage`; false when a character has no place in it.
bool Convert(const std::string& utf8, const char* codePage, std::string& out) {
    iconv_t cd = iconv_open(codePage, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return Fail(std::string("no conversion to ") + codePage);
    std::string buffer(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* outp = &buffer[0];
    size_t inLeft = utf8.size(), outLeft = buffer.size();
    const bool ok = iconv(cd, &in, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.assign(buffer.data(), buffer.size() - outLeft);
    return ok;
}

// A C string literal: printable ASCII as it is, every other byte, and the
// characters that would end or change the literal, as three octal digits.
std::string Literal(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += static_cast<char>(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\%03o", c);
            out += escaped;
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: gen_texts OUT_DIR ENGLISH SIMPLIFIED TRADITIONAL\n";
        return 2;
    }
    const char* const codePages[3] = {"ASCII", "CP936", "CP950"};
    std::vector<Text> languages[3];
    for (int i = 0; i < 3; ++i)
        if (!Read(argv[2 + i], languages[i])) return 1;
    for (int i = 1; i < 3; ++i) {
        if (languages[i].size() != languages[0].size())
            return Fail(std::string(argv[2 + i]) + ": not the texts of " + argv[2]), 1;
        for (size_t t = 0; t < languages[0].size(); ++t)
            if (languages[i][t].name != languages[0][t].name)
                return Fail(std::string(argv[2 + i]) + ":" + std::to_string(languages[i][t].line) + ": " +
                            languages[i][t].name + " where " + argv[2] + " has " + languages[0][t].name),
                       1;
    }
    const std::string out = argv[1];
    std::ofstream header(out + "/texts.h.tmp", std::ios::binary), source(out + "/texts.cpp.tmp", std::ios::binary);
    header << "// Made by gen_texts from the programs' text files.\n#pragma once\n"
              "#include \"app_core/text_language.h\"\n\n";
    source << "// Made by gen_texts from the programs' text files.\n#include \"texts.h\"\n\n";
    for (size_t t = 0; t < languages[0].size(); ++t) {
        std::string bytes[3];
        const bool printed = languages[0][t].name.compare(0, 7, "Receipt") == 0;
        for (int i = 0; i < 3; ++i)
            if (!Convert(languages[i][t].value, printed && i == 2 ? codePages[1] : codePages[i], bytes[i]))
                return Fail(std::string(argv[2 + i]) + ":" + std::to_string(languages[i][t].line) + ": " +
                            languages[i][t].name + " has a character that " + codePages[i] + " lacks"),
                       1;
        const std::string& name = languages[0][t].name;
        header << "extern const LocalizedText k" << name << ";\n";
        source << "const LocalizedText k" << name << " = {\n    " << Literal(bytes[0]) << ",\n    "
               << Literal(bytes[1]) << ",\n    " << Literal(bytes[2]) << ",\n};\n";
    }
    header.close();
    source.close();
    if (!header || !source || std::rename((out + "/texts.h.tmp").c_str(), (out + "/texts.h").c_str()) ||
        std::rename((out + "/texts.cpp.tmp").c_str(), (out + "/texts.cpp").c_str()))
        return Fail("cannot write into " + out), 1;
    return 0;
}
