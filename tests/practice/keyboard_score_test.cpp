// The keyboard score: keys in order, bars between them, ties and held
// beats one key, rests and leading or trailing bars left out.
#include "practice/keyboard_score.h"

#include <gtest/gtest.h>

#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadOk;

TEST(KeyboardScore, KeysBetweenBarsWithShiftAndCtrl) {
  EXPECT_EQ(KeyboardScore(ReadOk("1=C 4/4\n5, 1 2 3 | 4 - 3 - |")), "i a s d | f d");
  // A bar of rests first, a tie over a bar, two bars of rests, then keys
  // beyond the reach of the plain keys.
  EXPECT_EQ(KeyboardScore(ReadOk("0 0 0 0 | 0 1 2 2 ~ | 2 0 0 0 | 0 0 0 0 | 3'' 4,, 0 0 |")),
            "a s s | | | Shift+; Ctrl+u");
  // Repeats written out; after a change of key the degrees move, the keys
  // are still those of the first key.
  EXPECT_EQ(KeyboardScore(ReadOk("R{ 1 } 1=G 1")), "a a g");
}

}  // namespace
}  // namespace tonvale
