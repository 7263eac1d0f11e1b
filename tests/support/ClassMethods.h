// Keeps the class-handler registry with the standard handlers for a scope, for tests that use
// handlers without a whole core start-up. A registry that exists already is left alone.
#pragma once

#include "kivo/core/KivoMultiClassMethod.h"

namespace kivo::testing {

class ClassMethods {
 public:
  ClassMethods() : created_(KivoClassMethodStorage == nullptr) { InitializeClassMethods(); }
  ~ClassMethods() {
    if (created_) FinalizeClassMethods();
  }
  ClassMethods(const ClassMethods&) = delete;
  ClassMethods& operator=(const ClassMethods&) = delete;

 private:
  bool created_;  // this guard made the registry and frees it
};

}  // namespace kivo::testing
