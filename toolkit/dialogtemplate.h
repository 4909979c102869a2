#pragma once

#include <span>
#include <string_view>

namespace tk {

enum class ControlKind {
    Edit,
    UpDown,
    ListBox,
    ListView,
    Slider,
    Radio,
    PushButton,
    Static,
    Icon,
    GroupBox
};

// Style flags of a control, as a dialog template states them.
enum ControlFlag : unsigned {
    NoFlags = 0,
    TabStop = 1u << 0,
    ReadOnly = 1u << 1,
    Sorted = 1u << 2,
    Sunken = 1u << 3,
    RightAligned = 1u << 4,
    DefaultButton = 1u << 5,
};

inline constexpr int kNoId = -1;

// One control of a dialog template. Rectangles are in dialog units of the
// dialog font (a quarter of the average character width across, an eighth
// of the character height down). An up-down attaches itself to the control
// created just before it.
struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text; // caption, or the icon's resource path
    int x, y, width, height;
    unsigned flags;
    std::string_view accessibleName; // what a screen reader calls the control
};

// A dialog laid out control by control, in creation and tab order.
struct DialogTemplate {
    int id;
    std::string_view caption;
    int width, height;
    std::span<const ControlTemplate> controls;
};

} // namespace tk
