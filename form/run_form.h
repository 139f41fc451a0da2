// The form engine's entry point (Win32 only).
#pragma once

#include <windows.h>

#include <cstdint>

#include "form/field_value.h"

namespace pk {

// Shows the form described by `description` (`length` characters) owned by
// `owner`, lets the user fill it in, and returns true when it was confirmed.
// On confirmation `choices` and `values` (one entry per field, in field order)
// receive the form's choices and values; otherwise they are left as they were.
bool RunForm(HINSTANCE instance, HWND owner, const char* description, int32_t length,
             int8_t* choices, FieldValue* values);

}  // namespace pk
