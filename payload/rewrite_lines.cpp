#include "rewrite_lines.h"
#include "../system/held_folder.h"
#include <windows.h>
#include <cstring>

namespace {

class LineReader {
public:
    LineReader(const char* bytes, DWORD size) : bytes_(bytes), size_(size) {}

    enum class Piece { End, LineEnd, BufferFull };

    // Reads the next piece of a line into `buffer`, at most `size` bytes:
    // LineEnd when the line ended (its break, LF or CR LF, is read but not
    // stored), BufferFull when it goes on, End when no line starts here.
    // A line in the middle (`continuing`) ends at the end of the text.
    Piece ReadPiece(char* buffer, size_t size, size_t& length, bool continuing) {
        length = 0;
        if (!continuing && pos_ == size_) return Piece::End;
        while (length < size) {
            if (pos_ == size_) return Piece::LineEnd;
            char c = bytes_[pos_++];
            if (c == '\n') return Piece::LineEnd;
            if (c == '\r' && pos_ < size_ && bytes_[pos_] == '\n') {
                ++pos_;
                return Piece::LineEnd;
            }
            buffer[length++] = c;
        }
        return Piece::BufferFull;
    }

private:
    const char* bytes_;
    DWORD size_;
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

bool RewriteLines(const void* bytes, DWORD size, NewFile& out, const LineRule* rules, int ruleCount) {
    LineReader reader(static_cast<const char*>(bytes), size);
    return CopyLines(reader, out, rules, ruleCount) && out.Close();
}
