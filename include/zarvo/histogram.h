#pragma once
/// @file zarvo/histogram.h
/// zv::Histogram: bars of bin frequencies the application writes on the GPU.

#include <cstddef>
#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Histogram;
}

namespace zv {

/// A histogram of nbins bins drawn as bars inside a chart frame. The application writes one
/// frequency per bin (bin 0 leftmost) into the vertex buffer vbo() (size() bytes), tightly
/// packed in the histogram's element type, in y-axis units (integers of every width are taken
/// as they are, no normalisation). The bins divide the frame's width
/// in equal slots whatever the x limits; a bar's height is its frequency over ymax().
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// histogram.
class ZV_API Histogram : public Series {
public:
    /// @throws zv::TypeError (argument 1 names dataType) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 bins, what one draw
    ///         call can take, before anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread (none, or the application's own context is)
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the vertex buffer
    Histogram(unsigned nbins, ZVType dataType);
    Histogram(const Histogram& other) = default;             ///< shares other's histogram
    Histogram& operator=(const Histogram& other) = default;  ///< makes this handle share other's

    /// Bar colour, alpha 1.
    void setBarColor(float red, float green, float blue);
    /// Axis limits, maximum before minimum; ymax scales the bars (0 draws none). The labels
    /// name their ticks as a plot's do (see zv::Plot::setAxesLimits).
    /// @throws zv::ArgumentError (argument 1 to 4) when an axis is logarithmic (setLogAxes)
    /// and one of its limits is not finite and above zero; nothing changes then
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// With true, both axes get ticks at round values (1, 2 or 5 times a power of ten, four
    /// to ten per axis, inside the limits); with false (the default), nine evenly spaced ticks.
    void setNiceTicks(bool enabled);
    /// Makes the x and/or the y axis logarithmic (base 10); false makes it linear again. On a
    /// logarithmic y axis every bar rises from the frame's bottom edge (ymin) to its
    /// frequency's place, and frequencies at or below ymin show no bar. On a logarithmic x
    /// axis only the ticks change: the bins still share the width equally, which suits bins
    /// whose edges grow by a constant factor. Set positive limits first.
    /// @throws zv::ArgumentError (argument 1 for x, 2 for y) when an axis made logarithmic
    /// has a limit that is not finite and above zero; nothing changes then
    void setLogAxes(bool xLog, bool yLog);
    bool niceTicks() const;  ///< whether setNiceTicks(true) is in force
    bool xLog() const;       ///< whether the x axis is logarithmic
    bool yLog() const;       ///< whether the y axis is logarithmic
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets y from 0 to 5% above the largest frequency in the buffer, so the tallest bar
    /// shows whole below the frame's top edge; on a logarithmic y axis the bars stand on
    /// ymin, which stays, and the room above is 5% of the decades from ymin to the largest
    /// frequency. The frequency is computed on the GPU (only that number is read back,
    /// which waits for the GPU once); x stays. NaN and infinite
    /// frequencies are left out; when no positive one is left the limits stay as they were.
    /// Works whichever context is current. Every bin counts, however many (see
    /// zv::Plot::fitAxesToData, also for the application's OpenGL state).
    /// @throws zv::ArgumentError when every window of the histogram's group is gone
    void fitAxesToData();
    /// With on, every draw sets y as fitAxesToData() would, from the data of two draws
    /// earlier, so no frame waits for the GPU (see zv::Plot::setAutoFit, also for the mouse).
    /// Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the y limits follow the data
    /// Name of the GL_ARRAY_BUFFER the application writes the frequencies into.
    unsigned vbo() const;
    /// Its size in bytes: nbins x bytes per element.
    size_t size() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Histogram* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Histogram> mValue;
};

}  // namespace zv
