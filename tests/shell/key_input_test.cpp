#include "shell/key_input.h"

#include <gtest/gtest.h>

namespace tonvale {

TEST(KeyInput, NativeScanCodesBecomeKeyParameters) {
  const auto x11 = [](bool release, bool repeat, quint32 native) {
    return KeyParameter(KeyFields{release, repeat, native}, NativeScanCodes::kX11);
  };
  // A is native 38: press, auto-repeat, release; auto-repeat's release is
  // dropped. Keypad slash and Up are extended; keypad slash plays as slash.
  // No scan code, and codes without a set-1 equivalent, alias no playing key.
  EXPECT_EQ(x11(false, false, 38), 0x001E0001u);
  EXPECT_EQ(x11(false, true, 38), 0x401E0001u);
  EXPECT_EQ(x11(true, false, 38), 0xC01E0001u);
  EXPECT_EQ(x11(true, true, 38), std::nullopt);
  EXPECT_EQ(x11(true, false, 106), 0xC1350001u);
  EXPECT_EQ(x11(false, false, 111), 0x01480001u);
  for (quint32 native : {0u, 7u, 8u + 113u, 8u + 258u}) EXPECT_EQ(x11(false, false, native), 1u);
  // Windows: bit 8 marks an extended key, the bits above are not ours.
  EXPECT_EQ(KeyParameter(KeyFields{false, false, 0x335}, NativeScanCodes::kWindows), 0x01350001u);
}

}  // namespace tonvale
