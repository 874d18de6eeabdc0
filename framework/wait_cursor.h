// The application's wait cursor: shown while the program is busy and cannot
// answer input, restored when the last user ends it.
#pragma once
#include "afx.h"

// 1 begins, -1 ends; nested uses end with the outermost.
void AfxDoWaitCursor(int code);

// Shows the wait cursor for its lifetime, also when an exception passes.
class CWaitCursor {
public:
    CWaitCursor() { AfxDoWaitCursor(1); }
    ~CWaitCursor() { AfxDoWaitCursor(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
