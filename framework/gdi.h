// GDI objects owned by the program: deleted when their object goes.
#pragma once
#include "afx.h"

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() override { DeleteObject(); }
    void DeleteObject() {
        if (m_hObject) ::DeleteObject(m_hObject);
        m_hObject = nullptr;
    }
    HGDIOBJ m_hObject = nullptr;
};

class CFont : public CGdiObject {
public:
    bool CreateFont(int height, int width, int escapement, int orientation, int weight,
                    bool italic, bool underline, bool strikeOut, BYTE charSet,
                    BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                    const char* faceName) {
        DeleteObject();
        m_hObject = ::CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                  strikeOut, charSet, outPrecision, clipPrecision, quality,
                                  pitchAndFamily, faceName);
        return m_hObject != nullptr;
    }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    bool CreateSolidBrush(COLORREF color) {
        DeleteObject();
        m_hObject = ::CreateSolidBrush(color);
        return m_hObject != nullptr;
    }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
