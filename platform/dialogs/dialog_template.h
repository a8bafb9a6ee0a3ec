#pragma once
// Dialog and menu templates as data: what a page is made of before it runs.
// Positions and sizes are in dialog units (a quarter of the font's average
// character width across, an eighth of its height down), as the desktop's
// templates have them; every front end turns them into its own pixels.
#include <string>
#include <vector>

namespace platform {

enum class ControlKind {
  kPushButton,
  kDefPushButton,  // the page's default button, pressed by Enter
  kListBox,
  kEdit,  // single line
  kStaticText,
};

// Control styles, one bit each. Front ends honour what they can; the dialog
// layer itself enforces kStyleNoSelection.
constexpr unsigned kStyleBorder = 1u << 0;
constexpr unsigned kStyleVScroll = 1u << 1;
constexpr unsigned kStyleHScroll = 1u << 2;
constexpr unsigned kStyleTabStop = 1u << 3;
constexpr unsigned kStyleNotify = 1u << 4;  // lists tell their parent of changes
constexpr unsigned kStyleNoIntegralHeight = 1u << 5;
constexpr unsigned kStyleNoSelection = 1u << 6;  // lists whose lines cannot be selected
constexpr unsigned kStyleAutoHScroll = 1u << 7;  // edits scroll sideways as one types
constexpr unsigned kStyleLeft = 1u << 8;         // static text aligned left
constexpr unsigned kStyleGroup = 1u << 9;
// A static text that shows data as it stands (a folder or release name may
// hold '&'): it names no control.
constexpr unsigned kStyleNoPrefix = 1u << 10;
constexpr unsigned kStylePassword = 1u << 11;  // edits whose text is a secret

constexpr int kNoControlId = -1;  // static texts that nothing refers to

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::string text;
  int x, y, width, height;  // dialog units
  unsigned style;
};

// Dialog frame styles.
constexpr unsigned kFrameCaption = 1u << 0;
constexpr unsigned kFrameSystemMenu = 1u << 1;
constexpr unsigned kFrameModal = 1u << 2;
constexpr unsigned kFramePopup = 1u << 3;
constexpr unsigned kFrameSizingBorder = 1u << 4;  // the user may resize the page
constexpr unsigned kFrameMaximizeBox = 1u << 5;

struct DialogTemplate {
  int id;
  std::string caption;  // usually replaced by the page when it opens
  int width, height;    // dialog units
  std::string font_name;
  int font_points;
  unsigned frame;
  int menu_id;                            // 0: no menu
  std::vector<ControlTemplate> controls;  // in template (tab) order

  bool resizable() const { return (frame & kFrameSizingBorder) != 0; }
};

struct MenuItem {
  std::string text;
  int command;
};

struct MenuPopup {
  std::string title;
  std::vector<MenuItem> items;
};

struct MenuTemplate {
  int id;
  std::vector<MenuPopup> popups;  // left to right
};

}  // namespace platform
