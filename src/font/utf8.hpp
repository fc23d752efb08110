#pragma once
// UTF-8 decoding of the text the library draws. Every string that reaches the screen
// (captions, axis titles, tick and legend labels, colour-bar labels) is read as UTF-8.

#include <cstdint>

namespace internal {

constexpr std::uint32_t REPLACEMENT_CHARACTER = 0xFFFD;

// Decodes the code point that starts at p (which must not point at the terminating NUL)
// and moves p past it. A malformed sequence yields U+FFFD once per "maximal subpart", the
// practice the W3C encoding standard and Unicode (chapter 3, "U+FFFD substitution of maximal
// subparts") recommend: the longest prefix of a well-formed sequence is replaced as one
// unit, and every other bad byte (a stray continuation byte, C0, C1, F5 to FF) as one unit
// of its own. Overlong forms and surrogates are caught at their second byte (E0 80..9F,
// ED A0..BF, F0 80..8F, F4 90..), so they too are replaced byte by byte after the lead.
// A continuation byte is never NUL, so the decoder stops at the terminator of a truncated
// sequence and never reads past it.
inline std::uint32_t decodeUtf8(const char*& p) {
    const auto byte = [](const char* q) { return static_cast<unsigned char>(*q); };
    const unsigned lead = byte(p);
    ++p;
    if (lead < 0x80) return lead;
    int more = 0;
    unsigned lo = 0x80, hi = 0xBF;  // the range of the second byte
    std::uint32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;  // overlong below
        if (lead == 0xED) hi = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;  // overlong below
        if (lead == 0xF4) hi = 0x8F;  // beyond U+10FFFF above
    } else {
        return REPLACEMENT_CHARACTER;  // a continuation byte, C0, C1 or F5 to FF
    }
    for (int i = 0; i < more; ++i) {
        const unsigned b = byte(p);
        if (b < lo || b > hi) return REPLACEMENT_CHARACTER;  // the subpart read so far
        cp = (cp << 6) | (b & 0x3F);
        ++p;
        lo = 0x80;
        hi = 0xBF;
    }
    return cp;
}

// The number of code points in NUL-terminated UTF-8 text, each malformed subpart counting as
// one (the U+FFFD that stands for it).
inline int codePointCount(const char* text) {
    int n = 0;
    if (text)
        for (const char* p = text; *p; ++n) decodeUtf8(p);
    return n;
}

}  // namespace internal
