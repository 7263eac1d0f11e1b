// Dictionaries: components that look texts up by key, code page and sequence number.
//
// A dictionary reads all records of its source through a record reader (IDataRead) on its first
// lookup, keeps them in a hash table keyed by key, tab, code page, tab, sequence number, and
// answers lookups from it. A lookup is exact on all three parts; when there is no record, the key
// itself is the answer, so untranslated texts stay as they are.
//
// Every dictionary has a name, `DDName`, unique among all live dictionaries without regard to
// letter case; the global registry `KivoDDStorage` finds dictionaries by it.
//
//   kivo::InitializeCore();
//   auto* dd = new kivo::TKivoMultiFileDD(form);   // registered as "DD0"
//   dd->SetDDName("Main");
//   dd->SetFileName("main.ktc");
//   kivo::KivoDDStorage->GetDisplayValue("main", "Open", "1252", "");   // loads, then looks up
//
// Concrete dictionaries differ only in where their records come from: `TKivoMultiFileDD` reads a
// dictionary file, `TKivoMultiStreamDD` bytes stored in the form (`TMultiDictionary`); each
// supplies `BuildDictionary`, which opens the source and hands a reader to `BuildHashTable`.
//
// Threads: the user-interface thread only; nothing is locked.
#pragma once

#include <memory>
#include <string>

#include "kivo/core/DataLocate.h"
#include "kivo/core/HashList.h"
#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Stream.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

class TFont;
class TWinControl;
class IMultiReplaceQuery;
class TReplaceList;

// Message formats.
inline constexpr const char* SDDNameExists = "data dictionary: \"%s\" already exists.";
inline constexpr const char* SDDFieldMissing = "data dictionary: the source has no field \"%s\".";
inline constexpr const char* SDDFieldNameEmpty =
    "data dictionary: the name of the %s field is empty.";
inline constexpr const char* SDDReaderNotRegistered =
    "dictionary reader ID \"%s\" ,not registered!";

// The most buckets a dictionary's table gets: the smallest prime not below the announced record
// count, but never above this, whatever a source's header announces.
inline constexpr int kMaxDDBuckets = 1 << 21;

// Default names of the four record fields in a source.
inline constexpr const char* kDDKeyField = "DDKey";
inline constexpr const char* kCodePageField = "CodePage";
inline constexpr const char* kSeqNoField = "SeqNo";
inline constexpr const char* kDisplayValueField = "DisplayValue";

// The names of the source fields that hold the key, code page, sequence number and display
// value, used when a dictionary's UseDefaultFields is false. All four are empty at creation.
class TDDFieldsOption : public TPersistent {
  KIVO_CLASS(TDDFieldsOption, TPersistent)

  const std::string& DDKeyField() const { return dd_key_field_; }
  void SetDDKeyField(const std::string& v) { dd_key_field_ = v; }
  const std::string& CodePageField() const { return code_page_field_; }
  void SetCodePageField(const std::string& v) { code_page_field_ = v; }
  const std::string& SeqNoField() const { return seq_no_field_; }
  void SetSeqNoField(const std::string& v) { seq_no_field_ = v; }
  const std::string& DisplayValueField() const { return display_value_field_; }
  void SetDisplayValueField(const std::string& v) { display_value_field_ = v; }

 protected:
  // Copies the four names into a TDDFieldsOption through its setters.
  // Throws: EConvertError "Cannot assign a TDDFieldsOption to a TX" for other destinations.
  void AssignTo(TPersistent* dest) const override;

 private:
  std::string dd_key_field_;
  std::string code_page_field_;
  std::string seq_no_field_;
  std::string display_value_field_;
};

// Asked for every record while a table is built; clearing `accept` leaves the record out.
using TBuildingDDEvent =
    TEvent<void(TObject* sender, const std::string& dd_key, const std::string& code_page,
                const std::string& seq_no, bool& accept)>;

// The base of every dictionary.
//
// Lifecycle: registered in KivoDDStorage under a default name ("DD0", "DD1", …, the first free
// number) from the end of its constructor to the start of its destructor. Unloaded until the
// first lookup, which loads (LoadDictionaryData); loaded once BuildHashTable has completed;
// unloaded again after ClearHashTable or a failed build, so the next lookup loads again.
// A loaded dictionary does not notice later changes of its source or field names.
class TCustomMultiDD : public TComponent, public IDataLocate {
  KIVO_CLASS(TCustomMultiDD, TComponent)

  // Creates the dictionary and registers it under the first free default name.
  // Throws: Exception "The dictionary registry does not exist; call kivo::InitializeCore()
  // first" when the core library is not initialised.
  explicit TCustomMultiDD(TComponent* owner);
  // Leaves the registry (when it still exists) and releases the table.
  ~TCustomMultiDD() override;

  const std::string& DDName() const { return dd_name_; }
  // Renames the dictionary. An empty name, or the current name (letter case counting), is
  // ignored.
  // Throws: Exception "data dictionary: "MAIN" already exists." when a dictionary of that name
  // (letter case ignored, this one's own included) is registered; nothing changes then.
  void SetDDName(const std::string& value);

  bool UseDefaultFields() const { return use_default_fields_; }
  // Chooses the default field names (true) or those of FieldsOption; takes effect at the next
  // build.
  void SetUseDefaultFields(bool value) { use_default_fields_ = value; }
  TDDFieldsOption* FieldsOption() const { return fields_option_.get(); }
  // Copies the four names of `value` into the owned FieldsOption.
  // Throws: EConvertError "Cannot assign a nil to a TDDFieldsOption" for null.
  void SetFieldsOption(const TDDFieldsOption* value) { fields_option_->Assign(value); }

  // True once BuildHashTable has completed, until ClearHashTable.
  bool IsLoaded() const { return loaded_; }
  // The number of records in the table (0 without table).
  int RecordCount() const { return table_ ? table_->Count() : 0; }

  // The hash key of a record: key, tab, code page, tab, sequence number, through the virtual
  // GetHashKey below. (A class that overrides that one adds `using TCustomMultiDD::GetHashKey;`.)
  std::string GetHashKey(const std::string& dd_key, const std::string& code_page,
                         const std::string& seq_no) const;

  TNotifyEvent OnBeforeBuildDD;
  TNotifyEvent OnAfterBuildDD;
  TBuildingDDEvent OnBuildingDD;

  // The component walk with this dictionary (KivoMultiReplace.h tells the rules).
  // Handles `object` alone; false for null, a listed object or an unparented non-form control.
  bool ReplaceCom(TObject* object, const std::string& code_page, const std::string& seq_no,
                  TFont* font, bool replace_font, TReplaceList& list);
  // Handles what `component` owns, depth first, skipping what `query` (may be null) refuses.
  void ReplaceComOwned(TComponent* component, const std::string& code_page,
                       const std::string& seq_no, TFont* font, bool replace_font,
                       IMultiReplaceQuery* query, TReplaceList& list);
  // Handles the child controls of `control`, depth first, skipping what `query` refuses.
  void ReplaceComSon(TWinControl* control, const std::string& code_page, const std::string& seq_no,
                     TFont* font, bool replace_font, IMultiReplaceQuery* query, TReplaceList& list);
  // A complete walk over `object` (itself, owned, children) with a visited list of its own.
  void ReplaceComLanguage(TObject* object, const std::string& code_page, const std::string& seq_no,
                          TFont* font, bool replace_self, bool replace_owned, bool replace_son,
                          bool replace_font);

  // Virtual operations in their fixed slot order.

  // Drops the table and every stored display value; the next lookup loads again.
  virtual void ClearHashTable();
  // Writes the hash key of (dd_key, code_page, seq_no) into `out` (reusing its storage). Builds
  // and the lookups of a class that overrides it call it for every key; the lookups of
  // TKivoMultiFileDD and TKivoMultiStreamDD themselves find this composition without building it.
  virtual void GetHashKey(const std::string& dd_key, const std::string& code_page,
                          const std::string& seq_no, std::string& out) const;
  // Fires OnBeforeBuildDD / OnAfterBuildDD when set.
  virtual void DoBeforeBuildDD();
  virtual void DoAfterBuildDD();
  // Opens the source and calls BuildHashTable with a reader over it.
  // Throws: EAbstractError "Abstract Error" in this base class.
  virtual void BuildDictionary();
  // The display value stored for the key, code page and sequence number (also when it is
  // empty), or `dd_key` itself when there is none. Loads the dictionary first when unloaded.
  // Throws: whatever loading raises (for instance EHashList "Duplicate hash list entry: …").
  // This slot also answers IDataLocate, through which the class handlers look texts up.
  std::string GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                              const std::string& seq_no) override;
  // Replaces the table by the records of `reader`; afterwards the dictionary is loaded.
  // Throws: Exception "data dictionary: the source has no field "DDKey"." when the source lacks
  // the key or the display-value field, Exception "data dictionary: the name of the key field is
  // empty." (or "display value") when FieldsOption leaves that name empty (a source without
  // any field and without records loads empty instead); EHashList "Duplicate
  // hash list entry: <hash key>" for two accepted records with the same hash key; anything the
  // reader or OnBuildingDD raises. After a failure the dictionary is unloaded (the records added
  // before it stay until the next build) and `_EnableControls` has run.
  virtual void BuildHashTable(IDataRead& reader);
  // DoBeforeBuildDD, BuildDictionary, DoAfterBuildDD; a failure of BuildDictionary leaves
  // before DoAfterBuildDD.
  virtual void LoadDictionaryData();
  // `text` with every run of ASCII letters translated on its own. In code page "1252" spaces
  // are kept; in every other code page they are dropped, other separators stay. An empty text
  // gives an empty result without loading.
  virtual std::string GetDisplayValueWordByWord(const std::string& text,
                                                const std::string& code_page,
                                                const std::string& seq_no);

 private:
  std::string dd_name_;
  std::unique_ptr<TDDFieldsOption> fields_option_;
  bool use_default_fields_ = true;
  // The records: each display value is stored with its hash key in the table, which owns it.
  std::unique_ptr<TKivoHashList> table_;
  bool loaded_ = false;
  mutable std::string key_buffer_;  // reused by lookups
  // Set with the table: true when GetHashKey is this class's own (the dynamic type is a
  // dictionary of this library), so lookups may hash and compare key and tail apart.
  bool standard_key_ = false;
  // The tail of the hash keys of the last lookup: "\t" code page "\t" sequence number.
  TKeyTail key_tail_;
  void SetKeyTail(const std::string& code_page, const std::string& seq_no);
};

// The smallest prime not below `n`, for n ≥ 2; 1 for n ≤ 1.
int GetMinPrime(int n);

// The process-wide list of live dictionaries by name, in ascending order of AnsiCompareText.
// It does not own the dictionaries (their owners do), but ClearDD and DeleteDD free them.
class TKivoMultiDDStorage : public TObject {
  KIVO_CLASS(TKivoMultiDDStorage, TObject)

  TKivoMultiDDStorage() = default;
  // Frees every dictionary still registered.
  ~TKivoMultiDDStorage() override;
  TKivoMultiDDStorage(const TKivoMultiDDStorage&) = delete;
  TKivoMultiDDStorage& operator=(const TKivoMultiDDStorage&) = delete;

  // Frees every registered dictionary, the last in name order first, and empties the list.
  void ClearDD();
  // Frees the dictionary registered as `dd_name`; nothing when there is none.
  void DeleteDD(const std::string& dd_name);
  // The dictionary registered as `dd_name` (letter case ignored), or null.
  TCustomMultiDD* FindDD(const std::string& dd_name) const;
  // The dictionary at `index` in name order.
  // Throws: EListError "List index out of bounds (%d)".
  TCustomMultiDD* GetDD(int index) const;
  int GetDDCount() const { return names_.Count(); }
  // The named dictionary's translation of `dd_key`, or `dd_key` when no dictionary has the name.
  std::string GetDisplayValue(const std::string& dd_name, const std::string& dd_key,
                              const std::string& code_page, const std::string& seq_no);
  // The named dictionary's word-by-word translation, or `text` when there is no such dictionary.
  std::string GetDisplayValueWordByWord(const std::string& dd_name, const std::string& text,
                                        const std::string& code_page, const std::string& seq_no);
  // The named dictionary's ReplaceComLanguage; nothing when no dictionary has the name.
  void ReplaceComLanguage(const std::string& dd_name, TObject* object, const std::string& code_page,
                          const std::string& seq_no, TFont* font, bool replace_self,
                          bool replace_owned, bool replace_son, bool replace_font);

 private:
  friend class TCustomMultiDD;

  TStringList names_;  // DDName → dictionary; kept in order by inserting at the Find position
};

// The dictionary registry; null before InitializeCore and after FinalizeCore.
extern TKivoMultiDDStorage* KivoDDStorage;

// The raw bytes of one dictionary file kept inside a form, persisted as the binary property
// "Data" (written even when empty).
class TMultiDictionary : public TPersistent {
  KIVO_CLASS(TMultiDictionary, TPersistent)

  TMultiDictionary() = default;
  TMultiDictionary(const TMultiDictionary&) = delete;
  TMultiDictionary& operator=(const TMultiDictionary&) = delete;

  // The bytes, for the design-time editor and the dictionary's build.
  TMemoryStream& Stream() { return stream_; }
  const TMemoryStream& Stream() const { return stream_; }

  // Defines "Data" with ReadDictionary and WriteDictionary, always marked as having data.
  void DefineProperties(TFiler& filer) override;
  // The content becomes the bytes of `s` from its position to its end; the position is 0.
  void ReadDictionary(TStream& s);
  // Writes the whole content to `s`.
  void WriteDictionary(TStream& s) const;

 protected:
  // Into a TMultiDictionary: its content becomes a copy of this one's, position 0.
  // Throws: EConvertError "Cannot assign a TMultiDictionary to a TX" for other destinations.
  void AssignTo(TPersistent* dest) const override;

 private:
  TMemoryStream stream_;
};

// A dictionary whose records come through a reader made from the reader registry by
// `DDReaderID` ("KivoTextCSV" at creation).
class TCustomMultiReaderDD : public TCustomMultiDD {
  KIVO_CLASS(TCustomMultiReaderDD, TCustomMultiDD)

  explicit TCustomMultiReaderDD(TComponent* owner);

  const std::string& DDReaderID() const { return dd_reader_id_; }
  void SetDDReaderID(const std::string& value) { dd_reader_id_ = value; }

 protected:
  // The reader class that `DDReaderID` names (letter case ignored).
  // Throws: Exception "dictionary reader ID "X" ,not registered!".
  const TStreamDDReaderClass& ReaderClass() const;
  // Builds the table from `source`, rewound, through a reader of class `kind`.
  // Throws: whatever the reader and BuildHashTable raise (the reader is freed first).
  void BuildFromStream(const TStreamDDReaderClass& kind, TStream& source);

 private:
  std::string dd_reader_id_;
};

// A dictionary read from a file on disk.
class TKivoMultiFileDD : public TCustomMultiReaderDD {
  KIVO_CLASS(TKivoMultiFileDD, TCustomMultiReaderDD)

  explicit TKivoMultiFileDD(TComponent* owner);

  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& value) { file_name_ = value; }

  // Opens FileName for reading with writers denied (only while it builds) and builds from it.
  // Throws: Exception "dictionary reader ID "X" ,not registered!"; EFOpenError "Cannot open
  // file "x". <reason>" (also for an empty FileName); the reader's and the build's errors.
  void BuildDictionary() override;

 private:
  std::string file_name_;
};

// A dictionary read from bytes stored in the form.
class TKivoMultiStreamDD : public TCustomMultiReaderDD {
  KIVO_CLASS(TKivoMultiStreamDD, TCustomMultiReaderDD)

  explicit TKivoMultiStreamDD(TComponent* owner);
  ~TKivoMultiStreamDD() override;

  TMultiDictionary* Dictionary() const { return dictionary_.get(); }
  // Copies the content of `value` into the owned Dictionary.
  // Throws: EConvertError "Cannot assign a nil to a TMultiDictionary" for null.
  void SetDictionary(const TMultiDictionary* value);

  // Builds from Dictionary's bytes, which it leaves unchanged.
  // Throws: as TCustomMultiReaderDD::BuildFromStream.
  void BuildDictionary() override;

 private:
  std::unique_ptr<TMultiDictionary> dictionary_;
};

// Registers the core's persistent classes by name (for form files), then creates the core
// library's registries in their fixed order: the class-handler registry, the reader registry
// (with the built-in readers), the dictionary registry. Calls nest: only the first creates them.
void InitializeCore();
// Undoes InitializeCore in reverse order when the last nested call ends: frees every dictionary
// still registered, then the registries.
void FinalizeCore();

// Keeps the core library initialised for a scope.
class TKivoCore {
 public:
  TKivoCore() { InitializeCore(); }
  ~TKivoCore() { FinalizeCore(); }
  TKivoCore(const TKivoCore&) = delete;
  TKivoCore& operator=(const TKivoCore&) = delete;
};

}  // namespace kivo
