#pragma once

#include <QtGlobal>

// The Windows "ANSI" code page of western workstations. Stored messages use it for
// every \'hh escape unless they declare another page; 0x80-0x9F is where it differs
// from Latin-1 (€, curly quotes, œ, …).
namespace platform::windows1252 {

// The character a byte stands for. The five bytes the page leaves undefined map to
// the C1 control of the same value, as Windows itself does.
char16_t toUnicode(uchar byte);

// The byte for a character, or -1 when the page has none.
int fromUnicode(char16_t ch);

} // namespace platform::windows1252
