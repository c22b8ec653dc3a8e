// The undo history's joining rule, its 80-step cap and the redo stack, with the clock given by hand.
#include "UndoHistory.h"

#include <gtest/gtest.h>

using History = vorrel::UndoHistory<int>;

namespace {

// One edit from `from` to `to`, ending at time t (ms).
void edit(History& h, int from, int to, double t) {
  h.mark(from);
  h.push(to, t);
}

}  // namespace

TEST(UndoHistory, EditsCloserThan400MsJoinOneStep) {
  History h;
  edit(h, 0, 1, 1000);
  edit(h, 1, 2, 1300);  // 300 ms later: joins
  EXPECT_EQ(h.undoSteps(), 1u);
  edit(h, 2, 3, 1800);  // 500 ms later: a step of its own
  EXPECT_EQ(h.undoSteps(), 2u);
  int out = -1;
  ASSERT_TRUE(h.doUndo(3, out));
  EXPECT_EQ(out, 2);
  ASSERT_TRUE(h.doUndo(2, out));
  EXPECT_EQ(out, 0);  // the joined pair goes back to the state before its first edit
  EXPECT_FALSE(h.doUndo(0, out));
  // Without a mark the state after the edit is what is kept.
  h.push(7, 10000);
  ASSERT_TRUE(h.doUndo(8, out));
  EXPECT_EQ(out, 7);
}

TEST(UndoHistory, TheEightyFirstStepDropsTheOldest) {
  History h;
  for (int i = 0; i < 81; ++i) edit(h, i, i + 1, 1000.0 * i);
  EXPECT_EQ(h.undoSteps(), 80u);
  int current = 81;
  int undos = 0;
  int out = -1;
  while (h.doUndo(current, out)) {
    current = out;
    ++undos;
  }
  EXPECT_EQ(undos, 80);
  EXPECT_EQ(current, 1);  // the step back to 0 is gone
  EXPECT_EQ(h.redoSteps(), 80u);
}

TEST(UndoHistory, RedoIsEmptiedByAnEditAndNeverJoins) {
  History h;
  edit(h, 0, 1, 1000);
  edit(h, 1, 2, 2000);
  int out = -1;
  ASSERT_TRUE(h.doUndo(2, out));
  ASSERT_TRUE(h.doRedo(1, out));
  EXPECT_EQ(out, 2);
  ASSERT_TRUE(h.doUndo(2, out));
  // 100 ms after the last push, but undo and redo reset its time: this edit is a step of its own.
  edit(h, 1, 5, 2100);
  EXPECT_FALSE(h.canRedo());
  EXPECT_EQ(h.undoSteps(), 2u);
  ASSERT_TRUE(h.doUndo(5, out));
  EXPECT_EQ(out, 1);
}
