// A fault-injecting stream for tests: a memory stream whose reads or writes fail after N bytes.
//
// `FailingStream` behaves as a TMemoryStream over the bytes it is given until the bytes read
// (or written) reach a limit; the call that would pass the limit moves the bytes up to it, then
// throws EReadError "Stream read error" (or EWriteError "Stream write error"). A test sweeps the
// limit over 0 … size to check that every failure point propagates the error and releases what
// the code under test holds:
//
//   for (int64_t n = 0; n <= size; ++n) {
//     kivo::testing::FailingStream out("", FailingStream::kNever, n);
//     EXPECT_THROW(writer.WriteTo(out), kivo::EWriteError) << n;   // for n < size
//   }
//
// It declares no class metadata of its own: ClassName() is "TStream".
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Stream.h"

namespace kivo::testing {

class FailingStream : public TStream {
 public:
  // A limit that is never reached.
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

  // A stream over `bytes`, positioned at 0, whose reads fail once `read_limit` bytes have been
  // read and whose writes fail once `write_limit` bytes have been written.
  // REQUIRES: both limits are >= 0.
  FailingStream(std::string_view bytes, int64_t read_limit, int64_t write_limit)
      : read_limit_(read_limit), write_limit_(write_limit) {
    memory_.WriteString(bytes);
    memory_.SetPosition(0);
  }

  // Throws: EReadError "Stream read error" when the call would pass the read limit.
  int64_t Read(void* buffer, int64_t count) override {
    CheckCount(count);
    const int64_t allowed = std::min(count, read_limit_ - bytes_read_);
    const int64_t n = memory_.Read(buffer, allowed);
    bytes_read_ += n;
    if (allowed < count) throw EReadError();
    return n;
  }
  // Throws: EWriteError "Stream write error" when the call would pass the write limit.
  int64_t Write(const void* buffer, int64_t count) override {
    CheckCount(count);
    const int64_t allowed = std::min(count, write_limit_ - bytes_written_);
    bytes_written_ += memory_.Write(buffer, allowed);
    if (allowed < count) throw EWriteError();
    return allowed;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return memory_.Seek(offset, origin); }
  int64_t Size() const override { return memory_.Size(); }
  void SetSize(int64_t size) override { memory_.SetSize(size); }

  // The stream's bytes.
  std::string_view Bytes() const { return memory_.Bytes(); }
  // The bytes that reads have returned so far.
  int64_t BytesRead() const { return bytes_read_; }
  // The bytes that writes have stored so far.
  int64_t BytesWritten() const { return bytes_written_; }

 private:
  TMemoryStream memory_;
  int64_t read_limit_;
  int64_t write_limit_;
  int64_t bytes_read_ = 0;
  int64_t bytes_written_ = 0;
};

}  // namespace kivo::testing
