// Reading a form description: the counts, the rows and the tables of the form.
//
// A description is a run of items, each a type letter, segments ended by "^"
// or "\", and a closing "|". Field items ("C", "I", "L", "R", "D", "S", "B")
// have a label ended by the first "^" and list entries (button captions for
// "B") ended by further "^"; "\" ends a centred text line; a "T" item holds
// only text lines and an "H" item the window caption.
#pragma once

#include <cstdint>

#include "form/field_value.h"
#include "form/form_state.h"

namespace pk {

enum class DescriptionStatus {
  OK,
  TOO_MANY_FIELDS,        // more than 20 field items
  TOO_MANY_ROWS,          // more than 25 rows
  TOO_MANY_BUTTONS,       // more than 8 in a row or 16 in the form
  TOO_MANY_ENTRIES,       // more list entries than a choice number can count
  UNKNOWN_ITEM,           // an item letter that is not one of the nine
  FIELD_WITHOUT_LABEL,    // a field item closed without a "^"
  SEGMENT_OUTSIDE_FIELD,  // a "^" in a "T" or "H" item
  UNCLOSED_ITEM,          // separators after the last "|", or counts that disagree
};

// What the walk asks the window side to create. Every member may be null.
struct FormBuilder {
  void* context;
  // The list box of `field`, whose label is on `row` (from 1), for type `type`.
  void (*createListBox)(void* context, FormState& state, int32_t field, int32_t row, char type);
  // One more list entry of `field`: the NUL-ended text in `state.scratch`.
  void (*addListEntry)(void* context, FormState& state, int32_t field);
  // The buttons of the button-row `field` on `row`; their tables are filled.
  void (*createButtonRow)(void* context, FormState& state, int32_t field, int32_t row);
  // The window caption: the NUL-ended text in `state.caption`.
  void (*setCaption)(void* context, FormState& state);
};

// Starts a form: `confirmed` := false; copies the first 2000 characters of
// `description` (`length` of them, blank padded; a null description or a
// negative length is empty) into `formText`, folds every item's type letter,
// sets `formLength`, `fieldCount`, `textLineCount`, `rowCount` and `scratch`
// (a NUL and blanks), then checks the whole description with a walk that
// creates nothing. Returns OK when the form can be shown; any other status
// means the description breaks the item rules or the limits and the form
// must not be shown (the tables then hold nothing of use).
DescriptionStatus PrepareForm(FormState& state, const char* description, int32_t length);

// Walks the parsed description: rebuilds `rows`, `rowMark`, `fieldType`,
// `fieldRow`, `hasList`, the button tables and `caption`, resets the control
// handles to null, and calls `builder` (if not null) in description order.
// Never writes outside a table: it stops at the first broken rule and returns
// its status.
DescriptionStatus WalkDescription(FormState& state, const FormBuilder* builder);

// Copies the caller's choices and values of fields 1 to `fieldCount` in
// (`choices` and `values` hold one entry per field, in field order).
void LoadFieldValues(FormState& state, const int8_t* choices, const FieldValue* values);

// Copies the choices and values of fields 1 to `fieldCount` out to the caller.
void StoreFieldValues(const FormState& state, int8_t* choices, FieldValue* values);

// How many characters of a row are painted: 0 for a button row (column 1 is
// NUL), 30 for a field label (column 31 is NUL), 60 for a text line.
int32_t RowPaintCount(const FormRow& row);

}  // namespace pk
