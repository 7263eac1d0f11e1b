// Uses the installed library: builds a small component tree and a hash list, and reads a form
// whose classes this program never names, so that they must be found by name.
#include <cstdio>
#include <memory>

#include "kivo/core/HashList.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/Version.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/FormFile.h"

int main() {
  kivo::TComponent root(nullptr);
  auto* child = new kivo::TComponent(&root);
  child->SetName("Child");
  kivo::TKivoHashList list(7, nullptr, nullptr);
  list.Add("abc", child);
  bool ok = root.FindComponent("child") == child && list.GetData("abc") == child &&
            kivo::KivoHash("abc") == 3354;

  kivo::InitializeCore();
  const char* const form =
      "object Module: TDataModule\n"
      "  object Dict: TKivoMultiStreamDD\n"
      "    DDName = 'Main'\n"
      "    DDReaderID = 'KivoTextCSV'\n"
      "    Dictionary.Data = {}\n"
      "  end\n"
      "  object Replacer: TKivoMultiReplacer\n"
      "    AutoReplace = False\n"
      "    OwnerOption.DDName = 'Main'\n"
      "    OwnerOption.ReplaceFont = False\n"
      "  end\n"
      "  object Eye: TKivoMultiScreenEye\n"
      "    DefaultReplaceOption.ReplaceFont = False\n"
      "  end\n"
      "end\n";
  try {
    kivo::TFormReadOptions options;
    options.file_name = "consumer.dfm";
    std::unique_ptr<kivo::TComponent> module = kivo::ReadForm(form, options);
    ok = ok && module->ComponentCount() == 3 && kivo::KivoDDStorage->FindDD("main") != nullptr;
  } catch (const kivo::Exception& e) {
    std::printf("consumer: %s\n", e.what());
    ok = false;
  }
  kivo::FinalizeCore();

  std::printf("consumer: kivo %s %s\n", kivo::Version(), ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
