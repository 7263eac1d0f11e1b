// kivo convert: a dictionary file into another format, replacing the output only when complete.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/core/KivoMultiDDWriter.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Stream.h"
#include "tools/kivo/Commands.h"
#include "tools/kivo/Options.h"
#include "tools/kivo/Progress.h"
#include "tools/kivo/TempFile.h"

namespace kivo::tool {
namespace {

constexpr const char* kConvertUsage =
    "usage: kivo convert IN OUT [--from ID] [--to ID]\n"
    "\n"
    "Reads the dictionary IN and writes its fields and records to OUT. OUT is written to a\n"
    "temporary file beside it and replaces OUT only when complete; IN and OUT may be the same.\n"
    "A large conversion shows its progress on a terminal.\n"
    "\n"
    "  --from ID   the format of IN\n"
    "  --to ID     the format of OUT\n"
    "\n"
    "ID is a reader identifier, in any letter case: KivoTextCSV, KivoTextDFM or KivoBinary.\n"
    "Without the option the format follows the file's extension: .ktc and .lng (KivoTextCSV),\n"
    ".ktf (KivoTextDFM), .kbf (KivoBinary).\n";

// A registered reader whose format has no writer.
constexpr const char* SNoWriter = "no writer for dictionary reader ID \"%s\"";

// The writers, one per format.
enum class TWriterKind { kTextCSV, kTextDFM, kBinary };

// The writer of the format that the reader registered as `id` reads.
// Throws: Exception "dictionary reader ID "Foo" ,not registered!"; Exception "no writer for
// dictionary reader ID "X"" for a reader of another format.
TWriterKind WriterFor(const std::string& id) {
  const TStreamDDReaderClass* kind = &ReaderClass(id);
  if (kind == StreamDDReaderClass<TTextCSVStreamDDReader>()) return TWriterKind::kTextCSV;
  if (kind == StreamDDReaderClass<TTextDFMStreamDDReader>()) return TWriterKind::kTextDFM;
  if (kind == StreamDDReaderClass<TBinaryStreamDDReader>()) return TWriterKind::kBinary;
  throw Exception(FormatMessage(SNoWriter, {id}));
}

void Save(IDataRead& source, TStream& dest, TWriterKind writer, const TProgressProc& progress) {
  switch (writer) {
    case TWriterKind::kTextCSV:
      _SaveDataToTextStream(source, dest, EncodeTextCSVStr, ',', '"', progress);
      break;
    case TWriterKind::kTextDFM:
      _SaveDataToTextStream(source, dest, EncodeTextDFMStr, ',', '"', progress);
      break;
    case TWriterKind::kBinary:
      _SaveDataToBinaryStream(source, dest, progress);
      break;
  }
}

void Convert(const std::string& in, const std::string& out, const std::string& from_id,
             const std::string& to_id, std::ostream& err) {
  TKivoCore core;
  const TStreamDDReaderClass& reader_class = ReaderClass(from_id);
  const TWriterKind writer = WriterFor(to_id);

  std::unique_ptr<TCustomStreamDDReader> reader;
  AboutFile(in, [&] {
    TFileStream source(in, fmOpenRead | fmShareDenyWrite);
    reader = reader_class.create(source);
  });

  std::optional<TProgressBar> bar;
  TProgressProc progress;
  if (IsTerminal(err) && reader->_GetRecordCount() >= kProgressMinRecords) {
    bar.emplace(err);
    progress = [&bar](double APercent, const std::vector<std::string>&, bool&) {
      bar->Update(APercent);
    };
  }

  TTempFile temp(out);
  {
    std::unique_ptr<TFileStream> dest;
    AboutFile(out, [&] { dest = std::make_unique<TFileStream>(temp.Name(), fmCreate); });
    try {
      Save(*reader, *dest, writer, progress);
    } catch (EWriteError& e) {
      e.SetMessage(WithFileName(e.Message(), out));
      throw;
    } catch (Exception& e) {
      e.SetMessage(WithFileName(e.Message(), in));
      throw;
    }
  }
  temp.Commit();
  if (bar) bar->Finish();
}

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  const std::string error = ParseCommandLine(args, {{"IN", "OUT"}, {"--from", "--to"}, {}}, line);
  if (!error.empty()) return UsageError(err, "convert", error);
  if (line.help) {
    out << kConvertUsage;
    return kExitSuccess;
  }
  const std::string& in = line.arguments[0];
  const std::string& out_file = line.arguments[1];
  std::string from_id, to_id;
  if (!ChooseReaderID(line, "--from", in, from_id))
    return UsageError(err, "convert", FormatMessage(SUnknownFormat, {in, "--from"}));
  if (!ChooseReaderID(line, "--to", out_file, to_id))
    return UsageError(err, "convert", FormatMessage(SUnknownFormat, {out_file, "--to"}));
  try {
    Convert(in, out_file, from_id, to_id, err);
  } catch (const std::exception& e) {
    return Failure(err, e.what());
  }
  return kExitSuccess;
}

}  // namespace kivo::tool
