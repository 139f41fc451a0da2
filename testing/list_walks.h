// Test support: the lookups of the master list and the needed list done by
// walking every entry in list order, the plain references the indexes of
// LookUpIdentifier and FindNeededWord are compared with (by the tests, the
// fuzz targets and the benchmark).
#pragma once

#include <cstdint>

namespace pk::testing {

// What LookUpIdentifier gives: the first entry, in list order, whose text
// equals the identifier, whatever its terminator; 0 when none does.
int32_t LookUpIdentifierByWalk(const char* chars, int32_t length);

// What FindNeededWord gives: the first word in list order whose terminator is
// MARK_OPEN and whose text equals the given one; 0 when none.
int32_t FindNeededWordByWalk(const char* chars, int32_t length);

}  // namespace pk::testing
