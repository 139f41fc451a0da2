// Fuzzing support: a property check that stops the run with a message, so a
// broken property is a finding just like a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#define PK_FUZZ_CHECK(condition)                                                            \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
