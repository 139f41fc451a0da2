#include "form/form_state.h"

namespace pk {

FormState formState;

}  // namespace pk
