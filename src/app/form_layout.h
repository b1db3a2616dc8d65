#pragma once

#include <array>

#include "app/form_design.h"

namespace velstrand::app {

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct FormLayout {
    int clientWidth;
    int clientHeight;
    std::array<PixelRect, kControls.size()> controls;  // in the order of kControls
};

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel (halves away from zero).
int TwipsToPixels(int twips, int dpi);

// One design rectangle in pixels. The edges are rounded, not the sizes, so that controls whose design edges meet
// still meet on screen at any DPI.
PixelRect ToPixels(const TwipRect& twips, int dpi);

// The whole form at `dpi`; a DPI below 1 is taken as 96, the Windows baseline.
FormLayout LayOutForm(int dpi);

// The rectangle of control `id` in `layout`.
const PixelRect& RectOf(const FormLayout& layout, ControlId id);

}  // namespace velstrand::app
