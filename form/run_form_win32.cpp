#include "form/run_form_win32.h"

#include "form/form_description.h"
#include "form/form_state.h"
#include "form/form_window_win32.h"

namespace pk {

namespace {

// The one form state serves one form at a time.
bool formOpen = false;

}  // namespace

bool RunForm(HINSTANCE instance, HWND owner, const char* description, int32_t length,
             int8_t* choices, FieldValue* values) {
  if (formOpen) return false;
  FormState& state = formState;
  if (PrepareForm(state, description, length) != DescriptionStatus::OK) return false;
  if (state.fieldCount > 0 && (!choices || !values)) return false;
  LoadFieldValues(state, choices, values);
  formOpen = true;
  HWND window = nullptr;
  if (CreateFormWindow(instance, owner, &window)) RunFormLoop(window);
  formOpen = false;
  if (state.confirmed) StoreFieldValues(state, choices, values);
  return state.confirmed;
}

}  // namespace pk
