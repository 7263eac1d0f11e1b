#include "kivo/rtl/Stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

KIVO_DEFINE_CLASS(TStream) {}
KIVO_DEFINE_CLASS(TMemoryStream) {}
KIVO_DEFINE_CLASS(TFileStream) {}

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
// The most that one read() or write() call is asked to move.
constexpr int64_t kMaxSystemTransfer = int64_t{1} << 30;

// a + b in *sum; false when the sum does not fit in int64_t.
bool CheckedAdd(int64_t a, int64_t b, int64_t* sum) {
  if ((b > 0 && a > kInt64Max - b) || (b < 0 && a < kInt64Min - b)) return false;
  *sum = a + b;
  return true;
}

std::string SystemReason(int error) { return std::strerror(error); }

[[noreturn]] void ThrowInvalidOrigin(TSeekOrigin origin) {
  throw EStreamError(FormatMessage(SInvalidSeekOrigin, {std::to_string(static_cast<int>(origin))}));
}

// Makes `s` `size` bytes long (new bytes are zero), at least doubling its capacity when it must
// grow, so that repeated small extensions cost amortised linear time.
void GrowString(std::string& s, size_t size) {
  if (size > s.capacity()) {
    s.reserve(std::max(size, std::min(s.capacity() * 2, s.max_size())));
  }
  s.resize(size);
}

}  // namespace

void AdviseLargePages(void* block, size_t size) {
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  if (size < 4 * kLargePage) return;
  const auto at = reinterpret_cast<uintptr_t>(block);
  const uintptr_t begin = (at + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = (at + size) & ~(kLargePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// ----- TStream -----

int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(int64_t position) { Seek(position, soBeginning); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  CheckCount(count);
  char* p = static_cast<char*>(buffer);
  while (count > 0) {
    const int64_t n = Read(p, count);
    if (n <= 0) throw EReadError();
    p += n;
    count -= n;
  }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  CheckCount(count);
  const char* p = static_cast<const char*>(buffer);
  while (count > 0) {
    const int64_t n = Write(p, count);
    if (n <= 0) throw EWriteError();
    p += n;
    count -= n;
  }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  CheckCount(count);
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::min(count, kCopyChunkSize)));
  for (int64_t left = count; left > 0;) {
    const int64_t n = std::min(left, kCopyChunkSize);
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

std::string TStream::ReadString(int64_t count) {
  CheckCount(count);
  std::string bytes;
  while (static_cast<int64_t>(bytes.size()) < count) {
    const size_t old_size = bytes.size();
    const int64_t n = std::min(count - static_cast<int64_t>(old_size), kCopyChunkSize);
    GrowString(bytes, old_size + static_cast<size_t>(n));
    ReadBuffer(bytes.data() + old_size, n);
  }
  return bytes;
}

void TStream::WriteString(std::string_view bytes) {
  WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStream::CheckCount(int64_t count) {
  if (count < 0) throw EStreamError(FormatMessage(SNegativeCount, {std::to_string(count)}));
}

void TStream::CheckSize(int64_t size) {
  if (size < 0) throw EStreamError(FormatMessage(SNegativeSize, {std::to_string(size)}));
}

// ----- TMemoryStream -----

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  CheckCount(count);
  const int64_t available = Size() - position_;
  if (count == 0 || available <= 0) return 0;
  const int64_t n = std::min(count, available);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  CheckCount(count);
  if (count == 0) return 0;
  int64_t end = 0;
  if (!CheckedAdd(position_, count, &end)) throw EStreamError(SPositionOutOfRange);
  if (end > Size()) Resize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = 0;
  switch (origin) {
    case soBeginning:
      base = 0;
      break;
    case soCurrent:
      base = position_;
      break;
    case soEnd:
      base = Size();
      break;
    default:
      ThrowInvalidOrigin(origin);
  }
  int64_t position = 0;
  if (!CheckedAdd(base, offset, &position)) throw EStreamError(SPositionOutOfRange);
  if (position < 0) {
    throw EStreamError(FormatMessage(SSeekBeforeBeginning, {std::to_string(position)}));
  }
  position_ = position;
  return position_;
}

int64_t TMemoryStream::Size() const { return static_cast<int64_t>(data_.size()); }

void TMemoryStream::SetSize(int64_t size) {
  CheckSize(size);
  Resize(size);
  position_ = std::min(position_, size);
}

const char* TMemoryStream::Memory() const { return data_.data(); }

char* TMemoryStream::Memory() { return data_.data(); }

std::string_view TMemoryStream::Bytes() const { return data_; }

void TMemoryStream::Clear() {
  std::string().swap(data_);
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  CheckCount(size);  // as ReadString would
  // One block of the final size, read into directly: no growth, no second copy.
  // A size that cannot be reserved at once is read in chunks, which fails where the data or the
  // memory ends.
  std::string bytes;
  bool reserved = true;
  try {
    bytes.reserve(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    reserved = false;
  } catch (const std::length_error&) {
    reserved = false;
  }
  if (reserved) {
    AdviseLargePages(bytes.data(), bytes.capacity());
    bytes.resize(static_cast<size_t>(size));
    source.ReadBuffer(bytes.data(), size);
  } else {
    bytes = source.ReadString(size);
  }
  data_.swap(bytes);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& file_name) const {
  TFileStream file(file_name, fmCreate);
  SaveToStream(file);
}

void TMemoryStream::Resize(int64_t size) {
  try {
    GrowString(data_, static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EStreamError(SMemoryStreamError);
  } catch (const std::length_error&) {
    throw EStreamError(SMemoryStreamError);
  }
}

// ----- TFileStream -----

namespace {

// The lock that a file stream takes (flock operation), or 0 for none.
int LockFor(bool writes, uint16_t share) {
  if (share == fmShareDenyNone) return 0;
  if (share == fmShareExclusive || writes) return LOCK_EX;
  if (share == fmShareDenyWrite) return LOCK_SH;
  return 0;
}

// Takes `operation` (LOCK_SH or LOCK_EX) on `fd` without waiting; returns 0 or the reason.
int TryLock(int fd, int operation) {
  while (flock(fd, operation | LOCK_NB) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

TFileStream::TFileStream(const std::string& file_name, uint16_t mode) : file_name_(file_name) {
  const bool create = (mode & fmCreate) == fmCreate;
  const uint16_t access = mode & 0x0003;
  const uint16_t share = mode & 0x00F0;
  const auto fail = [&](const std::string& reason) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (create) throw EFCreateError(file_name_, reason);
    throw EFOpenError(file_name_, reason);
  };

  const bool mode_valid = ((mode & 0xFF00) == 0 || create) && (mode & 0x000C) == 0 &&
                          (create || access != 0x0003) &&
                          (share == 0 || share == fmShareExclusive || share == fmShareDenyWrite ||
                           share == fmShareDenyNone);
  if (!mode_valid) fail(SystemReason(EINVAL));

  int flags = O_CLOEXEC;
  if (create) {
    // No O_TRUNC: the file is truncated only once the lock is held.
    flags |= O_RDWR | O_CREAT;
  } else if (access == fmOpenWrite) {
    flags |= O_WRONLY;
  } else if (access == fmOpenReadWrite) {
    flags |= O_RDWR;
  } else {
    flags |= O_RDONLY;
  }
  do {
    fd_ = ::open(file_name_.c_str(), flags, 0666);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) fail(SystemReason(errno));

  struct stat info;
  if (::fstat(fd_, &info) != 0) fail(SystemReason(errno));
  if (S_ISDIR(info.st_mode)) fail(SystemReason(EISDIR));

  const int lock = LockFor(create || access != fmOpenRead, share);
  if (lock != 0) {
    const int error = TryLock(fd_, lock);
    if (error == EWOULDBLOCK) fail(SFileInUse);
    if (error != 0) fail(SystemReason(error));
  }
  if (create && ::ftruncate(fd_, 0) != 0) fail(SystemReason(errno));
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  CheckCount(count);
  const size_t n = static_cast<size_t>(std::min(count, kMaxSystemTransfer));
  ssize_t done = 0;
  do {
    done = ::read(fd_, buffer, n);
  } while (done < 0 && errno == EINTR);
  if (done < 0) throw EReadError(FormatMessage(SFileReadError, {SystemReason(errno)}));
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  CheckCount(count);
  const size_t n = static_cast<size_t>(std::min(count, kMaxSystemTransfer));
  ssize_t done = 0;
  do {
    done = ::write(fd_, buffer, n);
  } while (done < 0 && errno == EINTR);
  if (done < 0) throw EWriteError(FormatMessage(SFileWriteError, {SystemReason(errno)}));
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = SEEK_SET;
  switch (origin) {
    case soBeginning:
      whence = SEEK_SET;
      break;
    case soCurrent:
      whence = SEEK_CUR;
      break;
    case soEnd:
      whence = SEEK_END;
      break;
    default:
      ThrowInvalidOrigin(origin);
  }
  const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) throw EStreamError(FormatMessage(SFileSeekError, {SystemReason(errno)}));
  return static_cast<int64_t>(position);
}

int64_t TFileStream::Size() const {
  struct stat info;
  if (::fstat(fd_, &info) != 0) {
    throw EStreamError(FormatMessage(SFileSeekError, {SystemReason(errno)}));
  }
  return static_cast<int64_t>(info.st_size);
}

void TFileStream::SetSize(int64_t size) {
  CheckSize(size);
  const int64_t position = Position();
  int result = 0;
  do {
    result = ::ftruncate(fd_, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  if (result != 0) throw EWriteError(FormatMessage(SFileWriteError, {SystemReason(errno)}));
  if (position > size) Seek(size, soBeginning);
}

const std::string& TFileStream::FileName() const { return file_name_; }

}  // namespace kivo
