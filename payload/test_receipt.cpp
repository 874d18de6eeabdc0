#include "test_receipt.h"
#include "../framework/afx.h"
#include "app_core/texts.h"
#include "version_details.h"
#include <cstring>

const char kDriverVersion[] = VERSION_TEXT;

namespace {

// ESC/POS: initialise; Chinese character mode; centred or left; bold on or
// off; feed n lines; partial cut.
const char kInitialise[] = "\x1B@";
const char kChineseMode[] = "\x1C&";
const char kCentre[] = "\x1B" "a\x01";
const char kLeft[] = "\x1B" "a\x00";
const char kBold[] = "\x1B" "E\x01";
const char kNotBold[] = "\x1B" "E\x00";
const char kFeedFive[] = "\x1B" "d\x05";
const char kCut[] = "\x1D" "V\x01";

class Receipt {
public:
    explicit Receipt(char (&bytes)[kMaxReceiptSize]) : bytes_(bytes) {}
    // A command of `N - 1` bytes (NUL among them).
    template <size_t N>
    void Command(const char (&command)[N]) { Add(command, N - 1); }
    void Text(const char* text) { Add(text, strlen(text)); }
    void Line(const char* label, const char* value) {
        Text(label);
        Text(value);
        Text("\n");
    }
    bool Fits() const { return fits_; }
    size_t Size() const { return size_; }

private:
    void Add(const char* data, size_t length) {
        if (!fits_ || length > kMaxReceiptSize - size_) {
            fits_ = false;
            return;
        }
        memcpy(bytes_ + size_, data, length);
        size_ += length;
    }
    char (&bytes_)[kMaxReceiptSize];
    size_t size_ = 0;
    bool fits_ = true;
};

}  // namespace

bool BuildTestReceipt(const ReceiptFacts& facts, char (&bytes)[kMaxReceiptSize], size_t& size) {
    const TextLanguage language = facts.language;
    const SYSTEMTIME& t = facts.printedAt;
    char time[32];
    AfxFormat(time, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    Receipt receipt(bytes);
    receipt.Command(kInitialise);
    if (language != TextLanguage::English) receipt.Command(kChineseMode);
    receipt.Command(kCentre);
    receipt.Command(kBold);
    receipt.Line(TextIn(kReceiptTitleText, language), "");
    receipt.Command(kNotBold);
    receipt.Command(kLeft);
    receipt.Text("\n");
    receipt.Line(TextIn(kReceiptPrinterText, language), facts.printer);
    receipt.Line(TextIn(kReceiptPortText, language), facts.port);
    receipt.Line(TextIn(kReceiptTimeText, language), time);
    receipt.Line(TextIn(kReceiptVersionText, language), kDriverVersion);
    receipt.Text("\n");
    receipt.Line(TextIn(kReceiptBodyText, language), "");
    receipt.Command(kFeedFive);
    receipt.Command(kCut);
    size = receipt.Fits() ? receipt.Size() : 0;
    return receipt.Fits();
}
