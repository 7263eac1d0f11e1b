// The reader registry: reader classes by identifier ("KivoTextCSV", "KivoTextDFM", "KivoBinary").
//
// A dictionary that reads a file or stored bytes names its format by a reader identifier; the
// registry maps identifiers, compared without regard to letter case, to reader classes that are
// created from a stream. Identifiers are kept in ascending AnsiCompareText order, each new one
// inserted at its place. An application may register readers of its own.
//
//   const kivo::TStreamDDReaderClass* kind = kivo::KivoDDReaderStorage->GetDDReader("kivobinary");
//   std::unique_ptr<kivo::TCustomStreamDDReader> reader = kind->create(stream);
#pragma once

#include <string>
#include <vector>

#include <vector>
#include "kivo/core/KivoMultiDDReader.h"

namespace kivo {

inline constexpr const char* SDDReaderExists = "dictionary reader \"%s\" already registered!";

class TKivoMultiStreamDDReaderStorage : public TObject {
  KIVO_CLASS(TKivoMultiStreamDDReaderStorage, TObject)

  TKivoMultiStreamDDReaderStorage() = default;
  TKivoMultiStreamDDReaderStorage(const TKivoMultiStreamDDReaderStorage&) = delete;
  TKivoMultiStreamDDReaderStorage& operator=(const TKivoMultiStreamDDReaderStorage&) = delete;

  // The number of registered identifiers.
  int GetCount() const { return static_cast<int>(entries_.size()); }
  // The identifier at `index`, in ascending order.
  // Throws: EListError "List index out of bounds (%d)".
  std::string GetDDReaderID(int index) const;
  // The class registered under `id` (letter case ignored), or null.
  const TStreamDDReaderClass* GetDDReader(const std::string& id) const;
  // Registers `reader_class` under `id`. A class may be registered under several identifiers.
  // Throws: Exception "dictionary reader "KIVOTEXTDFM" already registered!" when the identifier
  // is taken (letter case ignored); the registry is unchanged.
  // Ownership: the descriptor is not owned; it must outlive the registration.
  void RegisterDDReader(const std::string& id, const TStreamDDReaderClass* reader_class);
  // Removes the first entry, in identifier order, that carries `reader_class`; nothing when none
  // does.
  void UnRegisterDDReader(const TStreamDDReaderClass* reader_class);

 private:
  // Bisection over the sorted identifiers: true and the entry's index when found, else false
  // and the insertion index.
  bool Search(const std::string& id, int& index) const;

  struct Entry {
    std::string id;
    const TStreamDDReaderClass* reader_class;  // not owned
  };
  std::vector<Entry> entries_;  // ascending by AnsiCompareText of the identifier
};

// The reader registry; null before InitializeCore and after FinalizeCore.
extern TKivoMultiStreamDDReaderStorage* KivoDDReaderStorage;

// Registers the built-in readers in their fixed order: "KivoTextDFM", "KivoTextCSV",
// "KivoBinary". InitializeCore calls it on the new registry.
void RegisterBuiltInReaders(TKivoMultiStreamDDReaderStorage& storage);

}  // namespace kivo
