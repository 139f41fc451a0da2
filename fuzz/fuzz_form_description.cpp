// Fuzz target: the form-description walk on arbitrary descriptions of up to
// 2000 bytes. The counts equal the reference count of the description; a form
// that may be shown keeps to the limits of its tables; the walk only ever asks
// for fields and rows that exist and hands over NUL-ended texts.
#include <cstdint>
#include <cstring>
#include <string>

#include "form/form_description.h"
#include "form/form_state.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/line_model.h"

namespace {

pk::FormState state;

struct ModelCounts {
  std::string text;
  int32_t formLength;
  int32_t fieldCount;
  int32_t textLineCount;
};

// The counting pass written out plainly: the type letters (the first
// character and each one after "|") are folded as the scan reaches them.
ModelCounts CountDescription(const uint8_t* data, size_t size) {
  ModelCounts counts{std::string(reinterpret_cast<const char*>(data), size), 0, 0, 0};
  counts.text.resize(pk::FORM_TEXT_LENGTH, ' ');
  std::string& text = counts.text;
  text[0] = pk::fuzzing::ModelFold(text[0]);
  size_t n = 0;
  for (; n < pk::FORM_PARSED_LENGTH && text[n] != '\0'; ++n) {
    if (text[n] == '|') {
      text[n + 1] = pk::fuzzing::ModelFold(text[n + 1]);
      if (text[n + 1] != 'T' && text[n + 1] != 'H') ++counts.fieldCount;
    }
    if (text[n] == '\\') ++counts.textLineCount;
  }
  if (text[0] == 'T' || text[0] == 'H') --counts.fieldCount;
  counts.formLength = static_cast<int32_t>(n);
  return counts;
}

bool HasNul(const char* text, size_t room) {
  return std::memchr(text, '\0', room) != nullptr;
}

// A refused description is still walked (harmlessly, within the tables);
// only an accepted one must also keep to its own counts.
bool accepted = false;

void CheckField(const pk::FormState& form, int32_t field) {
  PK_FUZZ_CHECK(field >= 1 && field <= pk::MAX_FIELDS);
  PK_FUZZ_CHECK(!accepted || field <= form.fieldCount);
}

void CheckRow(const pk::FormState& form, int32_t row) {
  PK_FUZZ_CHECK(row >= 1 && row <= pk::MAX_ROWS);
  PK_FUZZ_CHECK(!accepted || row <= form.rowCount);
}

void CheckListBox(void*, pk::FormState& form, int32_t field, int32_t row, char type) {
  CheckField(form, field);
  CheckRow(form, row);
  PK_FUZZ_CHECK(pk::HasListBox(type));
}

void CheckListEntry(void*, pk::FormState& form, int32_t field) {
  CheckField(form, field);
  PK_FUZZ_CHECK(HasNul(form.scratch.chars, pk::SCRATCH_LENGTH));
}

void CheckButtonRow(void*, pk::FormState& form, int32_t field, int32_t row) {
  CheckField(form, field);
  CheckRow(form, row);
  const int32_t buttons = form.rowButtonCount[field];
  PK_FUZZ_CHECK(buttons >= 1 && buttons <= pk::MAX_ROW_BUTTONS);
  PK_FUZZ_CHECK(form.rowFirstButton[field] + buttons <= pk::MAX_FORM_BUTTONS);
  for (int32_t b = 1; b <= buttons; ++b) {
    PK_FUZZ_CHECK(HasNul(form.buttonCaptions[b].chars, pk::BUTTON_CAPTION_ROOM));
  }
}

void CheckCaption(void*, pk::FormState& form) {
  PK_FUZZ_CHECK(HasNul(form.caption, pk::CAPTION_LENGTH + 1));
}

const pk::FormBuilder kCheckingBuilder = {nullptr, CheckListBox, CheckListEntry, CheckButtonRow,
                                          CheckCaption};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(pk::FORM_TEXT_LENGTH)) return 0;
  const pk::DescriptionStatus prepared =
      pk::PrepareForm(state, reinterpret_cast<const char*>(data), static_cast<int32_t>(size));

  const ModelCounts expected = CountDescription(data, size);
  PK_FUZZ_CHECK(std::string(state.formText.chars, pk::FORM_TEXT_LENGTH) == expected.text);
  PK_FUZZ_CHECK(state.formLength == expected.formLength);
  PK_FUZZ_CHECK(state.fieldCount == expected.fieldCount);
  PK_FUZZ_CHECK(state.textLineCount == expected.textLineCount);
  PK_FUZZ_CHECK(state.rowCount == state.fieldCount + state.textLineCount);
  PK_FUZZ_CHECK(!state.confirmed);

  accepted = prepared == pk::DescriptionStatus::OK;
  const pk::DescriptionStatus walked = pk::WalkDescription(state, &kCheckingBuilder);
  if (prepared == pk::DescriptionStatus::OK) {
    PK_FUZZ_CHECK(walked == pk::DescriptionStatus::OK);
    PK_FUZZ_CHECK(state.fieldCount >= 0 && state.fieldCount <= pk::MAX_FIELDS);
    PK_FUZZ_CHECK(state.rowCount <= pk::MAX_ROWS);
    PK_FUZZ_CHECK(state.buttonTotal >= 0 && state.buttonTotal <= pk::MAX_FORM_BUTTONS);
    for (int32_t field = 1; field <= state.fieldCount; ++field) {
      PK_FUZZ_CHECK(pk::IsFieldLetter(state.fieldType[field]));
      PK_FUZZ_CHECK(state.fieldRow[field] >= 1 && state.fieldRow[field] <= state.rowCount);
    }
  }
  return 0;
}
