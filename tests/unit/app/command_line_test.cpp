#include <gtest/gtest.h>
#include "app/command_line.h"
TEST(X, Y) { EXPECT_EQ(cs::ParseArguments("/s").mode, cs::ScreenMode::Saver); }
