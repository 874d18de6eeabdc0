// Line-by-line copy of a text file that replaces whole lines by rule.
#pragma once
#include <windows.h>

const int kRuleText = 260;
const int kLineLength = 259;   // longest line the rules are applied to

struct LineRule {
    char key[kRuleText];          // matched anywhere in a line, case-sensitively
    char replacement[kRuleText];  // the line written instead
};

class NewFile;

// Writes the text `bytes` into `out`, one line at a time: a line holding
// the key of a rule (the first in table order) is replaced by that rule's
// replacement line; every other line is copied. CR LF reads as one line
// break; every output line ends in a single LF. Lines longer than
// kLineLength are copied unchanged. Closes `out`; false when a write or the
// close failed (out.Error() says why; no partial file stays).
bool RewriteLines(const void* bytes, DWORD size, NewFile& out, const LineRule* rules, int ruleCount);
