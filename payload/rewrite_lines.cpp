#include "rewrite_lines.h"
#include "new_file.h"
#include <windows.h>
#include <cstring>
#include <string>

namespace {

class LineReader {
public:
    explicit LineReader(HANDLE file) : file_(file) {}

    // Reads up to the next line break (LF or CR LF, not included); false at
    // the end of the file or on a read error.
    bool ReadLine(std::string& line) {
        line.clear();
        int c = Next();
        if (c < 0) return false;
        while (c >= 0 && c != '\n') {
            if (c == '\r' && Peek() == '\n') {
                Next();
                break;
            }
            line += static_cast<char>(c);
            c = Next();
        }
        return true;
    }

private:
    int Peek() {
        if (pos_ == length_ && !Fill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    int Next() {
        int c = Peek();
        if (c >= 0) ++pos_;
        return c;
    }
    bool Fill() {
        pos_ = length_ = 0;
        return ReadFile(file_, buffer_, sizeof buffer_, &length_, nullptr) && length_ > 0;
    }

    HANDLE file_;
    char buffer_[4096];
    DWORD length_ = 0;
    DWORD pos_ = 0;
};

const LineRule* FirstMatchingRule(const std::string& line, const LineRule* rules, int count) {
    for (int i = 0; i < count; ++i)
        if (rules[i].key[0] && strstr(line.c_str(), rules[i].key)) return &rules[i];
    return nullptr;
}

}  // namespace

void RewriteLines(const char* source, const char* destination, const LineRule* rules, int ruleCount) {
    NewFile out(destination);
    HANDLE in = CreateFileA(source, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in != INVALID_HANDLE_VALUE) {
        struct CloseAtEnd {
            HANDLE handle;
            ~CloseAtEnd() { CloseHandle(handle); }
        } closeIn{in};
        LineReader reader(in);
        std::string line;
        std::string output;
        while (reader.ReadLine(line)) {
            const LineRule* rule = line.size() <= static_cast<size_t>(kLineLength)
                                       ? FirstMatchingRule(line, rules, ruleCount)
                                       : nullptr;
            output = rule ? rule->replacement : line;
            output += '\n';
            out.Write(output.data(), static_cast<DWORD>(output.size()));
        }
    }
    out.Close();
}
