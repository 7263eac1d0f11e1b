// A scope guard for clean-up on error paths: runs its action only when the scope is left by an
// exception, so that what a half-done step built is released while the error goes on.
//
//   THashNode* node = AllocNode();
//   OnFailure free_node([&] { FreeNode(node); });
//   node->key = key;  // may throw: the node is freed
#pragma once

#include <exception>
#include <utility>

namespace kivo {

// Runs `undo` when the scope is left by an exception.
template <class F>
class OnFailure {
 public:
  explicit OnFailure(F undo) : undo_(std::move(undo)), exceptions_(std::uncaught_exceptions()) {}
  ~OnFailure() {
    if (std::uncaught_exceptions() > exceptions_) undo_();
  }
  OnFailure(const OnFailure&) = delete;
  OnFailure& operator=(const OnFailure&) = delete;

 private:
  F undo_;
  int exceptions_;
};

}  // namespace kivo
