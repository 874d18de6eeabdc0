#include "rewrite_lines.h"
#include "new_file.h"
#include <windows.h>
#include <cstring>

namespace {

class LineReader {
public:
    explicit LineReader(HANDLE file) : file_(file) {}

    enum class Piece { End, LineEnd, BufferFull };

    // Reads the next piece of a line into `buffer`, at most `size` bytes:
    // LineEnd when the line ended (its break, LF or CR LF, is read but not
    // stored), BufferFull when it goes on, End when no line starts here.
    // A line in the middle (`continuing`) ends at the end of the file.
    Piece ReadPiece(char* buffer, size_t size, size_t& length, bool continuing) {
        length = 0;
        if (!continuing && Peek() < 0) return Piece::End;
        while (length < size) {
            int c = Next();
            if (c < 0 || c == '\n') return Piece::LineEnd;
            if (c == '\r' && Peek() == '\n') {
                Next();
                return Piece::LineEnd;
            }
            buffer[length++] = static_cast<char>(c);
        }
        return Piece::BufferFull;
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

const LineRule* FirstMatchingRule(const char* line, const LineRule* rules, int count) {
    for (int i = 0; i < count; ++i)
        if (rules[i].key[0] && strstr(line, rules[i].key)) return &rules[i];
    return nullptr;
}

// Copies the lines, each written with one call; a line too long for the
// rules is passed on in pieces.
bool CopyLines(LineReader& reader, NewFile& out, const LineRule* rules, int ruleCount) {
    using Piece = LineReader::Piece;
    // One byte more than a line the rules apply to, then room for its LF
    // (or a NUL).
    char line[kLineLength + 2];
    const size_t kPiece = kLineLength + 1;
    size_t length = 0;
    for (Piece piece; (piece = reader.ReadPiece(line, kPiece, length, false)) != Piece::End;) {
        const LineRule* rule = nullptr;
        if (piece == Piece::LineEnd && length <= static_cast<size_t>(kLineLength)) {
            line[length] = '\0';
            rule = FirstMatchingRule(line, rules, ruleCount);
        }
        if (rule) {
            length = strlen(rule->replacement);   // below kRuleText, so it fits
            memcpy(line, rule->replacement, length);
        }
        while (piece == Piece::BufferFull) {
            if (!out.Write(line, static_cast<DWORD>(length))) return false;
            piece = reader.ReadPiece(line, kPiece, length, true);
        }
        line[length++] = '\n';
        if (!out.Write(line, static_cast<DWORD>(length))) return false;
    }
    return true;
}

}  // namespace

bool RewriteLines(const char* source, const char* destination, const LineRule* rules, int ruleCount) {
    NewFile out(destination);
    if (!out.IsOpen()) return false;
    HANDLE in = CreateFileA(source, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in != INVALID_HANDLE_VALUE) {
        LineReader reader(in);
        bool copied = CopyLines(reader, out, rules, ruleCount);
        CloseHandle(in);
        if (!copied) return false;
    }
    return out.Close();
}
