#pragma once

#include <string_view>

// The RTF control words the message reader acts on.
namespace platform {

enum class RtfWord {
    // Destinations whose content is never message text.
    SkipDest,
    FontTable,
    ColourTable,
    // Document and font-table settings.
    AnsiCodePage,
    DefaultFont,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // Text.
    Par,
    Line,
    Tab,
    Cell,
    Char, // a named character such as \emdash
    Unicode,
    UnicodeSkip,
    Bin,
    // Character formatting.
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Font,
    FontSize,
    ColourFore,
};

struct RtfWordInfo {
    RtfWord word;
    char16_t ch = 0; // the character a named-character word stands for
};

// nullptr for a word the reader ignores.
const RtfWordInfo* findRtfWord(std::string_view name);

// Code page of a \fcharset; 0 keeps the document's page.
int codePageOfCharset(int charset);

} // namespace platform
