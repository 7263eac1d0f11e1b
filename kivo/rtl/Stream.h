// Byte streams: the abstract stream, a stream over owned memory, and a stream over a file.
//
// `TStream` reads and writes bytes at a current position. Its derived classes supply `Read`,
// `Write`, `Seek`, `Size` and `SetSize`; the base builds the exact-count operations on them
// (`ReadBuffer`, `WriteBuffer`, `CopyFrom`, `ReadString`, `WriteString`), which fail with an
// exception where the primitive operations only return a short count.
//
// `TMemoryStream` keeps its bytes in one block that callers may read in place. `TFileStream`
// opens a file with the classic mode values (`fmOpenRead | fmShareDenyWrite`, `fmCreate`, …) and
// emulates the sharing modes with advisory locks (see TFileStream).
//
//   kivo::TMemoryStream memory;
//   memory.WriteString("KTC1");
//   memory.SaveToFile("/tmp/a.ktc");
//   kivo::TFileStream file("/tmp/a.ktc", kivo::fmOpenRead | kivo::fmShareDenyWrite);
//   file.ReadString(4);           // "KTC1"
//   file.ReadString(1);           // throws EReadError "Stream read error"
//
// Counts, sizes and positions are byte counts (int64_t). A negative count or size is rejected
// with EStreamError "Negative stream byte count (-1)" or "Negative stream size (-1)": it is
// always a caller's mistake, and treating it as zero would hide it.
// Threads: a stream is single-threaded, no locking.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kivo/rtl/ClassModel.h"

namespace kivo {

// Message formats of the stream errors (the file errors' own formats are in Exceptions.h).
inline constexpr const char* SNegativeCount = "Negative stream byte count (%d)";
inline constexpr const char* SNegativeSize = "Negative stream size (%d)";
inline constexpr const char* SSeekBeforeBeginning = "Seek before the beginning of the stream (%d)";
inline constexpr const char* SPositionOutOfRange = "Stream position out of range";
inline constexpr const char* SInvalidSeekOrigin = "Invalid seek origin (%d)";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SFileReadError = "Stream read error. %s";
inline constexpr const char* SFileWriteError = "Stream write error. %s";
inline constexpr const char* SFileSeekError = "Stream seek error. %s";
inline constexpr const char* SFileInUse = "The file is in use";

// Where a Seek offset counts from. The fixed underlying type makes any int a valid value, so a
// value outside the three is rejected by Seek rather than being undefined.
enum TSeekOrigin : int { soBeginning, soCurrent, soEnd };

// Asks the system to back the whole 2 MiB pages of a block of at least 8 MiB with large pages: a
// block of many megabytes is otherwise faulted in 4 KiB at a time as it is first written, which
// costs more than writing it. Smaller blocks are left alone; the advice is only a hint.
void AdviseLargePages(void* block, size_t size);

// The open modes of TFileStream: one access mode (or fmCreate) or-ed with one sharing mode.
inline constexpr uint16_t fmCreate = 0xFF00;  // create or truncate, for reading and writing
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// The abstract byte stream.
class TStream : public TObject {
  KIVO_CLASS(TStream, kivo::TObject)

  // The largest block that CopyFrom moves at once; it also bounds the buffer it allocates.
  static constexpr int64_t kCopyChunkSize = 64 * 1024;

  TStream() = default;
  ~TStream() override = default;

  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to `count` bytes at the position into `buffer`, advances the position past them and
  // returns how many it read: fewer than `count` near the end, 0 at or past the end.
  // Throws: EStreamError "Negative stream byte count (-1)"; EReadError when the device fails.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to `count` bytes of `buffer` at the position, advances the position past them and
  // returns how many it wrote. Writing past the end extends the stream; a gap between the old end
  // and the position reads as zero bytes.
  // Throws: EStreamError "Negative stream byte count (-1)"; EWriteError when the device fails.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position to `offset` from `origin` and returns the new position. A position past
  // the end is allowed.
  // Throws: EStreamError when the new position is before the beginning (memory streams:
  // "Seek before the beginning of the stream (-3)").
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  // The number of bytes in the stream.
  virtual int64_t Size() const = 0;
  // Truncates or extends (with zero bytes) the stream to `size` bytes. A position past the new
  // end moves to the new end; any other position is kept.
  // Throws: EStreamError "Negative stream size (-1)".
  virtual void SetSize(int64_t size) = 0;

  // The current position: Seek(0, soCurrent).
  int64_t Position();
  // Seek(position, soBeginning).
  void SetPosition(int64_t position);

  // Reads exactly `count` bytes into `buffer`. When the stream ends first, the bytes that were
  // there have been read into `buffer` and nothing past them is touched.
  // Throws: EReadError "Stream read error" when fewer than `count` bytes remain;
  // EStreamError "Negative stream byte count (-1)".
  void ReadBuffer(void* buffer, int64_t count);
  // Writes exactly `count` bytes of `buffer`.
  // Throws: EWriteError "Stream write error" when the stream takes fewer;
  // EStreamError "Negative stream byte count (-1)".
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from the position of `source` to the position of this stream and returns
  // the number copied. `count == 0` copies the whole of `source`, from its first byte. The copy
  // moves at most kCopyChunkSize bytes at a time; on failure the chunks already copied stay
  // written.
  // Throws: EReadError "Stream read error" when `source` has fewer than `count` bytes left;
  // EStreamError "Negative stream byte count (-1)"; whatever either stream raises.
  // REQUIRES: `source` is not this stream.
  int64_t CopyFrom(TStream& source, int64_t count);
  // Reads exactly `count` bytes and returns them. Memory grows with the bytes actually read, so
  // a large `count` taken from untrusted data costs at most the bytes left in the stream plus
  // one kCopyChunkSize block.
  // Throws: EReadError "Stream read error" when fewer than `count` bytes remain;
  // EStreamError "Negative stream byte count (-1)".
  std::string ReadString(int64_t count);
  // Writes all of `bytes`.
  // Throws: EWriteError "Stream write error" when the stream takes fewer.
  void WriteString(std::string_view bytes);

 protected:
  // Raises the negative-count error for a negative `count`; for derived classes' Read and Write.
  // Throws: EStreamError "Negative stream byte count (-1)".
  static void CheckCount(int64_t count);
  // Raises the negative-size error for a negative `size`; for derived classes' SetSize.
  // Throws: EStreamError "Negative stream size (-1)".
  static void CheckSize(int64_t size);
};

// A stream over bytes that it owns, held in one contiguous block.
//
// The block grows geometrically, so a long run of small writes costs linear time. Memory() and
// Bytes() show the block in place; they stay valid until the next call that changes the size.
class TMemoryStream : public TStream {
  KIVO_CLASS(TMemoryStream, kivo::TStream)

  TMemoryStream() = default;
  ~TMemoryStream() override = default;

  // Throws: EStreamError "Negative stream byte count (-1)".
  int64_t Read(void* buffer, int64_t count) override;
  // Throws: EStreamError "Negative stream byte count (-1)"; EStreamError "Stream position out of
  // range" when the end would pass the largest int64_t; EStreamError "Out of memory while
  // expanding memory stream".
  int64_t Write(const void* buffer, int64_t count) override;
  // Throws: EStreamError "Seek before the beginning of the stream (-3)"; EStreamError "Stream
  // position out of range" when the position would pass the largest int64_t; EStreamError
  // "Invalid seek origin (7)".
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() const override;
  // Throws: EStreamError "Negative stream size (-1)"; EStreamError "Out of memory while expanding
  // memory stream".
  void SetSize(int64_t size) override;

  // The first byte of the block (Size() bytes; a valid pointer also when the stream is empty).
  const char* Memory() const;
  char* Memory();
  // The bytes of the stream.
  std::string_view Bytes() const;
  // Empties the stream and releases its block; the position becomes 0.
  void Clear();

  // Replaces the bytes by the whole of `source`, from its first byte whatever its position, and
  // sets this stream's position to 0. When reading fails, this stream is left unchanged.
  // Throws: whatever `source` raises (EReadError "Stream read error" when it is shorter than
  // its Size()).
  void LoadFromStream(TStream& source);
  // Replaces the bytes by the content of the file `file_name`, opened with
  // fmOpenRead | fmShareDenyWrite; the position becomes 0.
  // Throws: EFOpenError "Cannot open file "a.ktc". No such file or directory" (or "… The file
  // is in use" while another stream holds the file for writing); EReadError.
  void LoadFromFile(const std::string& file_name);
  // Writes all of the bytes to `dest` at its position; this stream's position is not used.
  // Throws: EWriteError "Stream write error" when `dest` takes fewer.
  void SaveToStream(TStream& dest) const;
  // Creates (or truncates) the file `file_name` with fmCreate and writes all of the bytes to it.
  // Throws: EFCreateError "Cannot create file "/x/a.ktc". No such file or directory" (or
  // "… The file is in use"); EWriteError.
  void SaveToFile(const std::string& file_name) const;

 private:
  // Makes the block `size` bytes long, growing its capacity geometrically.
  void Resize(int64_t size);

  std::string data_;      // the bytes; size() is the stream's size
  int64_t position_ = 0;  // >= 0; may be past the end
};

// A stream over an open file (POSIX descriptor, opened with O_CLOEXEC and closed by the
// destructor).
//
// The mode is an access mode (fmOpenRead, fmOpenWrite, fmOpenReadWrite) or fmCreate (create the
// file or truncate it, for reading and writing), or-ed with at most one sharing mode. POSIX has
// no mandatory sharing modes, so they are emulated with advisory `flock` locks, taken without
// waiting when the file is opened and released when the stream is destroyed:
//   - fmShareExclusive, and every stream that writes (fmCreate, fmOpenWrite, fmOpenReadWrite)
//     unless fmShareDenyNone is given, takes an exclusive lock;
//   - a reading stream with fmShareDenyWrite takes a shared lock;
//   - fmShareDenyNone, and a reading stream without a sharing mode, take no lock.
// When the lock is held elsewhere, the open fails with "The file is in use". So while a reader
// holds a file with fmShareDenyWrite, a writer in this or another process that opens the file
// through a TFileStream gets an error instead of changing the file under it; several such
// readers share the file. fmCreate truncates the file only once it holds the lock. The locks
// bind only TFileStreams (and other flock users): a program that ignores them is not stopped.
class TFileStream : public TStream {
  KIVO_CLASS(TFileStream, kivo::TStream)

  // Opens `file_name` with `mode`.
  // Throws: EFCreateError "Cannot create file "/x/a.ktc". <reason>" for fmCreate, EFOpenError
  // "Cannot open file "a.ktc". <reason>" otherwise. The reason is the system's text for the
  // failure ("No such file or directory", "Permission denied", "Is a directory", "Invalid
  // argument" for a mode outside the values above) or "The file is in use" for a lock held
  // elsewhere.
  TFileStream(const std::string& file_name, uint16_t mode);
  // Closes the file, which releases its lock.
  ~TFileStream() override;

  // Throws: EStreamError "Negative stream byte count (-1)"; EReadError "Stream read error.
  // <reason>" when the system fails (such as "Bad file descriptor" for a file opened only for
  // writing).
  int64_t Read(void* buffer, int64_t count) override;
  // Throws: EStreamError "Negative stream byte count (-1)"; EWriteError "Stream write error.
  // <reason>" when the system fails (such as "Bad file descriptor" for a file opened only for
  // reading, "No space left on device").
  int64_t Write(const void* buffer, int64_t count) override;
  // Throws: EStreamError "Stream seek error. Invalid argument" for a position before the
  // beginning; EStreamError "Invalid seek origin (7)".
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Throws: EStreamError "Stream seek error. <reason>" when the system cannot tell the size.
  int64_t Size() const override;
  // Throws: EStreamError "Negative stream size (-1)"; EWriteError "Stream write error. <reason>"
  // when the system fails (a file opened only for reading: "Invalid argument").
  void SetSize(int64_t size) override;

  // The name the stream was opened with.
  const std::string& FileName() const;

 private:
  std::string file_name_;
  int fd_ = -1;  // open for the stream's whole life
};

}  // namespace kivo
