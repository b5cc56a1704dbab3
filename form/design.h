// The main window and its two result windows as designed: each control's kind, name,
// caption, place in twips, frame, font, list and tab index. Every toolkit that draws
// them reads this one table. Standard library only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvok::form {

// Twips are 1/1440 inch: 15 to the pixel at 96 dots per inch.
struct Twips {
    int left, top, width, height;
};

enum class Kind : std::uint8_t {
    label,
    text_box,
    spin,  // the two arrows that step a text box's number, 0 to 255
    button,
    setting_button,  // a "修改" button, pressed often
    frame,
    list,  // a drop-down list the operator picks from and never types into
};

// Which entries a list holds (form/lists.h), and when they go in: with the window,
// or when it loads.
enum class List : std::uint8_t { none, channels, modes, power_on_states, bauds, parities };
enum class Fill : std::uint8_t { design, load };

enum class Id : std::uint8_t {
    Label3,
    chuankou_num,
    VScroll2,
    open_comm,
    Label2,
    Combo3,
    Label4,
    Combo7,
    Label5,
    add,
    VScroll1,
    Frame1,
    Label7,
    Combo1_0,
    Label8,
    Combo2,
    Command1,
    Frame2,
    Label9,
    Combo1_1,
    Label10,
    Combo4,
    Command2,
    Frame3,
    Label11,
    Combo5,
    Label12,
    Combo6,
    Command3,
};

struct Control {
    Id id;
    Kind kind;
    std::string_view name;
    std::string_view text;  // a caption; a text box's first text
    Twips at;               // from the frame's corner, else the window's client area
    std::optional<Id> frame;
    double points;  // 0: the toolkit's own look (the arrows)
    bool bold;
    int tab;                    // the tab index; focus goes through the focusable ones in its order
    std::optional<Id> names{};  // a label: the control it is the caption of
    List list = List::none;
    Fill fill = Fill::design;
    int selected = 0;
};

using enum Id;
using enum Kind;

// In the order the window is built: a frame before its children.
inline constexpr std::array<Control, 29> kMainControls{{
    {Label3, label, "Label3", "串口号", {240, 120, 1335, 375}, {}, 15.6, false, 10, chuankou_num},
    {chuankou_num, text_box, "chuankou_num", "1", {1680, 120, 615, 375}, {}, 15, false, 0},
    {VScroll2, spin, "VScroll2", "", {2280, 120, 375, 375}, {}, 0, false, 7},
    {open_comm, button, "open_comm", "打开串口", {3840, 120, 1455, 375}, {}, 15.6, false, 1},
    {Label2, label, "Label2", "波特率", {240, 720, 1335, 375}, {}, 15.6, false, 29, Combo3},
    {Combo3,
     list,
     "Combo3",
     "",
     {1440, 720, 1215, 360},
     {},
     12,
     false,
     30,
     {},
     List::bauds,
     Fill::design,
     3},
    {Label4, label, "Label4", "校验位", {240, 1200, 1335, 375}, {}, 15.6, false, 31, Combo7},
    {Combo7, list, "Combo7", "", {1440, 1200, 1215, 360}, {}, 12, false, 32, {}, List::parities},
    {Label5, label, "Label5", "模块地址", {3840, 960, 1335, 375}, {}, 15.6, false, 3, add},
    {add, text_box, "add", "1", {5160, 960, 690, 375}, {}, 15, false, 2},
    {VScroll1, spin, "VScroll1", "", {5880, 960, 375, 375}, {}, 0, false, 6},
    {Frame1, frame, "Frame1", "修改输入输出关联方式", {360, 1920, 7335, 1095}, {}, 14.4, true, 23},
    {Label7, label, "Label7", "通道", {600, 480, 855, 375}, Frame1, 14.4, false, 27, Combo1_0},
    {Combo1_0,
     list,
     "Combo1(0)",
     "",
     {1200, 480, 1215, 360},
     Frame1,
     12,
     false,
     24,
     {},
     List::channels},
    {Label8, label, "Label8", "关联方式", {3240, 480, 1215, 255}, Frame1, 14.4, false, 28, Combo2},
    {Combo2,
     list,
     "Combo2",
     "",
     {4440, 480, 1215, 360},
     Frame1,
     12,
     false,
     26,
     {},
     List::modes,
     Fill::load},
    {Command1, setting_button, "Command1", "修改", {6120, 480, 975, 375}, Frame1, 15, false, 25},
    {Frame2, frame, "Frame2", "修改输出上电状态", {360, 3240, 7335, 1095}, {}, 15, true, 17},
    {Label9, label, "Label9", "通道", {600, 480, 615, 255}, Frame2, 14.4, false, 21, Combo1_1},
    {Combo1_1,
     list,
     "Combo1(1)",
     "",
     {1200, 480, 1215, 360},
     Frame2,
     12,
     false,
     19,
     {},
     List::channels},
    {Label10,
     label,
     "Label10",
     "默认状态",
     {3240, 480, 1215, 375},
     Frame2,
     14.4,
     false,
     22,
     Combo4},
    {Combo4,
     list,
     "Combo4",
     "",
     {4440, 480, 1215, 360},
     Frame2,
     12,
     false,
     20,
     {},
     List::power_on_states,
     Fill::load},
    {Command2, setting_button, "Command2", "修改", {6120, 480, 975, 375}, Frame2, 15, false, 18},
    {Frame3, frame, "Frame3", "修改通讯参数", {360, 4560, 7335, 975}, {}, 15, true, 11},
    {Label11, label, "Label11", "波特率", {240, 360, 972, 492}, Frame3, 14.4, false, 16, Combo5},
    {Combo5,
     list,
     "Combo5",
     "",
     {1200, 360, 1215, 360},
     Frame3,
     12,
     false,
     14,
     {},
     List::bauds,
     Fill::load,
     3},
    {Label12, label, "Label12", "校验位", {3480, 360, 975, 255}, Frame3, 14.4, false, 15, Combo6},
    {Combo6,
     list,
     "Combo6",
     "",
     {4440, 360, 1215, 360},
     Frame3,
     12,
     false,
     13,
     {},
     List::parities,
     Fill::load},
    {Command3, setting_button, "Command3", "修改", {6120, 360, 975, 375}, Frame3, 15, false, 12},
}};

constexpr const Control& control(Id id) { return kMainControls.at(static_cast<std::size_t>(id)); }

// Labels and frames never take the focus; everything else does, in tab order.
constexpr bool takes_focus(const Control& c) { return c.kind != label && c.kind != frame; }

inline constexpr std::size_t kFocusCount = 16;

// The controls that take the focus, in the order Tab moves it.
constexpr std::array<Id, kFocusCount> tab_order() {
    std::array<Id, kFocusCount> order{};
    std::size_t n = 0;
    for (int tab = 0; tab <= static_cast<int>(kMainControls.size()) + 10; ++tab) {
        for (const Control& c : kMainControls) {
            if (c.tab == tab && takes_focus(c) && n < order.size()) {
                order.at(n++) = c.id;
            }
        }
    }
    return order;
}

// The table is indexed by Id, and every focusable control has a tab place.
static_assert([] {
    for (std::size_t i = 0; i < kMainControls.size(); ++i) {
        if (static_cast<std::size_t>(kMainControls.at(i).id) != i) {
            return false;
        }
    }
    return tab_order().back() == Combo7;
}());

enum class Border : std::uint8_t { fixed_single, sizable };

struct Window {
    std::string_view name;
    std::string_view title;
    Twips client;  // the client area; left and top only count when `placed`
    bool placed;   // at its designed place, else where the window system puts it
    Border border;
    bool minimize_box;
    bool maximize_box;
};

inline constexpr Window kMainWindow{
    "main_form", "TarvokV1.6", {9936, 4740, 7992, 5640}, true, Border::fixed_single, true, false};

// A control of a result window.
struct Item {
    std::string_view name;
    std::string_view text;
    Twips at;
    double points;
    int tab;
};

// A result window: its message and its one button, "确定", which only hides it.
struct ResultDialog {
    Window window;
    Item message;
    Item ok;
};

inline constexpr ResultDialog kSuccessDialog{
    {"fm_cg", "提示", {12372, 6840, 2844, 2004}, true, Border::fixed_single, false, false},
    {"Label1", "修改成功", {600, 360, 1695, 615}, 18, 1},
    {"cmd_queding", "确定", {720, 1200, 1335, 495}, 15.6, 0}};

inline constexpr ResultDialog kFailureDialog{
    {"fm_sb", "Form1", {0, 0, 2916, 1824}, false, Border::sizable, true, true},
    {"Label1", "修改失败", {720, 240, 1815, 495}, 18, 0},
    {"Command1", "确定", {600, 960, 1455, 495}, 15.6, 1}};

}  // namespace tarvok::form
