// The test receipt an install prints on request: raw ESC/POS for an 80 mm
// receipt printer, sent to it as it is. It says what was installed where,
// in the install's language (Chinese as GBK, which such printers print in
// their Chinese mode), then feeds the paper out and cuts it.
#pragma once
#include "../app_core/text_language.h"
#include <windows.h>

// The version of the driver this setup installs (the version details of
// both programs).
extern const char kDriverVersion[];

struct ReceiptFacts {
    const char* printer;
    const char* port;
    SYSTEMTIME printedAt;
    TextLanguage language;
};

const size_t kMaxReceiptSize = 1024;
// The receipt's bytes and their count; false when they do not fit.
bool BuildTestReceipt(const ReceiptFacts& facts, char (&receipt)[kMaxReceiptSize], size_t& size);
