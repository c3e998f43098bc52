#pragma once

#include <span>
#include <string_view>

namespace lumivo {

// Pictures that the form definitions refer to; each backend knows where to find them.
enum class Picture { None, ClosedDoorLamp, OpenDoorLamp, ProgramIcon, AboutPicture, HandCursor };

enum class ControlType { CommandButton, Timer, PictureBox, Label };
enum class Appearance { Flat, ThreeD };
enum class BorderStyle { None, Sizable };
enum class StartUpPosition { WindowsDefault, CenterScreen };

// One control of a form definition. Positions and sizes are in twips, relative to the
// container. A form's controls are created in the order of its table.
struct ControlLayout {
  int id = 0;  // the form's own number for the control, reported with its events
  ControlType type = ControlType::Label;
  std::u16string_view name;  // the designer's name, which the call logs of tests show
  int index = -1;            // element of a control array; -1 for a single control
  int container = -1;        // id of the control that contains this one; -1 for the form
  int left = 0, top = 0, width = 0, height = 0;
  std::u16string_view caption;
  Picture picture = Picture::None;
  Appearance appearance = Appearance::ThreeD;
  bool autoSize = false;
  std::u16string_view toolTip;
  Picture mouseIcon = Picture::None;  // custom mouse pointer; None keeps the default arrow
  int interval = 0;                   // timers only, milliseconds
  bool enabled = true;
};

// A popup menu item; the caption "-" makes a separator.
struct MenuItemLayout {
  int id = 0;
  std::u16string_view name;
  std::u16string_view caption;
};

inline constexpr std::u16string_view kMenuSeparator = u"-";

struct FormLayout {
  std::u16string_view name;
  std::u16string_view caption;
  Picture icon = Picture::None;
  BorderStyle border = BorderStyle::Sizable;
  StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
  int width = 0, height = 0;  // client area, twips
  // A form laid over a bitmap keeps the scale its layout was made at, so that its controls
  // stay on the bitmap's pixels at every screen setting; 0 takes the screen's twips per pixel.
  float designTwipsPerPixel = 0;
  std::span<const ControlLayout> controls;
  std::span<const MenuItemLayout> menu;  // the form's one popup-only menu, if any
};

}  // namespace lumivo
