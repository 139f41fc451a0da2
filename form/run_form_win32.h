// The form engine's entry point (Win32 only).
#pragma once

#include <windows.h>

#include <cstdint>

#include "form/field_value.h"

namespace pk {

// Shows the form described by `description` (`length` characters, at most
// 2000 taken) owned by `owner`, lets the user fill it in, and returns true
// when it was confirmed. On entry `choices` and `values` (one entry per
// field, in field order) give the choices and values the form opens with.
// On confirmation they receive the form's choices and values. When the form
// is cancelled (ESC, "CANCEL") or closed, the result is false and they are
// left as they were, except that a refused confirmation attempt has already
// written the typed text to the buffers of the character fields before the
// refused field. Every call starts unconfirmed. A description that breaks the
// item rules or exceeds the form's tables shows no window and returns false,
// as does a call made while another form is open.
bool RunForm(HINSTANCE instance, HWND owner, const char* description, int32_t length,
             int8_t* choices, FieldValue* values);

}  // namespace pk
