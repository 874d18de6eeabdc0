// Line-by-line copy of a text file that replaces whole lines by rule.
#pragma once

const int kRuleText = 260;
const int kLineLength = 259;   // longest line the rules are applied to

struct LineRule {
    char key[kRuleText];          // matched anywhere in a line, case-sensitively
    char replacement[kRuleText];  // the line written instead
};

// Copies `source` to `destination` (made new, see NewFile), one line at a
// time: a line holding the key of a rule (the first in table order) is
// replaced by that rule's replacement line; every other line is copied.
// CR LF in the source reads as one line break; every output line ends in
// a single LF. Lines longer than kLineLength are copied unchanged. A
// destination that cannot be made or written gives false with the
// framework's file exception pending, and no partial file stays; a source
// that cannot be read gives what was read of it.
bool RewriteLines(const char* source, const char* destination, const LineRule* rules, int ruleCount);
