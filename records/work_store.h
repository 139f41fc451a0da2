// The one large character store of the process. The window's logo keeps its
// pixel rows in it from window creation on; the extraction job then takes it
// over for the symbol table and its needed list (the logo is never painted
// again by then). Neither owner keeps anything in it for the other.
#pragma once

#include <cstdint>

namespace pk {

constexpr int32_t WORK_STORE_SIZE = 1500000;

// All zero at process start.
extern char workStore[WORK_STORE_SIZE];

}  // namespace pk
