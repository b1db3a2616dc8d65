#pragma once

#include <array>
#include <string_view>

namespace velstrand::app {

// A rectangle of the stored design in twips (1/1440 inch), measured from the top-left corner of the client area.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

enum class ControlKind {
    PushButton,
    TextBox,
    Label,
    OptionButton,
};

// Control ids stay clear of IDOK (1) and IDCANCEL (2): the dialog keyboard handling in the message loop sends
// those for Enter and Escape, and neither may press a button of ours.
enum ControlId : int {
    kCommand1 = 1001,
    kText1 = 1002,
    kLabel1 = 1003,
    kOption1 = 1004,
    kOption2 = 1005,
};

struct ControlDesign {
    ControlId id;
    ControlKind kind;
    std::wstring_view text;
    TwipRect twips;
};

// The load event's one warning, shown when the registry gives no folder for the official server.
inline constexpr std::wstring_view kNoGameFolderMessage = L"无法获取注册表中的DNF路径，请自己指定或者先运行一次DNF";
inline constexpr int kClientWidthTwips = 4380;
inline constexpr int kClientHeightTwips = 1188;

// In tab order, which is also the order of creation.
inline constexpr std::array<ControlDesign, 5> kControls = {{
    {kCommand1, ControlKind::PushButton, L"开始清理", {3000, 720, 972, 252}},
    {kText1, ControlKind::TextBox, L"D:\\DNF", {120, 360, 4092, 264}},
    {kLabel1, ControlKind::Label, L"DNF目录：", {0, 120, 972, 252}},
    {kOption1, ControlKind::OptionButton, L"正式服", {360, 720, 852, 252}},
    {kOption2, ControlKind::OptionButton, L"体验服", {1560, 720, 852, 252}},
}};

}  // namespace velstrand::app
