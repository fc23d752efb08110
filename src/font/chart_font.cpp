#include "font/chart_font.hpp"

#include "exception/raise.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {
// The chart font of one share group. `loaded` is set only by a load that returned, so a
// load that threw is tried again by the next chart.
struct ChartFontSlot {
    std::shared_ptr<font_impl> font;
    bool loaded = false;
};
}  // namespace

std::shared_ptr<font_impl> getChartFont() {
    std::shared_ptr<ShareGroup> group = currentGroup();
    if (!group) {
        ZV_FAIL(ChartFontWithoutWindow, __func__);
    }
    std::shared_ptr<void>& entry = group->resources[GROUP_CHART_FONT];
    if (!entry) entry = std::make_shared<ChartFontSlot>();
    auto* slot = static_cast<ChartFontSlot*>(entry.get());
    if (!slot->font) slot->font = std::make_shared<font_impl>();
    if (!slot->loaded) {
        slot->font->loadSystemFont("Vera", 32);
        slot->loaded = true;
    }
    return slot->font;
}

}  // namespace internal
