#include "form/form_layout.h"

namespace pk {

namespace {

constexpr int32_t COMPACT_ABOVE_ROWS = 10;
constexpr int32_t WINDOW_COLUMNS = 64;
constexpr int32_t LIST_BOX_COLUMN = 30;
constexpr int32_t LIST_BOX_COLUMNS = 30;
constexpr int32_t BUTTON_ROW_COLUMNS = 60;
constexpr int32_t CANCEL_COLUMN = 32;
constexpr int32_t OK_CANCEL_COLUMNS = 26;

// The single-precision constants of the layout, widened exactly.
constexpr double Single(float value) {
  return static_cast<double>(value);
}

int32_t Truncate(double value) {
  return static_cast<int32_t>(value);
}

// (row x lineSpacing + topOffset + extra) x lineHeight, truncated.
int32_t RowY(const FormState& state, double row, double extra) {
  return Truncate((row * Single(state.lineSpacing) + Single(state.topOffset) + extra) *
                  state.lineHeight);
}

}  // namespace

void SetLayoutUnits(FormState& state, int32_t averageCharWidth, int32_t height,
                    int32_t externalLeading) {
  state.charWidth = averageCharWidth;
  state.lineHeight = height + externalLeading;
  const bool compact = state.rowCount > COMPACT_ABOVE_ROWS;
  state.lineSpacing = compact ? 1.2f : 2.0f;
  state.itemHeight = compact ? 1.2f : 1.75f;
  state.topOffset = compact ? 0.0f : 1.0f;
}

int32_t RowTop(const FormState& state, int32_t row) {
  return RowY(state, row, 0.0);
}

PixelRect FormWindowRect(const FormState& state) {
  const double extraRows = state.rowCount > COMPACT_ABOVE_ROWS ? Single(4.3f) : 4.0;
  const int32_t height =
      Truncate((state.rowCount + extraRows) * state.lineHeight * Single(state.lineSpacing));
  return {0, 0, WINDOW_COLUMNS * state.charWidth, height};
}

PixelPoint RowTextPosition(const FormState& state, int32_t row) {
  return {state.charWidth, RowTop(state, row)};
}

PixelRect ListBoxRect(const FormState& state, int32_t row) {
  return {LIST_BOX_COLUMN * state.charWidth, RowTop(state, row), LIST_BOX_COLUMNS * state.charWidth,
          Truncate(state.lineHeight * Single(state.itemHeight) * Single(6.0f))};
}

PixelPoint ListMarkPosition(const FormState& state, int32_t row) {
  return {Truncate(state.charWidth * Single(60.7f)), RowY(state, row, Single(0.3f))};
}

PixelRect RowButtonRect(const FormState& state, int32_t row, int32_t count, int32_t button) {
  const int32_t columns = BUTTON_ROW_COLUMNS / count;
  return {state.charWidth * (1 + (button - 1) * columns), RowTop(state, row),
          (columns - 1) * state.charWidth, ListItemHeight(state)};
}

PixelRect OkButtonRect(const FormState& state) {
  return {state.charWidth, RowTop(state, state.rowCount), OK_CANCEL_COLUMNS * state.charWidth,
          ListItemHeight(state)};
}

PixelRect CancelButtonRect(const FormState& state) {
  PixelRect rect = OkButtonRect(state);
  rect.x = CANCEL_COLUMN * state.charWidth;
  return rect;
}

PixelPoint HelpLinePosition(const FormState& state, int32_t line) {
  const double extra = line == 1 ? -1.0 : 0.0;
  return {state.charWidth, RowY(state, state.rowCount + 2, extra)};
}

int32_t ListItemHeight(const FormState& state) {
  return Truncate(state.lineHeight * Single(state.itemHeight));
}

int32_t EmptyListItemHeight(const FormState& state) {
  return Truncate(state.lineHeight * Single(state.itemHeight) * Single(7.0f));
}

ListSetup FieldListSetup(const FormState& state, int32_t field) {
  const bool selection = state.fieldType[field] == 'S';
  if (!selection && !state.hasList[field]) return {false, -1, EmptyListItemHeight(state), false};
  const bool select = selection || state.choice[field] != 0;
  return {select, state.choice[field] - 1, ListItemHeight(state), true};
}

}  // namespace pk
