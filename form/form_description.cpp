#include "form/form_description.h"

namespace pk {

namespace {

constexpr char ITEM_END = '|';
constexpr char SEGMENT_END = '^';
constexpr char LINE_END = '\\';
constexpr int32_t MAX_LIST_ENTRIES = 127;  // the largest choice number a signed byte holds

bool IsItemLetter(char letter) {
  return IsFieldLetter(letter) || letter == 'T' || letter == 'H';
}

// Copies description positions first..last (an empty run when last < first),
// cut to `room` characters, to `out` followed by a NUL.
void CopySegment(const FormState& state, int32_t first, int32_t last, int32_t room, char* out) {
  int32_t length = last - first + 1;
  if (length > room) length = room;
  for (int32_t i = 0; i < length; ++i) out[i] = state.formText.At(first + i);
  out[length < 0 ? 0 : length] = '\0';
}

// A text line: the segment centred in 60 columns, a longer one cut at 60.
void SetCentredRow(FormState& state, int32_t row, int32_t first, int32_t last) {
  FormRow& text = state.rows[row];
  const int32_t length = last - first + 1;
  const int32_t shift = length < ROW_LENGTH ? (ROW_LENGTH - length) / 2 : 0;
  Assign(text.chars, 1, ROW_LENGTH, "", 1, 0);
  Assign(text.chars, shift + 1, ROW_LENGTH, state.formText.chars, first, last);
}

// A field row: the label in columns 1 to 30, cut there, and a NUL in column 31.
void SetLabelRow(FormState& state, int32_t row, int32_t first, int32_t last) {
  FormRow& text = state.rows[row];
  Assign(text.chars, 1, LABEL_SHOWN, state.formText.chars, first, last);
  text.At(LABEL_SHOWN + 1) = '\0';
  Assign(text.chars, LABEL_SHOWN + 2, ROW_LENGTH, "", 1, 0);
}

void ResetTables(FormState& state) {
  for (int32_t r = 0; r <= MAX_ROWS; ++r) {
    Assign(state.rows[r].chars, 1, ROW_LENGTH, "", 1, 0);
    state.rowMark[r] = BLANK;
  }
  for (int32_t k = 0; k <= MAX_FIELDS; ++k) {
    state.fieldType[k] = BLANK;
    state.fieldRow[k] = 0;
    state.hasList[k] = false;
    state.rowButtonCount[k] = 0;
    state.rowFirstButton[k] = 0;
  }
  for (int32_t c = 0; c <= CANCEL_CONTROL; ++c) state.fieldControl[c] = nullptr;
  for (int32_t b = 0; b <= MAX_FORM_BUTTONS; ++b) {
    state.buttonHandle[b] = nullptr;
    state.buttonField[b] = 0;
  }
  state.buttonTotal = 0;
  state.caption[0] = '\0';
}

// The walk's position inside the current item.
struct Walk {
  char type;
  int32_t segmentStart;
  bool itemStart;
  int32_t row;
  int32_t field;
  int32_t rowButtons;
  int32_t entries;
};

DescriptionStatus AddButton(FormState& state, Walk& walk, int32_t first, int32_t last) {
  if (walk.rowButtons >= MAX_ROW_BUTTONS || state.buttonTotal >= MAX_FORM_BUTTONS) {
    return DescriptionStatus::TOO_MANY_BUTTONS;
  }
  ++walk.rowButtons;
  ++state.buttonTotal;
  CopySegment(state, first, last, BUTTON_CAPTION_ROOM - 1,
              state.buttonCaptions[walk.rowButtons].chars);
  return DescriptionStatus::OK;
}

DescriptionStatus StartField(FormState& state, Walk& walk, int32_t p, const FormBuilder* builder) {
  if (!IsFieldLetter(walk.type)) {
    return IsItemLetter(walk.type) ? DescriptionStatus::SEGMENT_OUTSIDE_FIELD
                                   : DescriptionStatus::UNKNOWN_ITEM;
  }
  if (walk.field >= MAX_FIELDS) return DescriptionStatus::TOO_MANY_FIELDS;
  if (walk.row >= MAX_ROWS) return DescriptionStatus::TOO_MANY_ROWS;
  ++walk.row;
  ++walk.field;
  state.fieldRow[walk.field] = walk.row;
  walk.entries = 0;
  SetLabelRow(state, walk.row, walk.segmentStart, p - 1);
  if (walk.type == 'B') {
    walk.rowButtons = 0;
    return AddButton(state, walk, walk.segmentStart, p - 1);
  }
  if (builder && builder->createListBox) {
    builder->createListBox(builder->context, state, walk.field, walk.row, walk.type);
  }
  return DescriptionStatus::OK;
}

DescriptionStatus AddEntry(FormState& state, Walk& walk, int32_t p, const FormBuilder* builder) {
  if (walk.type == 'B') return AddButton(state, walk, walk.segmentStart, p - 1);
  if (++walk.entries > MAX_LIST_ENTRIES) return DescriptionStatus::TOO_MANY_ENTRIES;
  CopySegment(state, walk.segmentStart, p - 1, LIST_ENTRY_LENGTH, state.scratch.chars);
  state.hasList[walk.field] = true;
  state.rowMark[walk.row] = LIST_MARK;
  if (builder && builder->addListEntry) builder->addListEntry(builder->context, state, walk.field);
  return DescriptionStatus::OK;
}

DescriptionStatus CloseItem(FormState& state, Walk& walk, int32_t p, const FormBuilder* builder) {
  if (!IsItemLetter(walk.type)) return DescriptionStatus::UNKNOWN_ITEM;
  if (IsFieldLetter(walk.type) && walk.itemStart) return DescriptionStatus::FIELD_WITHOUT_LABEL;
  if (walk.type == 'B') {
    const int32_t n = walk.rowButtons;
    const int32_t before = state.buttonTotal - n;
    for (int32_t j = 1; j <= n; ++j) state.buttonField[before + j] = walk.field;
    state.rows[walk.row].At(1) = '\0';
    state.rowButtonCount[walk.field] = n;
    state.rowFirstButton[walk.field] = before;
    state.fieldType[walk.field] = 'B';
    if (builder && builder->createButtonRow) {
      builder->createButtonRow(builder->context, state, walk.field, walk.row);
    }
  } else if (IsFieldLetter(walk.type)) {
    state.fieldType[walk.field] = walk.type;
  } else if (walk.type == 'H') {
    CopySegment(state, walk.segmentStart, p - 1, CAPTION_LENGTH, state.caption);
    if (builder && builder->setCaption) builder->setCaption(builder->context, state);
  }
  return DescriptionStatus::OK;
}

}  // namespace

DescriptionStatus PrepareForm(FormState& state, const char* description, int32_t length) {
  state.confirmed = false;
  if (!description || length < 0) length = 0;
  if (length > FORM_TEXT_LENGTH) length = FORM_TEXT_LENGTH;
  AssignText(state.formText, description ? description : "", length);

  FixedText<FORM_TEXT_LENGTH>& text = state.formText;
  text.At(1) = FoldCase(text.At(1));
  state.fieldCount = 0;
  state.textLineCount = 0;
  int32_t n = 1;
  for (; n < FORM_TEXT_LENGTH && text.At(n) != '\0'; ++n) {
    if (text.At(n) == ITEM_END) {
      text.At(n + 1) = FoldCase(text.At(n + 1));
      if (text.At(n + 1) != 'T' && text.At(n + 1) != 'H') ++state.fieldCount;
    }
    if (text.At(n) == LINE_END) ++state.textLineCount;
  }
  if (text.At(1) == 'T' || text.At(1) == 'H') --state.fieldCount;
  state.formLength = n - 1;
  state.rowCount = state.fieldCount + state.textLineCount;
  Assign(state.scratch.chars, 1, SCRATCH_LENGTH, "", 1, 0);
  state.scratch.At(1) = '\0';

  if (state.fieldCount > MAX_FIELDS) return DescriptionStatus::TOO_MANY_FIELDS;
  if (state.rowCount > MAX_ROWS) return DescriptionStatus::TOO_MANY_ROWS;
  return WalkDescription(state, nullptr);
}

DescriptionStatus WalkDescription(FormState& state, const FormBuilder* builder) {
  ResetTables(state);
  Walk walk{state.formText.At(1), 2, true, 0, 0, 0, 0};
  for (int32_t p = 2; p <= state.formLength; ++p) {
    const char c = state.formText.At(p);
    DescriptionStatus status = DescriptionStatus::OK;
    if (c == LINE_END) {
      if (walk.row >= MAX_ROWS) return DescriptionStatus::TOO_MANY_ROWS;
      ++walk.row;
      SetCentredRow(state, walk.row, walk.segmentStart, p - 1);
      walk.segmentStart = p + 1;
    } else if (c == SEGMENT_END) {
      status =
          walk.itemStart ? StartField(state, walk, p, builder) : AddEntry(state, walk, p, builder);
      walk.segmentStart = p + 1;
      walk.itemStart = false;
    } else if (c == ITEM_END) {
      status = CloseItem(state, walk, p, builder);
      if (p + 1 <= state.formLength) walk.type = state.formText.At(p + 1);
      walk.segmentStart = p + 2;
      walk.itemStart = true;
      ++p;  // the next item's type letter is no separator
    }
    if (status != DescriptionStatus::OK) return status;
  }
  // Separators after the last "|" make rows or fields that the counts miss.
  if (walk.field != state.fieldCount || walk.row != state.rowCount) {
    return DescriptionStatus::UNCLOSED_ITEM;
  }
  return DescriptionStatus::OK;
}

void LoadFieldValues(FormState& state, const int8_t* choices, const FieldValue* values) {
  for (int32_t k = 1; k <= state.fieldCount; ++k) {
    state.choice[k] = choices[k - 1];
    state.value[k] = values[k - 1];
  }
}

void StoreFieldValues(const FormState& state, int8_t* choices, FieldValue* values) {
  for (int32_t k = 1; k <= state.fieldCount; ++k) {
    choices[k - 1] = state.choice[k];
    values[k - 1] = state.value[k];
  }
}

int32_t RowPaintCount(const FormRow& row) {
  if (row.At(1) == '\0') return 0;
  return row.At(LABEL_SHOWN + 1) == '\0' ? LABEL_SHOWN : ROW_LENGTH;
}

}  // namespace pk
