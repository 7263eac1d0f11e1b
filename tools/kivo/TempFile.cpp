#include "tools/kivo/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "kivo/rtl/Exceptions.h"

namespace kivo::tool {

std::string SystemMessage(int error) { return std::generic_category().message(error); }

TTempFile::TTempFile(const std::string& target) : target_(target) {
  namespace fs = std::filesystem;
  fs::path path = target;
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::canonical(path, ec);
    if (!ec) path = resolved;
  }
  destination_ = path.string();
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw EFCreateError(target_, SystemMessage(errno));
  name_ = pattern;
  struct stat info;
  mode_t mode;
  if (stat(destination_.c_str(), &info) == 0) {
    mode = info.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  const int chmod_result = fchmod(fd, mode);
  const int chmod_error = errno;
  close(fd);
  if (chmod_result != 0) {
    unlink(name_.c_str());
    throw EFCreateError(target_, SystemMessage(chmod_error));
  }
}

TTempFile::~TTempFile() {
  if (!committed_) unlink(name_.c_str());
}

void TTempFile::Commit() {
  const int fd = open(name_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFCreateError(target_, SystemMessage(errno));
  const int sync_result = fsync(fd);
  const int sync_error = errno;
  close(fd);
  if (sync_result != 0) throw EFCreateError(target_, SystemMessage(sync_error));
  if (std::rename(name_.c_str(), destination_.c_str()) != 0)
    throw EFCreateError(target_, SystemMessage(errno));
  committed_ = true;
}

}  // namespace kivo::tool
