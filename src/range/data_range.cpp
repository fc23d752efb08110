#include "range/data_range.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "exception/raise.hpp"
#include "gl/limits.hpp"
#include "gl/shaders.hpp"
#include "gl/state_guard.hpp"
#include "gl/uniforms.hpp"
#include "range/range_shaders.hpp"

namespace internal {

namespace {

// The margin a fit leaves each side, as a fraction of the data's extent: of its values on a
// linear axis, of its decades on a logarithmic one.
constexpr double LINEAR_MARGIN = 0.05;
constexpr double LOG_MARGIN = 0.05;

// A limit computed in double, kept to the finite floats: a margin added to data near
// FLT_MAX would otherwise round to infinity and collapse the axis.
float finiteLimit(double v) {
    const double most = std::numeric_limits<float>::max();
    return static_cast<float>(std::fmax(-most, std::fmin(most, v)));
}

// The limits of one axis for data from lo to hi (lo <= hi, both finite): the range plus the
// margin each side, worked out in double so that neither the extent nor the margin of data
// spanning the whole float range overflows. The data stays inside the limits, and they stay
// apart even where the margin is too small for single precision to show.
void padAxis(float lo, float hi, float& outLo, float& outHi) {
    const double l = lo, h = hi, extent = h - l;
    const double pad = extent > 0.0    ? LINEAR_MARGIN * extent
                       : l != 0.0       ? LINEAR_MARGIN * std::fabs(l)
                                        : 0.5;
    outLo = std::fmin(lo, finiteLimit(l - pad));
    outHi = std::fmax(hi, finiteLimit(h + pad));
    if (outLo < outHi) return;
    const float most = std::numeric_limits<float>::max();
    outLo = std::nextafter(lo, -most);
    outHi = std::nextafter(hi, most);
}

}  // namespace

FittedLimits fitLimits(const DataBounds& b) {
    FittedLimits f{};
    padAxis(b.xmin, b.xmax, f.xmin, f.xmax);
    padAxis(b.ymin, b.ymax, f.ymin, f.ymax);
    return f;
}

void SeriesBounds::addPoints(const DataBounds& b) {
    if (b.empty()) return;
    points.xmin = std::fmin(points.xmin, b.xmin);
    points.xmax = std::fmax(points.xmax, b.xmax);
    points.ymin = std::fmin(points.ymin, b.ymin);
    points.ymax = std::fmax(points.ymax, b.ymax);
}

void SeriesBounds::addBars(const DataBounds& b) {
    if (!b.empty() && b.ymax > 0.0f) barsTop = std::fmax(barsTop, b.ymax);
}

namespace {

// The limits of a logarithmic axis for data from lo to hi (0 < lo <= hi): the margin is
// taken in log space, 5% of the decades each side (5% of one decade for a single value), so
// it multiplies and divides, and the limits stay above zero. False, with nothing written,
// when the data reach zero or below: a log axis cannot show them, and the caller keeps its
// limits.
bool padLogAxis(float lo, float hi, float& outLo, float& outHi) {
    if (!(lo > 0.0f) || !(hi >= lo) || !std::isfinite(hi)) return false;
    const double l = std::log10(static_cast<double>(lo)), h = std::log10(static_cast<double>(hi));
    const double pad = h > l ? LOG_MARGIN * (h - l) : LOG_MARGIN;
    const double smallest = std::numeric_limits<float>::min();  // the smallest normal float
    outLo = std::fmin(lo, static_cast<float>(std::fmax(smallest, std::pow(10.0, l - pad))));
    outHi = std::fmax(hi, finiteLimit(std::pow(10.0, h + pad)));
    if (outLo < outHi) return true;
    outLo = std::nextafter(lo, 0.0f);
    outHi = std::nextafter(hi, std::numeric_limits<float>::max());
    return outLo > 0.0f && outLo < outHi;
}

}  // namespace

float barsHeadroom(float bottom, float top, bool log) {
    if (log && bottom > 0.0f && top > bottom) {
        const double b = std::log10(static_cast<double>(bottom));
        const double t = std::log10(static_cast<double>(top));
        return std::fmax(top, finiteLimit(std::pow(10.0, t + LOG_MARGIN * (t - b))));
    }
    const double extent = static_cast<double>(top) - bottom;
    return std::fmax(top, finiteLimit(top + LINEAR_MARGIN * extent));
}

bool fitSeries(const SeriesBounds& b, const FittedLimits& current, FittedLimits& out, bool xLog,
               bool yLog) {
    const bool points = !b.points.empty();
    const bool bars = b.barsTop > 0.0f;
    if (!points && !bars) return false;
    out = current;
    if (points) {
        const FittedLimits f = fitLimits(b.points);
        out.xmin = f.xmin;
        out.xmax = f.xmax;
        out.ymin = f.ymin;
        out.ymax = f.ymax;
        // A log axis whose data reach zero or below keeps the limits in force.
        if (xLog && !padLogAxis(b.points.xmin, b.points.xmax, out.xmin, out.xmax)) {
            out.xmin = current.xmin;
            out.xmax = current.xmax;
        }
        if (yLog && !bars && !padLogAxis(b.points.ymin, b.points.ymax, out.ymin, out.ymax)) {
            out.ymin = current.ymin;
            out.ymax = current.ymax;
        }
    }
    if (bars && yLog) {
        // Bars stand on the bottom of a log axis, which stays unless points lie below it.
        const float top = points ? std::fmax(b.points.ymax, b.barsTop) : b.barsTop;
        float lo = current.ymin, hi = top;
        if (points && b.points.ymin < current.ymin &&
            !padLogAxis(b.points.ymin, top, lo, hi)) {
            lo = current.ymin;
        }
        if (!(lo > 0.0f) || !(top > lo)) {
            out.ymin = current.ymin;
            out.ymax = current.ymax;
        } else {
            out.ymin = lo;
            out.ymax = barsHeadroom(lo, top, true);
        }
    } else if (bars && !points) {
        out.ymin = 0.0f;
        out.ymax = barsHeadroom(0.0f, b.barsTop, false);
    } else if (bars) {
        const double lo = std::fmin(b.points.ymin, 0.0f), hi = std::fmax(b.points.ymax, b.barsTop);
        const double pad = LINEAR_MARGIN * (hi - lo);
        out.ymin = lo < 0.0 ? finiteLimit(lo - pad) : 0.0f;
        out.ymax = finiteLimit(hi + pad);
    }
    return true;
}

namespace {

// A program whose vertex output `range` is captured by transform feedback.
GLProgram captureProgram(const std::string& vertexSource) {
    const GLShader vertex = compileStage(GL_VERTEX_SHADER, vertexSource.c_str(), "Vertex");
    const GLShader fragment = compileStage(GL_FRAGMENT_SHADER, gRangeFragmentShaderSrc, "Fragment");
    return linkProgram({&vertex, &fragment}, [](GLuint program) {
        const char* varyings[] = {"range"};
        glTransformFeedbackVaryings(program, 1, varyings, GL_INTERLEAVED_ATTRIBS);
    });
}

GLBuffer newBuffer(GLsizeiptr bytes, GLenum usage) {
    GLBuffer b = GLBuffer::create();
    glBindBuffer(GL_COPY_WRITE_BUFFER, b.get());
    glBufferData(GL_COPY_WRITE_BUFFER, bytes, nullptr, usage);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return b;
}

GLTexture bufferTexture(GLuint buffer, GLenum format) {
    GLTexture t = GLTexture::create();
    glBindTexture(GL_TEXTURE_BUFFER, t.get());
    glTexBuffer(GL_TEXTURE_BUFFER, format, buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    return t;
}

DataBounds readBounds(GLuint buffer, bool map) {
    float v[4] = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    if (map) {
        if (const void* p = glMapBufferRange(GL_COPY_READ_BUFFER, 0, sizeof v, GL_MAP_READ_BIT)) {
            const float* f = static_cast<const float*>(p);
            for (int i = 0; i < 4; ++i) v[i] = f[i];
            glUnmapBuffer(GL_COPY_READ_BUFFER);
        }
    } else {
        glGetBufferSubData(GL_COPY_READ_BUFFER, 0, sizeof v, v);
    }
    return {v[0], v[1], v[2], v[3]};
}

}  // namespace

DataRange::DataRange(GLuint buffer, GLenum type, int components, unsigned count)
    : mData(buffer), mType(type), mComponents(components), mCount(count) {}

DataRange::DataRange(const PointSource& source)
    : mData(source.buffers[1]),
      mType(source.type),
      mComponents(2),
      mCount(source.capacity),
      mPoints(true),
      mSource(source) {}

namespace {
unsigned elementBytes(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return 1;
        case GL_SHORT:
        case GL_UNSIGNED_SHORT: return 2;
        default: return 4;
    }
}
}  // namespace

void DataRange::buildPoints() {
    const ElementFormat format = elementFormat(mType);
    mElementBytes = elementBytes(mType);
    mPointProgram = groupProgram<RangePointUniforms>(
        std::string("range points ") + format.sampler,
        [&] {
            return captureProgram(std::string(ZV_GLSL_HEADER "#define POINTS ") + format.sampler +
                                  "\n" + gPointFetchGlsl + gRangePointSliceShaderSrc);
        },
        [](UniformCache& u) { setPointSamplers<RangePointUniforms>(u); });
    mMergeProgram = groupProgram<RangeMergeUniforms>(
        "range merge", [] { return captureProgram(gRangeMergeShaderSrc); });

    // Slices of at most the loop budget; when a texture cannot cover its buffer, pieces of
    // whole slices whose elements it covers, copied out one at a time.
    const bool two = mSource.twoBuffers();
    const unsigned long long texels =
        static_cast<unsigned long long>(std::max<GLint>(maxTextureBufferTexels(), 1));
    const unsigned budget = static_cast<unsigned>(LOOP_BUDGET);
    mSliceSize = std::min((mCount + SLICES - 1) / SLICES, budget);
    mPiece = mCount;
    const bool covered =
        mSource.elements(1) <= texels && (!two || mSource.elements(0) <= texels);
    const unsigned widest = static_cast<unsigned>(std::max(
        mSource.stride[1], mSource.implicitX ? 1 : mSource.stride[0]));
    if (!covered) {
        const unsigned perPiece = std::max(
            1u, static_cast<unsigned>(std::min<unsigned long long>(texels, PIECE) / widest));
        mSliceSize = std::min(mSliceSize, perPiece);
        mSliceSize = std::max(mSliceSize, 1u);
        mPiece = perPiece / mSliceSize * mSliceSize;
    }
    mSliceSize = std::max(mSliceSize, 1u);
    // A ring's points run in two stretches, each ending in a slice of its own.
    mSlices = static_cast<unsigned>((static_cast<unsigned long long>(mCount) + mSliceSize - 1) /
                                    mSliceSize) + 2;

    const ElementFormat f = elementFormat(mType);
    for (int k = 1; k >= (two ? 0 : 1); --k) {
        GLuint over = mSource.buffers[k];
        if (mPiece < mCount) {
            mPointScratch[k] = newBuffer(static_cast<GLsizeiptr>(mPiece) *
                                             static_cast<GLsizeiptr>(mSource.stride[k]) *
                                             mElementBytes,
                                         GL_STREAM_COPY);
            over = mPointScratch[k].get();
        }
        mPointTexture[k] = bufferTexture(over, f.internalFormat);
    }
    for (int i = 0; i < 2; ++i) {
        mPartial[i] = newBuffer(static_cast<GLsizeiptr>(mSlices) * 4 * sizeof(float),
                                GL_DYNAMIC_COPY);
        mPartialTexture[i] = bufferTexture(mPartial[i].get(), GL_RGBA32F);
    }
    mResult = newBuffer(4 * sizeof(float), GL_STREAM_READ);
    for (GLBuffer& b : mRing) b = newBuffer(4 * sizeof(float), GL_STREAM_READ);
    mBuilt = true;
}

unsigned DataRange::slicePoints(int windowId, const PointWindow& points) {
    UniformCache& slice = mPointProgram->uniforms;
    slice.use(windowId);
    setPointFetch<RangePointUniforms>(slice, mSource, points);
    slice.setInt(RangePointUniforms::SLICE_SIZE, static_cast<GLint>(mSliceSize));
    const bool two = mSource.twoBuffers();
    const GLuint y = mPointTexture[1].get();
    const GLint unit1 = bindPointTextures(two ? mPointTexture[0].get() : y, y);
    // The points drawn lie in one or two stretches of places: from the oldest on to the
    // buffers' end, then from the first place on.
    const unsigned start = std::min(points.start, mCount);
    const unsigned count = std::min(points.count, mCount);
    const unsigned stretch[2][2] = {{start, std::min(count, mCount - start)},
                                    {0, count - std::min(count, mCount - start)}};
    unsigned slices = 0;
    for (const auto& s : stretch) {
        for (unsigned done = 0; done < s[1]; done += mPiece) {
            const unsigned first = s[0] + done;
            const unsigned n = std::min(mPiece, s[1] - done);
            GLint base = 0;
            if (mPiece < mCount) {
                // The piece's records of each buffer, to the textures' buffers.
                for (int k = two ? 0 : 1; k < 2; ++k) {
                    const GLintptr record =
                        static_cast<GLintptr>(mSource.stride[k]) * mElementBytes;
                    glBindBuffer(GL_COPY_READ_BUFFER, mSource.buffers[k]);
                    glBindBuffer(GL_COPY_WRITE_BUFFER, mPointScratch[k].get());
                    glCopyBufferSubData(GL_COPY_READ_BUFFER, GL_COPY_WRITE_BUFFER,
                                        static_cast<GLintptr>(first) * record, 0,
                                        static_cast<GLsizeiptr>(n) * record);
                }
                base = static_cast<GLint>(first);
            }
            const unsigned pieceSlices = (n + mSliceSize - 1) / mSliceSize;
            slice.setInt(RangePointUniforms::POINT_BASE, base);
            slice.setInt(RangePointUniforms::ELEMENT_COUNT, static_cast<GLint>(n));
            slice.setInt(RangePointUniforms::FIRST, static_cast<GLint>(first));
            glBindBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mPartial[0].get(),
                              static_cast<GLintptr>(slices) * 4 * sizeof(float),
                              static_cast<GLsizeiptr>(pieceSlices) * 4 * sizeof(float));
            glBeginTransformFeedback(GL_POINTS);
            glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(pieceSlices));
            glEndTransformFeedback();
            slices += pieceSlices;
        }
    }
    unbindPointTextures(two, unit1);
    return slices;
}

void DataRange::build() {
    if (mPoints) {
        buildPoints();
        return;
    }
    const bool two = mComponents == 2;
    GLenum format = two ? GL_RG32F : GL_R32F;
    const char* prefix = "";
    unsigned bytes = 4;
    switch (mType) {
        case GL_INT: format = two ? GL_RG32I : GL_R32I; prefix = "i"; break;
        case GL_UNSIGNED_INT: format = two ? GL_RG32UI : GL_R32UI; prefix = "u"; break;
        case GL_UNSIGNED_BYTE: format = two ? GL_RG8UI : GL_R8UI; prefix = "u"; bytes = 1; break;
        case GL_SHORT: format = two ? GL_RG16I : GL_R16I; prefix = "i"; bytes = 2; break;
        case GL_UNSIGNED_SHORT: format = two ? GL_RG16UI : GL_R16UI; prefix = "u"; bytes = 2; break;
        default: break;
    }
    mElementBytes = bytes * static_cast<unsigned>(mComponents);
    const std::string defines = std::string("#define DATA_SAMPLER ") + prefix +
                                "samplerBuffer\n#define COMPONENTS " + (two ? "2" : "1") + "\n";
    const std::string variant = std::string(prefix) + (two ? "2" : "1");
    mSliceProgram = groupProgram<RangeSliceUniforms>("range slices " + variant, [&] {
        return captureProgram(std::string(ZV_GLSL_HEADER) + defines + gRangeSliceShaderSrc);
    });
    mMergeProgram = groupProgram<RangeMergeUniforms>(
        "range merge", [] { return captureProgram(gRangeMergeShaderSrc); });

    // Slices of at most the loop budget; when the texture cannot cover the data, pieces of
    // whole slices that it covers.
    const unsigned texels = static_cast<unsigned>(std::max<GLint>(maxTextureBufferTexels(), 1));
    const unsigned budget = static_cast<unsigned>(LOOP_BUDGET);
    mSliceSize = std::min((mCount + SLICES - 1) / SLICES, budget);
    mPiece = mCount;
    if (mCount > texels) {
        mSliceSize = std::min(mSliceSize, texels);
        mPiece = std::min(texels, PIECE) / mSliceSize * mSliceSize;
    }
    mSliceSize = std::max(mSliceSize, 1u);
    mSlices = static_cast<unsigned>((static_cast<unsigned long long>(mCount) + mSliceSize - 1) /
                                    mSliceSize);

    if (mPiece < mCount) {
        mScratch = newBuffer(static_cast<GLsizeiptr>(mPiece) * mElementBytes, GL_STREAM_COPY);
        mDataTexture = bufferTexture(mScratch.get(), format);
    } else {
        mDataTexture = bufferTexture(mData, format);
    }
    for (int i = 0; i < 2; ++i) {
        mPartial[i] = newBuffer(static_cast<GLsizeiptr>(mSlices) * 4 * sizeof(float),
                                GL_DYNAMIC_COPY);
        mPartialTexture[i] = bufferTexture(mPartial[i].get(), GL_RGBA32F);
    }
    mResult = newBuffer(4 * sizeof(float), GL_STREAM_READ);
    for (GLBuffer& b : mRing) b = newBuffer(4 * sizeof(float), GL_STREAM_READ);
    mBuilt = true;
}

void DataRange::reduce(int windowId, GLuint target, const PointWindow& points) {
    glEnable(GL_RASTERIZER_DISCARD);
    mVAOs.bind(windowId, [] {});
    if (mPoints) {
        merge(windowId, slicePoints(windowId, points), target);
        return;
    }

    // 1. The slices' ranges, a piece at a time (the whole data at once when the texture
    // covers it).
    UniformCache& slice = mSliceProgram->uniforms;
    slice.use(windowId);
    slice.setInt(RangeSliceUniforms::SLICE_SIZE, static_cast<GLint>(mSliceSize));
    glBindTexture(GL_TEXTURE_BUFFER, mDataTexture.get());
    for (unsigned first = 0; first < mCount; first += mPiece) {
        const unsigned n = std::min(mPiece, mCount - first);
        if (mScratch) {
            glBindBuffer(GL_COPY_READ_BUFFER, mData);
            glBindBuffer(GL_COPY_WRITE_BUFFER, mScratch.get());
            glCopyBufferSubData(GL_COPY_READ_BUFFER, GL_COPY_WRITE_BUFFER,
                                static_cast<GLintptr>(first) * mElementBytes, 0,
                                static_cast<GLsizeiptr>(n) * mElementBytes);
        }
        const unsigned firstSlice = first / mSliceSize;
        const unsigned slices = (n + mSliceSize - 1) / mSliceSize;
        slice.setInt(RangeSliceUniforms::ELEMENT_COUNT, static_cast<GLint>(n));
        slice.setInt(RangeSliceUniforms::BASE, static_cast<GLint>(first));
        glBindBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mPartial[0].get(),
                          static_cast<GLintptr>(firstSlice) * 4 * sizeof(float),
                          static_cast<GLsizeiptr>(slices) * 4 * sizeof(float));
        glBeginTransformFeedback(GL_POINTS);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(slices));
        glEndTransformFeedback();
    }

    merge(windowId, mSlices, target);
}

void DataRange::merge(int windowId, unsigned ranges, GLuint target) {
    // 2. Groups of ranges merged until one is left, the last pass into `target`.
    UniformCache& merge = mMergeProgram->uniforms;
    merge.use(windowId);
    int from = 0;
    do {
        const unsigned group = std::min(ranges, static_cast<unsigned>(LOOP_BUDGET));
        const unsigned merged = (ranges + group - 1) / group;
        merge.setInt(RangeMergeUniforms::RANGE_COUNT, static_cast<GLint>(ranges));
        merge.setInt(RangeMergeUniforms::GROUP_SIZE, static_cast<GLint>(group));
        glBindTexture(GL_TEXTURE_BUFFER, mPartialTexture[from].get());
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0,
                         merged == 1 ? target : mPartial[1 - from].get());
        glBeginTransformFeedback(GL_POINTS);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(merged));
        glEndTransformFeedback();
        ranges = merged;
        from = 1 - from;
    } while (ranges > 1);
}

DataBounds DataRange::compute(int windowId, const PointWindow& points) {
    if (nothingTo(points)) return {INFINITY, INFINITY, -INFINITY, -INFINITY};
    GLStateGuard guard;
    if (!mBuilt) build();
    reduce(windowId, mResult.get(), points);
    return readBounds(mResult.get(), false);
}

bool DataRange::follow(int windowId, DataBounds& out, const PointWindow& points) {
    if (nothingTo(points)) return false;
    GLStateGuard guard;
    if (!mBuilt) build();
    bool ready = false;
    if (mStarted >= RING - 1) {
        out = readBounds(mRing[(mStarted - (RING - 1)) % RING].get(), true);
        ready = true;
    }
    reduce(windowId, mRing[mStarted % RING].get(), points);
    ++mStarted;
    return ready;
}

}  // namespace internal
