// Where the form window, its rows and its controls go, in pixels.
//
// Positions derive from the fixed font's `charWidth` and `lineHeight` and
// from three single-precision layout factors; every position is computed in
// double precision from those single-precision numbers and truncated toward
// zero.
#pragma once

#include <cstdint>

#include "form/form_state.h"

namespace pk {

struct PixelRect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

struct PixelPoint {
  int32_t x;
  int32_t y;
};

constexpr char HELP_LINE_1[] = "ENTER or TAB=down   CTRL-BACKSPACE=up   ESCAPE = Cancel";
constexpr char HELP_LINE_2[] = "SPACE BAR presses button       CNTR-ENTER=confirms form";
constexpr int32_t HELP_LINE_LENGTH = 55;

// Sets `charWidth` and `lineHeight` (the font's average character width and
// its height plus external leading) and chooses the layout factors: 2.0, 1.75
// and 1.0 for up to 10 rows, the compact 1.2, 1.2 and 0.0 for more.
void SetLayoutUnits(FormState& state, int32_t averageCharWidth, int32_t height,
                    int32_t externalLeading);

// The top of row `row`, counted from 0.
int32_t RowTop(const FormState& state, int32_t row);

// The form window at (0, 0): 64 character widths by the rows plus room for
// the buttons and the help lines.
PixelRect FormWindowRect(const FormState& state);

// The label or text line of row `row` (from 0).
PixelPoint RowTextPosition(const FormState& state, int32_t row);

// The list box of a field on row `row` (from 0), its drop-down part included.
PixelRect ListBoxRect(const FormState& state, int32_t row);

// The list mark after the list box of row `row` (from 0).
PixelPoint ListMarkPosition(const FormState& state, int32_t row);

// Button `button` (1..count) of a row of `count` buttons on row `row` (from 0).
PixelRect RowButtonRect(const FormState& state, int32_t row, int32_t count, int32_t button);

// "O.K." and "CANCEL", on the row after the last.
PixelRect OkButtonRect(const FormState& state);
PixelRect CancelButtonRect(const FormState& state);

// Help line 1 or 2.
PixelPoint HelpLinePosition(const FormState& state, int32_t line);

// The height of one list entry and of a list box's selection field.
int32_t ListItemHeight(const FormState& state);

// The entry height given to a field without list entries, so that its
// drop-down part stays one tall empty entry.
int32_t EmptyListItemHeight(const FormState& state);

// How a field's list box is set up once its entries are in.
struct ListSetup {
  bool select;              // send the selection
  int32_t selectIndex;      // 0-based entry, -1 for none
  int32_t entryHeight;      // height of the list entries
  bool setSelectionHeight;  // also set the selection field's height
};

// For a selection field or a field with entries: select entry `choice` - 1
// (an "S" field with choice 0 selects none; another field with choice 0
// keeps its value text) and give entries and selection field one item
// height. For a field without entries only the entry height, seven times
// taller.
ListSetup FieldListSetup(const FormState& state, int32_t field);

}  // namespace pk
