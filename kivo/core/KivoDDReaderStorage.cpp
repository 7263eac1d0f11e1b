#include "kivo/core/KivoDDReaderStorage.h"

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

KIVO_DEFINE_CLASS(TKivoMultiStreamDDReaderStorage) {}

TKivoMultiStreamDDReaderStorage* KivoDDReaderStorage = nullptr;

bool TKivoMultiStreamDDReaderStorage::Search(const std::string& id, int& index) const {
  int low = 0;
  int high = GetCount() - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int c = AnsiCompareText(entries_[static_cast<size_t>(mid)].id, id);
    if (c < 0) {
      low = mid + 1;
    } else if (c > 0) {
      high = mid - 1;
    } else {
      index = mid;
      return true;
    }
  }
  index = low;
  return false;
}

std::string TKivoMultiStreamDDReaderStorage::GetDDReaderID(int index) const {
  if (index < 0 || index >= GetCount()) throw EListError::IndexError(index);
  return entries_[static_cast<size_t>(index)].id;
}

const TStreamDDReaderClass* TKivoMultiStreamDDReaderStorage::GetDDReader(
    const std::string& id) const {
  int index;
  return Search(id, index) ? entries_[static_cast<size_t>(index)].reader_class : nullptr;
}

void TKivoMultiStreamDDReaderStorage::RegisterDDReader(const std::string& id,
                                                       const TStreamDDReaderClass* reader_class) {
  int index;
  if (Search(id, index)) throw Exception(FormatMessage(SDDReaderExists, {id}));
  entries_.insert(entries_.begin() + index, Entry{id, reader_class});
}

void TKivoMultiStreamDDReaderStorage::UnRegisterDDReader(const TStreamDDReaderClass* reader_class) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->reader_class == reader_class) {
      entries_.erase(it);
      return;
    }
  }
}

}  // namespace kivo

namespace kivo {

void RegisterBuiltInReaders(TKivoMultiStreamDDReaderStorage& storage) {
  storage.RegisterDDReader("KivoTextDFM", StreamDDReaderClass<TTextDFMStreamDDReader>());
  storage.RegisterDDReader("KivoTextCSV", StreamDDReaderClass<TTextCSVStreamDDReader>());
  storage.RegisterDDReader("KivoBinary", StreamDDReaderClass<TBinaryStreamDDReader>());
}

}  // namespace kivo
