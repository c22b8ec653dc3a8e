// The channel I/O string becomes the list of output layouts the host may choose from.
#include "Plugin.h"

#include <gtest/gtest.h>

TEST(ChannelIO, ParsesOneTwoAndThreeStereoBuses) {
  const auto layouts = vfw::parseChannelIO("0-2 0-2.2 0-2.2.2");
  ASSERT_EQ(layouts.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(layouts[i].nInputChannels, 0);
    EXPECT_EQ(layouts[i].nOutputBuses, i + 1);
    EXPECT_EQ(layouts[i].TotalOutputChannels(), 2 * (i + 1));
  }
}

TEST(ChannelIO, EmptyOrBrokenStringsFallBackToOneStereoBus) {
  for (const char* s : {"", "   ", "0-", "x"}) {
    const auto layouts = vfw::parseChannelIO(s);
    ASSERT_EQ(layouts.size(), 1u) << s;
    EXPECT_EQ(layouts[0].outputChannels[0], 2) << s;
  }
  EXPECT_EQ(vfw::parseChannelIO(nullptr).size(), 1u);
}
