// Uses the installed library: builds a small component tree and a hash list.
#include <cstdio>

#include "kivo/core/HashList.h"
#include "kivo/core/Version.h"
#include "kivo/rtl/Component.h"

int main() {
  kivo::TComponent root(nullptr);
  auto* child = new kivo::TComponent(&root);
  child->SetName("Child");
  kivo::TKivoHashList list(7, nullptr, nullptr);
  list.Add("abc", child);
  const bool ok = root.FindComponent("child") == child && list.GetData("abc") == child &&
                  kivo::KivoHash("abc") == 3354;
  std::printf("consumer: kivo %s %s\n", kivo::Version(), ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
