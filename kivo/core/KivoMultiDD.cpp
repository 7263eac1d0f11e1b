#include "kivo/core/KivoMultiDD.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "kivo/core/KivoDDReaderStorage.h"
#include "kivo/core/KivoMsgBox.h"
#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/core/KivoMultiReplace.h"
#include "kivo/core/KivoMultiReplacer.h"
#include "kivo/core/KivoMultiScreen.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

KIVO_DEFINE_CLASS(TDDFieldsOption) {
  b.String("DDKeyField", &TDDFieldsOption::DDKeyField, &TDDFieldsOption::SetDDKeyField);
  b.String("CodePageField", &TDDFieldsOption::CodePageField, &TDDFieldsOption::SetCodePageField);
  b.String("SeqNoField", &TDDFieldsOption::SeqNoField, &TDDFieldsOption::SetSeqNoField);
  b.String("DisplayValueField", &TDDFieldsOption::DisplayValueField,
           &TDDFieldsOption::SetDisplayValueField);
}

KIVO_DEFINE_CLASS(TCustomMultiDD) {}
KIVO_DEFINE_CLASS(TKivoMultiDDStorage) {}
KIVO_DEFINE_CLASS(TMultiDictionary) {}
KIVO_DEFINE_CLASS(TCustomMultiReaderDD) {}

namespace {

// The published properties that both reader-fed dictionaries share, in their declared order.
// Both start non-empty, so neither takes "" as its default: both are always written, and a
// DDReaderID cleared in a form reads back empty rather than as the constructor's "KivoTextCSV".
template <class D>
void DescribeCommonHead(TClassBuilder<D>& b) {
  b.String("DDName", &D::DDName, &D::SetDDName).NoDefault();
  b.String("DDReaderID", &D::DDReaderID, &D::SetDDReaderID).NoDefault();
}

template <class D>
void DescribeFields(TClassBuilder<D>& b) {
  b.Boolean("UseDefaultFields", &D::UseDefaultFields, &D::SetUseDefaultFields).Default(true);
  b.Object("FieldsOption", &D::FieldsOption, &D::SetFieldsOption);
}

template <class D>
void DescribeEvents(TClassBuilder<D>& b) {
  b.Event("OnBeforeBuildDD", &D::OnBeforeBuildDD);
  b.Event("OnAfterBuildDD", &D::OnAfterBuildDD);
  b.Event("OnBuildingDD", &D::OnBuildingDD);
}

}  // namespace

KIVO_DEFINE_CLASS(TKivoMultiFileDD) {
  DescribeCommonHead(b);
  b.String("FileName", &TKivoMultiFileDD::FileName, &TKivoMultiFileDD::SetFileName);
  DescribeFields(b);
  DescribeEvents(b);
}

KIVO_DEFINE_CLASS(TKivoMultiStreamDD) {
  DescribeCommonHead(b);
  DescribeFields(b);
  b.Object("Dictionary", &TKivoMultiStreamDD::Dictionary, &TKivoMultiStreamDD::SetDictionary);
  DescribeEvents(b);
}

TKivoMultiDDStorage* KivoDDStorage = nullptr;

namespace {

// A dictionary's table: a hash list keyed by hash key whose trees stay deferred (the dictionary
// only adds and finds), with each display value kept as the payload of its key's entry, so that a
// lookup reaches key and value together. The entries' data pointers are null.
class TDDTable : public TKivoHashList {
 public:
  // `records` is the announced record count, which also sizes the index; `bytes` is about the
  // room the records take (0: unknown).
  TDDTable(int bucket_count, int records, size_t bytes)
      : TKivoHashList(bucket_count, StrCompare, KivoHash) {
    DeferTreesWithPayloads(records > 0 ? static_cast<size_t>(records) : 0, bytes);
  }

  using TKivoHashList::AddWithPayload;
  using TKivoHashList::AddWithPayloadPipelined;
  using TKivoHashList::FindPayload;
  using TKivoHashList::FlushPipeline;
  using TKivoHashList::ShrinkDeferred;
};

}  // namespace

// ---- TDDFieldsOption ----

void TDDFieldsOption::AssignTo(TPersistent* dest) const {
  if (auto* d = As<TDDFieldsOption>(dest)) {
    d->SetDDKeyField(dd_key_field_);
    d->SetCodePageField(code_page_field_);
    d->SetSeqNoField(seq_no_field_);
    d->SetDisplayValueField(display_value_field_);
    return;
  }
  Inherited::AssignTo(dest);
}

// ---- TCustomMultiDD ----

TCustomMultiDD::TCustomMultiDD(TComponent* owner)
    : TComponent(owner), fields_option_(std::make_unique<TDDFieldsOption>()) {
  if (KivoDDStorage == nullptr) {
    throw Exception("The dictionary registry does not exist; call kivo::InitializeCore() first");
  }
  TStringList& names = KivoDDStorage->names_;
  int index = 0;
  for (int n = 0;; ++n) {
    std::string candidate = "DD" + std::to_string(n);
    if (!names.Find(candidate, index)) {
      dd_name_ = std::move(candidate);
      break;
    }
  }
  names.InsertObject(index, dd_name_, this);
}

TCustomMultiDD::~TCustomMultiDD() {
  if (KivoDDStorage != nullptr) {
    TStringList& names = KivoDDStorage->names_;
    int index;
    if (names.Find(dd_name_, index) && names.Objects(index) == this) names.Delete(index);
  }
  ClearHashTable();
}

void TCustomMultiDD::SetDDName(const std::string& value) {
  if (value.empty() || value == dd_name_) return;
  if (KivoDDStorage == nullptr) {  // after shut-down: there is no registry to keep current
    dd_name_ = value;
    return;
  }
  TStringList& names = KivoDDStorage->names_;
  int index;
  if (names.Find(value, index)) throw Exception(FormatMessage(SDDNameExists, {value}));
  for (int i = names.Count() - 1; i >= 0; --i) {
    if (names.Objects(i) == this) {
      names.Delete(i);
      break;
    }
  }
  dd_name_ = value;
  names.Find(value, index);
  names.InsertObject(index, value, this);
}

std::string TCustomMultiDD::GetHashKey(const std::string& dd_key, const std::string& code_page,
                                       const std::string& seq_no) const {
  std::string out;
  GetHashKey(dd_key, code_page, seq_no, out);
  return out;
}

void TCustomMultiDD::ClearHashTable() {
  table_.reset();  // the table holds the display values
  loaded_ = false;
}

void TCustomMultiDD::GetHashKey(const std::string& dd_key, const std::string& code_page,
                                const std::string& seq_no, std::string& out) const {
  // One resize and three copies: `out` keeps its room from call to call.
  out.resize(dd_key.size() + code_page.size() + seq_no.size() + 2);
  char* at = out.data();
  at = std::copy(dd_key.begin(), dd_key.end(), at);
  *at++ = '\t';
  at = std::copy(code_page.begin(), code_page.end(), at);
  *at++ = '\t';
  std::copy(seq_no.begin(), seq_no.end(), at);
}

void TCustomMultiDD::DoBeforeBuildDD() {
  if (OnBeforeBuildDD) OnBeforeBuildDD(this);
}

void TCustomMultiDD::DoAfterBuildDD() {
  if (OnAfterBuildDD) OnAfterBuildDD(this);
}

void TCustomMultiDD::BuildDictionary() { throw EAbstractError(); }

std::string TCustomMultiDD::GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                                            const std::string& seq_no) {
  if (!loaded_) LoadDictionaryData();
  if (table_ == nullptr) return dd_key;
  // Only BuildHashTable fills table_, always with a TDDTable.
  const auto& table = static_cast<const TDDTable&>(*table_);
  std::string_view value;
  if (standard_key_) {
    // The key's tail, "\t" code page "\t" sequence number, is kept from the last lookup.
    const std::string& tail = key_tail_.Text();
    const size_t cp = code_page.size();
    if (tail.size() != cp + seq_no.size() + 2 || tail[0] != '\t' ||
        tail.compare(1, cp, code_page) != 0 || tail[cp + 1] != '\t' ||
        tail.compare(cp + 2, std::string::npos, seq_no) != 0) {
      SetKeyTail(code_page, seq_no);
    }
    if (key_tail_.Joinable()) {
      return table.FindPayload(dd_key, key_tail_, value) ? std::string(value) : dd_key;
    }
  }
  GetHashKey(dd_key, code_page, seq_no, key_buffer_);
  return table.FindPayload(key_buffer_, value) ? std::string(value) : dd_key;
}

void TCustomMultiDD::SetKeyTail(const std::string& code_page, const std::string& seq_no) {
  key_tail_ = TKeyTail("\t" + code_page + "\t" + seq_no);
}

namespace {

// Keeps a reader's controls disabled for a scan, also when the scan fails.
class ControlsGuard {
 public:
  explicit ControlsGuard(IDataRead& r) : r_(r) { r_._DisableControls(); }
  ~ControlsGuard() { r_._EnableControls(); }
  ControlsGuard(const ControlsGuard&) = delete;
  ControlsGuard& operator=(const ControlsGuard&) = delete;

 private:
  IDataRead& r_;
};

}  // namespace

void TCustomMultiDD::BuildHashTable(IDataRead& reader) {
  const bool defaults = use_default_fields_;
  const std::string names[4] = {
      defaults ? kDDKeyField : fields_option_->DDKeyField(),
      defaults ? kCodePageField : fields_option_->CodePageField(),
      defaults ? kSeqNoField : fields_option_->SeqNoField(),
      defaults ? kDisplayValueField : fields_option_->DisplayValueField(),
  };
  int column[4] = {-1, -1, -1, -1};
  const int field_count = reader._GetFieldCount();
  for (int i = 0; i < field_count; ++i) {
    const std::string& n = reader._GetFieldName(i);
    for (int role = 0; role < 4; ++role) {
      if (AnsiSameText(n, names[role])) {
        column[role] = i;
        break;
      }
    }
  }
  ClearHashTable();
  // A source without the key or display-value field cannot be read. A source without any field
  // (an empty file) has no records either and simply loads empty.
  const int missing = column[0] < 0 ? 0 : (column[3] < 0 ? 3 : -1);
  auto fail_missing = [&] {
    if (names[missing].empty()) {
      throw Exception(FormatMessage(SDDFieldNameEmpty, {missing == 0 ? "key" : "display value"}));
    }
    throw Exception(FormatMessage(SDDFieldMissing, {names[missing]}));
  };
  if (missing >= 0 && field_count > 0) fail_missing();

  // The announced count sizes the table; it comes from the source's header, so a damaged or
  // hostile file must not make it allocate without bound.
  const int records = std::min(reader._GetRecordCount(), kMaxDDBuckets);
  // A stream reader holds its whole source, whose size bounds the room of its records: each
  // record's fields are at least as long in the source, where their separators or lengths take
  // more than the table's 24 bytes a record (tabs, lengths, padding) less 8.
  auto* stream_reader = dynamic_cast<TCustomStreamDDReader*>(&reader);
  const size_t bytes = stream_reader != nullptr && records > 0
                           ? stream_reader->SourceSize() + 8 * static_cast<size_t>(records)
                           : 0;
  auto table = std::make_unique<TDDTable>(records > 0 ? GetMinPrime(records) : 1, records, bytes);
  TDDTable& values = *table;
  table_ = std::move(table);
  // The dictionaries of this library leave GetHashKey as it is; a class of an application may
  // not, and its lookups go through its GetHashKey.
  const std::type_info& type = typeid(*this);
  standard_key_ = type == typeid(TKivoMultiFileDD) || type == typeid(TKivoMultiStreamDD);
  ControlsGuard guard(reader);
  const std::string empty;
  std::string hash_key;
  // Without a filter every record of a stream reader is stored, and no step of the loop can
  // tell when a key is checked for duplicates; the table then checks a few records later,
  // overlapping its index reads with the parsing, and names the same first duplicate.
  const bool pipelined = !OnBuildingDD && stream_reader != nullptr;
  reader._First();
  while (!reader._Eof()) {
    if (missing >= 0) fail_missing();
    const std::string& key = reader._GetFieldValue(column[0]);
    const std::string& code_page = column[1] >= 0 ? reader._GetFieldValue(column[1]) : empty;
    const std::string& seq_no = column[2] >= 0 ? reader._GetFieldValue(column[2]) : empty;
    bool accept = true;
    if (OnBuildingDD) OnBuildingDD(this, key, code_page, seq_no, accept);
    if (accept) {
      GetHashKey(key, code_page, seq_no, hash_key);
      if (pipelined) {
        values.AddWithPayloadPipelined(hash_key, reader._GetFieldValue(column[3]));
      } else {
        values.AddWithPayload(hash_key, nullptr, reader._GetFieldValue(column[3]));
      }
    }
    reader._Next();
  }
  values.FlushPipeline();
  values.ShrinkDeferred();
  loaded_ = true;
}

void TCustomMultiDD::LoadDictionaryData() {
  DoBeforeBuildDD();
  BuildDictionary();
  DoAfterBuildDD();
}

std::string TCustomMultiDD::GetDisplayValueWordByWord(const std::string& text,
                                                      const std::string& code_page,
                                                      const std::string& seq_no) {
  if (text.empty()) return std::string();
  const std::string work = text + ' ';
  const bool keep_spaces = code_page == "1252";
  std::string result;
  size_t word_start = std::string::npos;
  for (size_t i = 0; i < work.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(work[i]);
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter) {
      if (word_start == std::string::npos) word_start = i;
      continue;
    }
    if (word_start != std::string::npos) {
      result += GetDisplayValue(work.substr(word_start, i - word_start), code_page, seq_no);
      word_start = std::string::npos;
    }
    if (c != ' ' || (keep_spaces && i + 1 < work.size())) result.push_back(work[i]);
  }
  return result;
}

int GetMinPrime(int n) {
  if (n <= 1) return 1;
  for (;; ++n) {
    const int m = static_cast<int>(std::lround(std::sqrt(static_cast<double>(n))));
    bool prime = true;
    for (int d = 2; d <= m; ++d) {
      if (n % d == 0) {
        prime = false;
        break;
      }
    }
    if (prime) return n;
  }
}

// ---- TKivoMultiDDStorage ----

TKivoMultiDDStorage::~TKivoMultiDDStorage() { ClearDD(); }

void TKivoMultiDDStorage::ClearDD() {
  // Each destructor removes its own entry, the last remaining one.
  for (int i = names_.Count() - 1; i >= 0; --i) {
    if (i >= names_.Count()) continue;
    delete static_cast<TCustomMultiDD*>(names_.Objects(i));
  }
  names_.Clear();
}

void TKivoMultiDDStorage::DeleteDD(const std::string& dd_name) {
  int index;
  if (names_.Find(dd_name, index)) delete static_cast<TCustomMultiDD*>(names_.Objects(index));
}

TCustomMultiDD* TKivoMultiDDStorage::FindDD(const std::string& dd_name) const {
  int index;
  return names_.Find(dd_name, index) ? static_cast<TCustomMultiDD*>(names_.Objects(index))
                                     : nullptr;
}

TCustomMultiDD* TKivoMultiDDStorage::GetDD(int index) const {
  return static_cast<TCustomMultiDD*>(names_.Objects(index));
}

std::string TKivoMultiDDStorage::GetDisplayValue(const std::string& dd_name,
                                                 const std::string& dd_key,
                                                 const std::string& code_page,
                                                 const std::string& seq_no) {
  TCustomMultiDD* dd = FindDD(dd_name);
  return dd != nullptr ? dd->GetDisplayValue(dd_key, code_page, seq_no) : dd_key;
}

std::string TKivoMultiDDStorage::GetDisplayValueWordByWord(const std::string& dd_name,
                                                           const std::string& text,
                                                           const std::string& code_page,
                                                           const std::string& seq_no) {
  TCustomMultiDD* dd = FindDD(dd_name);
  return dd != nullptr ? dd->GetDisplayValueWordByWord(text, code_page, seq_no) : text;
}

// ---- TMultiDictionary ----

void TMultiDictionary::DefineProperties(TFiler& filer) {
  Inherited::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadDictionary(s); }, [this](TStream& s) { WriteDictionary(s); },
      true);
}

void TMultiDictionary::ReadDictionary(TStream& s) {
  const int64_t count = s.Size() - s.Position();
  std::string bytes = count > 0 ? s.ReadString(count) : std::string();
  stream_.Clear();
  stream_.WriteString(bytes);
  stream_.SetPosition(0);
}

void TMultiDictionary::WriteDictionary(TStream& s) const { s.WriteString(stream_.Bytes()); }

void TMultiDictionary::AssignTo(TPersistent* dest) const {
  if (auto* d = As<TMultiDictionary>(dest)) {
    if (d == this) return;
    d->stream_.Clear();
    d->stream_.WriteString(stream_.Bytes());
    d->stream_.SetPosition(0);
    return;
  }
  Inherited::AssignTo(dest);
}

// ---- reader-fed dictionaries ----

TCustomMultiReaderDD::TCustomMultiReaderDD(TComponent* owner)
    : TCustomMultiDD(owner), dd_reader_id_("KivoTextCSV") {}

const TStreamDDReaderClass& TCustomMultiReaderDD::ReaderClass() const {
  const TStreamDDReaderClass* kind =
      KivoDDReaderStorage != nullptr ? KivoDDReaderStorage->GetDDReader(dd_reader_id_) : nullptr;
  if (kind == nullptr) throw Exception(FormatMessage(SDDReaderNotRegistered, {dd_reader_id_}));
  return *kind;
}

void TCustomMultiReaderDD::BuildFromStream(const TStreamDDReaderClass& kind, TStream& source) {
  source.SetPosition(0);
  std::unique_ptr<TCustomStreamDDReader> reader = kind.create(source);
  BuildHashTable(*reader);
}

TKivoMultiFileDD::TKivoMultiFileDD(TComponent* owner) : TCustomMultiReaderDD(owner) {}

void TKivoMultiFileDD::BuildDictionary() {
  const TStreamDDReaderClass& kind = ReaderClass();
  TFileStream file(file_name_, fmOpenRead | fmShareDenyWrite);
  BuildFromStream(kind, file);
}

TKivoMultiStreamDD::TKivoMultiStreamDD(TComponent* owner)
    : TCustomMultiReaderDD(owner), dictionary_(std::make_unique<TMultiDictionary>()) {}

TKivoMultiStreamDD::~TKivoMultiStreamDD() { dictionary_.reset(); }

void TKivoMultiStreamDD::SetDictionary(const TMultiDictionary* value) {
  dictionary_->Assign(value);
}

void TKivoMultiStreamDD::BuildDictionary() {
  BuildFromStream(ReaderClass(), dictionary_->Stream());
}

// ---- start-up and shut-down ----

namespace {
int core_init_count = 0;
}  // namespace

void InitializeCore() {
  if (core_init_count++ > 0) return;
  // The core's classes can be found by name (form files name them) whatever the link order, also
  // in a program that never names them in code, whose static link would otherwise drop them.
  RegisterClasses({TDDFieldsOption::StaticClass(), TCustomMultiDD::StaticClass(),
                   TMultiDictionary::StaticClass(), TCustomMultiReaderDD::StaticClass(),
                   TKivoMultiFileDD::StaticClass(), TKivoMultiStreamDD::StaticClass(),
                   TKivoMsgBox::StaticClass(), TMultiReplaceOption::StaticClass()});
  RegisterClasses({TKivoMultiReplacer::StaticClass(), TReplaceComs::StaticClass(),
                   TReplaceCom::StaticClass(), TUnReplaceComs::StaticClass(),
                   TUnReplaceCom::StaticClass()});
  RegisterClasses({TKivoMultiScreenEye::StaticClass(), TMultiReplaceDatas::StaticClass(),
                   TMultiReplaceData::StaticClass(), TMultiReplaceForms::StaticClass(),
                   TMultiReplaceForm::StaticClass(), TMultiReplaceComs2::StaticClass(),
                   TMultiReplaceCom2::StaticClass()});
  // 1. The class-handler registry with the standard handlers.
  InitializeClassMethods();
  // 2. The reader registry with the built-in readers.
  KivoDDReaderStorage = new TKivoMultiStreamDDReaderStorage();
  RegisterBuiltInReaders(*KivoDDReaderStorage);
  // 3. The dictionary registry.
  KivoDDStorage = new TKivoMultiDDStorage();
}

void FinalizeCore() {
  if (core_init_count == 0 || --core_init_count > 0) return;
  // Freeing the dictionary registry frees the dictionaries still registered; it is taken out of
  // the global first, so that their destructors skip the registry step.
  TKivoMultiDDStorage* storage = KivoDDStorage;
  storage->ClearDD();
  KivoDDStorage = nullptr;
  delete storage;
  delete KivoDDReaderStorage;
  KivoDDReaderStorage = nullptr;
  FinalizeClassMethods();
}

}  // namespace kivo
