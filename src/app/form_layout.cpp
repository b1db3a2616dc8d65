#include "app/form_layout.h"

#include <cstdint>
#include <cstdlib>

namespace velstrand::app {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kBaselineDpi = 96;

}  // namespace

int TwipsToPixels(int twips, int dpi) {
    // 64-bit so that no DPI a monitor can report overflows the product.
    const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    const std::int64_t magnitude = (std::llabs(scaled) + half) / kTwipsPerInch;
    return static_cast<int>(scaled < 0 ? -magnitude : magnitude);
}

PixelRect ToPixels(const TwipRect& twips, int dpi) {
    const int left = TwipsToPixels(twips.left, dpi);
    const int top = TwipsToPixels(twips.top, dpi);
    const int right = TwipsToPixels(twips.left + twips.width, dpi);
    const int bottom = TwipsToPixels(twips.top + twips.height, dpi);
    return {left, top, right - left, bottom - top};
}

FormLayout LayOutForm(int dpi) {
    if (dpi < 1) {
        dpi = kBaselineDpi;
    }
    FormLayout layout{TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi), {}};
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        layout.controls[i] = ToPixels(kControls[i].twips, dpi);
    }
    return layout;
}

const PixelRect& RectOf(const FormLayout& layout, ControlId id) {
    std::size_t index = 0;
    while (index + 1 < kControls.size() && kControls[index].id != id) {
        ++index;
    }
    return layout.controls[index];
}

}  // namespace velstrand::app
