// Undo and redo stacks over any snapshot record: edits closer than 400 ms join one step, at most 80 steps.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vorrel {

template <typename Snap>
class UndoHistory {
 public:
  static constexpr size_t kMaxSteps = 80;
  static constexpr double kJoinMs = 400.0;
  static constexpr double kNever = -1e18;  // last push time that joins nothing

  // The state just before the edit under way.
  void mark(const Snap& before) {
    markSnap = before;
    markSet = true;
  }

  // An edit has ended; current is the state after it, nowMs monotonic milliseconds.
  void push(const Snap& current, double nowMs) {
    const bool joins = nowMs - lastPush < kJoinMs && !undoStack.empty();
    lastPush = nowMs;
    if (!joins) {
      undoStack.push_back(markSet ? markSnap : current);
      if (undoStack.size() > kMaxSteps) undoStack.erase(undoStack.begin());
    }
    markSet = false;
    redoStack.clear();
  }

  // Moves one step back: current goes to the redo stack, out receives the state to apply.
  bool doUndo(const Snap& current, Snap& out) { return step(undoStack, redoStack, current, out); }
  bool doRedo(const Snap& current, Snap& out) { return step(redoStack, undoStack, current, out); }

  bool canUndo() const { return !undoStack.empty(); }
  bool canRedo() const { return !redoStack.empty(); }
  size_t undoSteps() const { return undoStack.size(); }
  size_t redoSteps() const { return redoStack.size(); }

 private:
  bool step(std::vector<Snap>& from, std::vector<Snap>& to, const Snap& current, Snap& out) {
    if (from.empty()) return false;
    to.push_back(current);  // both stacks together never hold more than kMaxSteps
    out = std::move(from.back());
    from.pop_back();
    lastPush = kNever;  // the next edit never joins a step that was just undone or redone
    return true;
  }

  std::vector<Snap> undoStack;  // states before each recorded change, oldest first
  std::vector<Snap> redoStack;  // states undone, most recent last
  Snap markSnap{};
  bool markSet = false;
  double lastPush = kNever;
};

}  // namespace vorrel
