#include "shell/signed_word.h"

#include <gtest/gtest.h>

namespace pk {
namespace {

TEST(SignedWordTest, HalvesAreSignExtendedIndependently) {
  EXPECT_EQ(SignedLowWord(0x00C80140u), 320);
  EXPECT_EQ(SignedHighWord(0x00C80140u), 200);
  EXPECT_EQ(SignedLowWord(0x7FFF8000u), -32768);
  EXPECT_EQ(SignedHighWord(0x7FFF8000u), 32767);
  EXPECT_EQ(SignedLowWord(0xFFFF0001u), 1);
  EXPECT_EQ(SignedHighWord(0xFFFF0001u), -1);
  EXPECT_EQ(SignedLowWord(0u), 0);
  EXPECT_EQ(SignedHighWord(0u), 0);
}

}  // namespace
}  // namespace pk
