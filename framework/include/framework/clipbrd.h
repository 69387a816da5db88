// The system clipboard as text.
#pragma once

#include <framework/classes.h>

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Open/Close pairs may nest; every other call opens the clipboard for itself when it is not open.
    // Another program may hold the clipboard for a moment: Open tries a few times, then throws
    // Exception "Cannot open clipboard".
    void Open();
    void Close();
    void Clear();
    bool HasFormat(UINT format);
    // Empty when the clipboard holds no text.
    String AsText();
    void SetAsText(const String& text);

private:
    HWND window_ = nullptr;
    int openCount_ = 0;
};

// The program's clipboard object.
TClipboard* Clipboard();
