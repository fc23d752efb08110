#pragma once
/// @file zarvo/font.h
/// zv::Font: the font a window draws its cell captions with.

#include <memory>

#include "zarvo/defines.h"

namespace internal {
class _Font;
}

namespace zv {

/// A font for the window's cell captions. Text is UTF-8; a malformed sequence draws as one
/// U+FFFD per maximal bad subsequence (Unicode's recommended practice). The 95 printable
/// ASCII characters are rasterised when the font loads; any other character the first time
/// it is drawn, from the loaded face or, when that face lacks it, from the installed face
/// fontconfig matches for that character (each such face opened once per load). A character
/// no installed font has draws as U+FFFD (or the face's missing-glyph box).
///
/// The glyph cache is bounded: besides ASCII it holds at most 512 glyphs per load (and
/// remembers at most 2048 distinct characters). When it is full, characters not seen before
/// draw as U+FFFD; those already loaded keep drawing. Loading a font again empties it. Once
/// a string's glyphs are loaded, drawing it allocates nothing and makes no OpenGL object.
/// Advances include the face's kerning pairs; there is no shaping (ligatures, reordering),
/// combining accents are placed by their own bearings over the character before.
///
/// Copies share one font; loading through any copy changes it for all of them and for every
/// window given it. Create, load and destroy it with a window of its share group current.
class ZV_API Font {
public:
    /// An unloaded font. A window's context must be current.
    /// @throws zv::Error (ZV_ERR_GL) when no window of the library has its context current
    ///         on this thread (none, or the application's own context is)
    Font();
    Font(const Font& other) = default;             ///< shares other's font
    Font& operator=(const Font& other) = default;  ///< makes this handle share other's font

    /// Loads a font file (TrueType or any format FreeType reads) at size pixels. Loading the
    /// file already loaded does nothing, whatever the size.
    /// @throws zv::ArgumentError (argument 2) for a size below 1 or above 1024 pixels (or
    ///         half the context's maximum texture size when that is smaller), checked first
    /// @throws zv::Error (ZV_ERR_GL) when no window of the font's share group is current (the
    ///         group of the window current when the font was created): call makeCurrent() on
    ///         one first; nothing changes
    /// @throws zv::Error (ZV_ERR_FONT) when the file cannot be read as a font, or the path is
    ///         not a regular file (a directory, a FIFO, a device: the message names the path);
    ///         the font is unloaded afterwards
    void loadFont(const char* file, int size);
    /// Loads the installed font that fontconfig ranks best for the pattern name (a family
    /// name such as "DejaVu Sans", or any fontconfig pattern).
    /// @throws zv::Error (ZV_ERR_FONT) when fontconfig fails or nothing matches; see loadFont,
    ///         also for ZV_ERR_GL
    void loadSystemFont(const char* name, int size);

    /// The internal record, for the library's own use.
    internal::_Font* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Font> mValue;
};

}  // namespace zv
