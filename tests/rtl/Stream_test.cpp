#include "kivo/rtl/Stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "kivo/rtl/Exceptions.h"
#include "support/FailingStream.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using testing::FailingStream;

constexpr int64_t kChunk = TStream::kCopyChunkSize;

// `size` bytes that cover every byte value, NUL included, without repeating every 256 bytes.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  return bytes;
}

TMemoryStream& Fill(TMemoryStream& stream, std::string_view bytes, int64_t position) {
  stream.WriteString(bytes);
  stream.SetPosition(position);
  return stream;
}

// Runs `fn` and checks that it throws E with exactly `message`.
template <class E>
void ExpectError(const std::function<void()>& fn, const std::string& message) {
  try {
    fn();
    ADD_FAILURE() << "no exception; expected \"" << message << "\"";
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

std::string SystemText(int error) { return std::strerror(error); }

// ----- TMemoryStream -----

TEST(MemoryStream, ReadsAndWritesAtThePosition) {
  TMemoryStream s;
  EXPECT_EQ(s.Write("hello", 5), 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Size(), 5);

  char buffer[8] = {};
  s.SetPosition(1);
  EXPECT_EQ(s.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "ell");
  EXPECT_EQ(s.Read(buffer, 8), 1);  // short near the end
  EXPECT_EQ(buffer[0], 'o');
  EXPECT_EQ(s.Read(buffer, 8), 0);  // at the end
  EXPECT_EQ(s.Position(), 5);

  s.SetPosition(2);
  EXPECT_EQ(s.Write("LLO!", 4), 4);  // overwrites three bytes, appends one
  EXPECT_EQ(s.Bytes(), "heLLO!");
  EXPECT_EQ(std::string(s.Memory(), static_cast<size_t>(s.Size())), "heLLO!");
  EXPECT_EQ(s.Position(), 6);
}

TEST(MemoryStream, SeeksFromEachOrigin) {
  struct Row {
    const char* name;
    int64_t offset;
    TSeekOrigin origin;
    int64_t position;
  } rows[] = {
      {"from the beginning", 3, soBeginning, 3},
      {"to the beginning", 0, soBeginning, 0},
      {"forward from the position", 2, soCurrent, 6},
      {"back to the first byte", -4, soCurrent, 0},
      {"to the end", 0, soEnd, 10},
      {"back from the end", -1, soEnd, 9},
      {"past the end", 5, soEnd, 15},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TMemoryStream s;
    Fill(s, "0123456789", 4);
    EXPECT_EQ(s.Seek(row.offset, row.origin), row.position);
    EXPECT_EQ(s.Position(), row.position);
    EXPECT_EQ(s.Size(), 10);
  }
}

TEST(MemoryStream, SeekBeforeTheBeginningFailsAndKeepsThePosition) {
  struct Row {
    int64_t offset;
    TSeekOrigin origin;
    const char* message;
  } rows[] = {
      {-1, soBeginning, "Seek before the beginning of the stream (-1)"},
      {-5, soCurrent, "Seek before the beginning of the stream (-1)"},
      {-13, soEnd, "Seek before the beginning of the stream (-3)"},
      {std::numeric_limits<int64_t>::min(), soCurrent,
       "Seek before the beginning of the stream (-9223372036854775804)"},
      {std::numeric_limits<int64_t>::max(), soCurrent, "Stream position out of range"},
      {0, static_cast<TSeekOrigin>(7), "Invalid seek origin (7)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message + (" at offset " + std::to_string(row.offset)));
    TMemoryStream s;
    Fill(s, "0123456789", 4);
    ExpectError<EStreamError>([&] { s.Seek(row.offset, row.origin); }, row.message);
    EXPECT_EQ(s.Position(), 4);
  }
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream s;
  s.WriteString("ab");
  EXPECT_EQ(s.Seek(3, soEnd), 5);
  char c = 'x';
  EXPECT_EQ(s.Read(&c, 1), 0);  // reading past the end neither fails nor extends
  EXPECT_EQ(s.Size(), 2);
  s.WriteString("z");
  EXPECT_EQ(s.Bytes(), std::string("ab\0\0\0z", 6));
  EXPECT_EQ(s.Position(), 6);
}

TEST(MemoryStream, SetSizeTruncatesExtendsAndClampsThePosition) {
  TMemoryStream s;
  s.WriteString("abcdef");
  s.SetSize(3);
  EXPECT_EQ(s.Bytes(), "abc");
  EXPECT_EQ(s.Position(), 3);  // was past the new end

  s.SetPosition(1);
  s.SetSize(5);
  EXPECT_EQ(s.Bytes(), std::string("abc\0\0", 5));
  EXPECT_EQ(s.Position(), 1);

  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Bytes(), "");
  EXPECT_NE(s.Memory(), nullptr);
}

TEST(MemoryStream, LoadFromStreamTakesTheWholeSourceWhateverItsPosition) {
  TMemoryStream source;
  Fill(source, "abcdef", 4);
  TMemoryStream s;
  Fill(s, "old content", 3);

  s.LoadFromStream(source);
  EXPECT_EQ(s.Bytes(), "abcdef");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(source.Position(), 6);
}

TEST(MemoryStream, LoadFromStreamLeavesTheStreamUnchangedWhenTheSourceFails) {
  FailingStream source(Pattern(100), 50, FailingStream::kNever);
  TMemoryStream s;
  Fill(s, "keep", 2);
  ExpectError<EReadError>([&] { s.LoadFromStream(source); }, "Stream read error");
  EXPECT_EQ(s.Bytes(), "keep");
  EXPECT_EQ(s.Position(), 2);
}

TEST(MemoryStream, SaveToStreamWritesEveryByteAtTheDestinationPosition) {
  TMemoryStream s;
  Fill(s, "abc", 2);
  TMemoryStream dest;
  Fill(dest, "0123", 1);
  s.SaveToStream(dest);
  EXPECT_EQ(dest.Bytes(), "0abc");
  EXPECT_EQ(dest.Position(), 4);
  EXPECT_EQ(s.Position(), 2);
}

// ----- TStream operations -----

TEST(Stream, NegativeCountsAndSizesAreRejected) {
  struct Row {
    const char* name;
    std::function<void(TMemoryStream&)> call;
    const char* message;
  } rows[] = {
      {"Read", [](TMemoryStream& s) { s.Read(nullptr, -1); }, "Negative stream byte count (-1)"},
      {"Write", [](TMemoryStream& s) { s.Write("", -1); }, "Negative stream byte count (-1)"},
      {"ReadBuffer", [](TMemoryStream& s) { s.ReadBuffer(nullptr, -2); },
       "Negative stream byte count (-2)"},
      {"WriteBuffer", [](TMemoryStream& s) { s.WriteBuffer("", -3); },
       "Negative stream byte count (-3)"},
      {"ReadString", [](TMemoryStream& s) { s.ReadString(-4); }, "Negative stream byte count (-4)"},
      {"CopyFrom",
       [](TMemoryStream& s) {
         TMemoryStream source;
         source.WriteString("xyz");
         s.CopyFrom(source, -5);
       },
       "Negative stream byte count (-5)"},
      {"SetSize", [](TMemoryStream& s) { s.SetSize(-6); }, "Negative stream size (-6)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TMemoryStream s;
    Fill(s, "abc", 1);
    ExpectError<EStreamError>([&] { row.call(s); }, row.message);
    EXPECT_EQ(s.Bytes(), "abc");
    EXPECT_EQ(s.Position(), 1);
  }
}

TEST(Stream, ReadBufferPastTheEndFailsWithoutTouchingTheBytesBeyond) {
  TMemoryStream s;
  Fill(s, "abcde", 3);
  char buffer[6] = "xxxxx";
  ExpectError<EReadError>([&] { s.ReadBuffer(buffer, 4); }, "Stream read error");
  EXPECT_STREQ(buffer, "dexxx");

  s.SetPosition(1);
  s.ReadBuffer(buffer, 4);
  EXPECT_STREQ(buffer, "bcdex");
  s.ReadBuffer(buffer, 0);  // nothing to read, also at the end
}

TEST(Stream, ReadStringReadsExactlyAndRefusesAHugeCountWithoutAllocatingIt) {
  const std::string bytes = Pattern(3 * kChunk + 5);
  TMemoryStream s;
  Fill(s, bytes, 0);
  EXPECT_EQ(s.ReadString(7), bytes.substr(0, 7));
  EXPECT_EQ(s.ReadString(static_cast<int64_t>(bytes.size()) - 7), bytes.substr(7));
  EXPECT_EQ(s.ReadString(0), "");

  // A length read from damaged data: the stream ends long before it.
  s.SetPosition(0);
  ExpectError<EReadError>([&] { s.ReadString(int64_t{1} << 60); }, "Stream read error");
}

TEST(Stream, CopyFromZeroCopiesTheWholeSourceFromItsFirstByte) {
  TMemoryStream source;
  Fill(source, "0123456789", 7);
  TMemoryStream dest;
  dest.WriteString("<");
  EXPECT_EQ(dest.CopyFrom(source, 0), 10);
  EXPECT_EQ(dest.Bytes(), "<0123456789");
  EXPECT_EQ(source.Position(), 10);
}

TEST(Stream, CopyFromACountStartsAtTheSourcePosition) {
  TMemoryStream source;
  Fill(source, "0123456789", 3);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 4), 4);
  EXPECT_EQ(dest.Bytes(), "3456");
  EXPECT_EQ(source.Position(), 7);

  // Three bytes left for four asked: nothing of the short chunk is written.
  ExpectError<EReadError>([&] { dest.CopyFrom(source, 4); }, "Stream read error");
  EXPECT_EQ(dest.Bytes(), "3456");
}

TEST(Stream, CopyFromMovesSourcesOfEverySizeAcrossChunks) {
  for (int64_t size : {int64_t{0}, int64_t{1}, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + 17}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const std::string bytes = Pattern(static_cast<size_t>(size));
    TMemoryStream source;
    Fill(source, bytes, size / 2);

    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(source, 0), size);
    EXPECT_EQ(whole.Bytes(), bytes);

    if (size == 0) continue;
    source.SetPosition(0);
    TMemoryStream counted;
    EXPECT_EQ(counted.CopyFrom(source, size), size);
    EXPECT_EQ(counted.Bytes(), bytes);
  }
}

// ----- FailingStream, through CopyFrom -----

// The limits swept: every chunk boundary and a stride over the rest.
std::vector<int64_t> Limits(int64_t size) {
  std::vector<int64_t> limits = {0, 1, kChunk - 1, kChunk, kChunk + 1, size - 1, size, size + 1};
  for (int64_t n = 2; n < size; n += 997) limits.push_back(n);
  return limits;
}

TEST(FailingStream, AFailingDestinationStopsCopyFromAtEveryLimit) {
  const int64_t size = kChunk + kChunk / 2 + 3;
  const std::string bytes = Pattern(static_cast<size_t>(size));
  for (int64_t limit : Limits(size)) {
    SCOPED_TRACE("write limit " + std::to_string(limit));
    TMemoryStream source;
    Fill(source, bytes, 0);
    FailingStream dest("", FailingStream::kNever, limit);
    if (limit < size) {
      ExpectError<EWriteError>([&] { dest.CopyFrom(source, 0); }, "Stream write error");
      EXPECT_EQ(dest.Bytes(), bytes.substr(0, static_cast<size_t>(limit)));
    } else {
      EXPECT_EQ(dest.CopyFrom(source, 0), size);
      EXPECT_EQ(dest.Bytes(), bytes);
    }
    EXPECT_EQ(dest.BytesWritten(), std::min(limit, size));
  }
}

TEST(FailingStream, AFailingSourceStopsCopyFromAtEveryLimit) {
  const int64_t size = kChunk + kChunk / 2 + 3;
  const std::string bytes = Pattern(static_cast<size_t>(size));
  for (int64_t limit : Limits(size)) {
    SCOPED_TRACE("read limit " + std::to_string(limit));
    FailingStream source(bytes, limit, FailingStream::kNever);
    TMemoryStream dest;
    if (limit < size) {
      ExpectError<EReadError>([&] { dest.CopyFrom(source, size); }, "Stream read error");
      EXPECT_LE(dest.Size(), limit);
      EXPECT_EQ(dest.Bytes(), bytes.substr(0, static_cast<size_t>(dest.Size())));
    } else {
      EXPECT_EQ(dest.CopyFrom(source, size), size);
      EXPECT_EQ(dest.Bytes(), bytes);
    }
    EXPECT_EQ(source.BytesRead(), std::min(limit, size));
  }
}

// ----- TFileStream -----

class FileStream : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kivo-stream-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << SystemText(errno);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

TEST_F(FileStream, SaveToFileAndLoadFromFileRoundTrip) {
  const std::string path = PathOf("round.bin");
  WriteFile(path, std::string(300000, 'x'));  // longer than what is saved: must be truncated
  const std::string bytes = Pattern(100003);
  TMemoryStream saved;
  Fill(saved, bytes, 5);
  saved.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), bytes);

  TMemoryStream loaded;
  Fill(loaded, "old", 1);
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Bytes(), bytes);
  EXPECT_EQ(loaded.Position(), 0);
}

TEST_F(FileStream, ReadsWritesSeeksAndResizesTheFile) {
  const std::string path = PathOf("data.bin");
  {
    TFileStream f(path, fmCreate);
    EXPECT_EQ(f.FileName(), path);
    f.WriteString("hello world");
    EXPECT_EQ(f.Size(), 11);
    EXPECT_EQ(f.Seek(-5, soEnd), 6);
    EXPECT_EQ(f.ReadString(5), "world");
    char c = 0;
    EXPECT_EQ(f.Read(&c, 1), 0);
    EXPECT_EQ(f.Seek(3, soEnd), 14);
    f.WriteString("!");
    EXPECT_EQ(f.Size(), 15);
    f.SetSize(5);
    EXPECT_EQ(f.Position(), 5);  // was past the new end
    f.SetPosition(2);
    f.SetSize(8);
    EXPECT_EQ(f.Position(), 2);
  }
  EXPECT_EQ(ReadFile(path), std::string("hello\0\0\0", 8));
  {
    TFileStream f(path, fmOpenReadWrite);
    EXPECT_EQ(f.Position(), 0);
    f.WriteString("J");
    EXPECT_EQ(f.ReadString(4), "ello");
  }
  EXPECT_EQ(ReadFile(path), std::string("Jello\0\0\0", 8));
  {
    TFileStream f(path, fmOpenRead);
    char buffer[10] = {};
    ExpectError<EReadError>([&] { f.ReadBuffer(buffer, 9); }, "Stream read error");
  }
}

TEST_F(FileStream, OpenFailuresNameTheFileAndTheReason) {
  const std::string existing = PathOf("existing.bin");
  WriteFile(existing, "abc");
  struct Row {
    const char* name;
    std::string path;
    uint16_t mode;
    bool create_error;
    std::string reason;
  } rows[] = {
      {"missing file", PathOf("missing.bin"), fmOpenRead, false, SystemText(ENOENT)},
      {"missing file for writing", PathOf("missing.bin"), fmOpenWrite, false, SystemText(ENOENT)},
      {"create in a missing directory", PathOf("no/such/dir/a.bin"), fmCreate, true,
       SystemText(ENOENT)},
      {"directory", dir_.string(), fmOpenRead | fmShareDenyWrite, false, SystemText(EISDIR)},
      {"create over a directory", dir_.string(), fmCreate, true, SystemText(EISDIR)},
      {"access mode 3", existing, 0x0003, false, SystemText(EINVAL)},
      {"unknown share mode", existing, fmOpenRead | 0x0030, false, SystemText(EINVAL)},
      {"stray high bits", existing, 0x0100, false, SystemText(EINVAL)},
      {"create with an unknown share mode", existing, fmCreate | 0x0080, true, SystemText(EINVAL)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string message = row.create_error
                                    ? "Cannot create file \"" + row.path + "\". " + row.reason
                                    : "Cannot open file \"" + row.path + "\". " + row.reason;
    try {
      TFileStream f(row.path, row.mode);
      ADD_FAILURE() << "no exception; expected \"" << message << "\"";
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), message);
      EXPECT_EQ(dynamic_cast<const EFCreateError*>(&e) != nullptr, row.create_error);
      EXPECT_EQ(dynamic_cast<const EFOpenError*>(&e) != nullptr, !row.create_error);
    }
  }
  EXPECT_EQ(ReadFile(existing), "abc");
  EXPECT_FALSE(fs::exists(PathOf("missing.bin")));
}

TEST_F(FileStream, SystemFailuresCarryTheReason) {
  const std::string path = PathOf("data.bin");
  WriteFile(path, "abc");
  {
    TFileStream reader(path, fmOpenRead);
    ExpectError<EWriteError>([&] { reader.WriteString("x"); },
                             "Stream write error. " + SystemText(EBADF));
    ExpectError<EWriteError>([&] { reader.SetSize(1); },
                             "Stream write error. " + SystemText(EINVAL));
    ExpectError<EStreamError>([&] { reader.Seek(-1, soBeginning); },
                              "Stream seek error. " + SystemText(EINVAL));
    EXPECT_EQ(reader.Position(), 0);
  }
  {
    TFileStream writer(path, fmOpenWrite);
    ExpectError<EReadError>([&] { writer.ReadString(1); },
                            "Stream read error. " + SystemText(EBADF));
  }
  EXPECT_EQ(ReadFile(path), "abc");
}

TEST_F(FileStream, ADenyWriteReaderKeepsWritersOut) {
  const std::string path = PathOf("shared.bin");
  WriteFile(path, "original");
  const std::string in_use = "The file is in use";
  struct Row {
    const char* name;
    uint16_t mode;
    std::string message;  // empty: the open succeeds
  } rows[] = {
      {"create", fmCreate, "Cannot create file \"" + path + "\". " + in_use},
      {"write", fmOpenWrite, "Cannot open file \"" + path + "\". " + in_use},
      {"read-write denying writes", fmOpenReadWrite | fmShareDenyWrite,
       "Cannot open file \"" + path + "\". " + in_use},
      {"exclusive reader", fmOpenRead | fmShareExclusive,
       "Cannot open file \"" + path + "\". " + in_use},
      {"another deny-write reader", fmOpenRead | fmShareDenyWrite, ""},
      {"plain reader", fmOpenRead, ""},
      {"writer that denies nothing", fmOpenReadWrite | fmShareDenyNone, ""},
  };
  {
    TFileStream reader(path, fmOpenRead | fmShareDenyWrite);
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      if (row.message.empty()) {
        TFileStream other(path, row.mode);
        EXPECT_EQ(other.Size(), 8);
      } else {
        ExpectError<EStreamError>([&] { TFileStream other(path, row.mode); }, row.message);
      }
      EXPECT_EQ(ReadFile(path), "original");
    }
    ExpectError<EFCreateError>([&] { TMemoryStream().SaveToFile(path); }, rows[0].message);
    EXPECT_EQ(reader.ReadString(8), "original");
  }
  {
    TFileStream writer(path, fmCreate);
    writer.WriteString("new");
  }
  EXPECT_EQ(ReadFile(path), "new");
}

TEST_F(FileStream, AWriterKeepsDenyWriteReadersOut) {
  const std::string path = PathOf("busy.bin");
  TFileStream writer(path, fmCreate);
  writer.WriteString("partial");
  const std::string message = "Cannot open file \"" + path + "\". The file is in use";
  ExpectError<EFOpenError>([&] { TFileStream(path, fmOpenRead | fmShareDenyWrite); }, message);
  ExpectError<EFOpenError>([&] { TMemoryStream().LoadFromFile(path); }, message);
  TFileStream plain_reader(path, fmOpenRead);
  EXPECT_EQ(plain_reader.ReadString(7), "partial");
}

}  // namespace
}  // namespace kivo
