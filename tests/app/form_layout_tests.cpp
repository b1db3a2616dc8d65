#include <gtest/gtest.h>

#include "app/form_layout.h"

namespace velstrand::app {
namespace {

TEST(FormLayout, At120DpiEveryTwelveTwipsAreOnePixel) {
    const FormLayout layout = LayOutForm(120);
    EXPECT_EQ(layout.clientWidth, 365);
    EXPECT_EQ(layout.clientHeight, 99);
    EXPECT_EQ(RectOf(layout, kCommand1), (PixelRect{250, 60, 81, 21}));
    EXPECT_EQ(RectOf(layout, kText1), (PixelRect{10, 30, 341, 22}));
    EXPECT_EQ(RectOf(layout, kLabel1), (PixelRect{0, 10, 81, 21}));
    EXPECT_EQ(RectOf(layout, kOption1), (PixelRect{30, 60, 71, 21}));
    EXPECT_EQ(RectOf(layout, kOption2), (PixelRect{130, 60, 71, 21}));
}

TEST(FormLayout, At96DpiEdgesRoundToTheNearestPixel) {
    const FormLayout layout = LayOutForm(96);
    EXPECT_EQ(layout.clientWidth, 292);  // 4380 / 15
    EXPECT_EQ(layout.clientHeight, 79);  // 79.2
    // Right edge 3972 / 15 = 264.8 and bottom edge 972 / 15 = 64.8 round up.
    EXPECT_EQ(RectOf(layout, kCommand1), (PixelRect{200, 48, 65, 17}));
    EXPECT_EQ(RectOf(layout, kText1), (PixelRect{8, 24, 273, 18}));
}

TEST(FormLayout, HigherDpisScaleInProportion) {
    EXPECT_EQ(LayOutForm(144).clientWidth, 438);
    EXPECT_EQ(LayOutForm(192).clientWidth, 584);
    EXPECT_EQ(LayOutForm(192).clientHeight, 158);  // 158.4
    EXPECT_EQ(RectOf(LayOutForm(240), kCommand1), (PixelRect{500, 120, 162, 42}));
}

TEST(FormLayout, AnUnusableDpiFallsBackToTheBaseline) {
    EXPECT_EQ(LayOutForm(0).clientWidth, LayOutForm(96).clientWidth);
    EXPECT_EQ(LayOutForm(-120).controls, LayOutForm(96).controls);
}

TEST(TwipsToPixels, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(TwipsToPixels(5, 120), 0);
    EXPECT_EQ(TwipsToPixels(6, 120), 1);
    EXPECT_EQ(TwipsToPixels(-5, 120), 0);
    EXPECT_EQ(TwipsToPixels(-6, 120), -1);
    EXPECT_EQ(TwipsToPixels(0, 96), 0);
    // A product beyond 32 bits must not wrap.
    EXPECT_EQ(TwipsToPixels(2'000'000, 2'000), 2'777'778);
}

TEST(FormLayout, TheDesignIsWholePixelsAt120Dpi) {
    for (const ControlDesign& control : kControls) {
        for (int value : {control.twips.left, control.twips.top, control.twips.width, control.twips.height}) {
            EXPECT_EQ(value % 12, 0) << "control " << control.id;
        }
    }
}

// At any DPI a monitor may report, every control stays inside the client area and the three controls of the
// bottom row keep apart, whatever the rounding does.
TEST(FormLayout, ControlsStayInsideTheClientAndApartAtEveryDpi) {
    for (int dpi = 72; dpi <= 480; ++dpi) {
        const FormLayout layout = LayOutForm(dpi);
        for (const PixelRect& rect : layout.controls) {
            EXPECT_GE(rect.left, 0) << dpi;
            EXPECT_GE(rect.top, 0) << dpi;
            EXPECT_GT(rect.width, 0) << dpi;
            EXPECT_GT(rect.height, 0) << dpi;
            EXPECT_LE(rect.left + rect.width, layout.clientWidth) << dpi;
            EXPECT_LE(rect.top + rect.height, layout.clientHeight) << dpi;
        }
        const PixelRect& option1 = RectOf(layout, kOption1);
        const PixelRect& option2 = RectOf(layout, kOption2);
        const PixelRect& command1 = RectOf(layout, kCommand1);
        EXPECT_LT(option1.left + option1.width, option2.left) << dpi;
        EXPECT_LT(option2.left + option2.width, command1.left) << dpi;
        // The design lets the label reach 12 twips into the folder box, so only the box and the row are kept apart.
        const PixelRect& text1 = RectOf(layout, kText1);
        EXPECT_LE(text1.top + text1.height, command1.top) << dpi;
    }
}

}  // namespace
}  // namespace velstrand::app
