#pragma once
// The seven colour maps, each uploaded once into its own uniform buffer, shared by the
// windows of one share group.

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "zarvo/defines.h"

namespace internal {

class colormap_impl {
public:
    // Creates the seven buffers; a context with loaded entry points must be current.
    // Each buffer holds its table padded to the 259 rows the image shader's block declares,
    // since a uniform buffer smaller than the block it backs is undefined behaviour.
    colormap_impl();
    // Deletes the seven buffers with a context of their share group current.
    ~colormap_impl() = default;
    colormap_impl(const colormap_impl&) = delete;
    colormap_impl& operator=(const colormap_impl&) = delete;

    GLuint defaultMap() const { return mBuffers[0].get(); }
    GLuint spectrum() const { return mBuffers[1].get(); }
    GLuint colors() const { return mBuffers[2].get(); }
    GLuint red() const { return mBuffers[3].get(); }
    GLuint mood() const { return mBuffers[4].get(); }
    GLuint heat() const { return mBuffers[5].get(); }
    GLuint blue() const { return mBuffers[6].get(); }

    GLuint defaultLen() const { return mLengths[0]; }
    GLuint spectrumLen() const { return mLengths[1]; }
    GLuint colorsLen() const { return mLengths[2]; }
    GLuint redLen() const { return mLengths[3]; }
    GLuint moodLen() const { return mLengths[4]; }
    GLuint heatLen() const { return mLengths[5]; }
    GLuint blueLen() const { return mLengths[6]; }

    // Buffer and row count of a map by its ColorMap value; false for a value outside 0..6.
    bool select(zv::ColorMap map, GLuint& buffer, GLuint& length) const;

private:
    static constexpr int COUNT = 7;
    GLBuffer mBuffers[COUNT];
    GLuint mLengths[COUNT];
};

}  // namespace internal
