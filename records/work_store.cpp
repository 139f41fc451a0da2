#include "records/work_store.h"

namespace pk {

char workStore[WORK_STORE_SIZE];

}  // namespace pk
