// A file written beside its target and renamed over it once complete, so that a failed command
// leaves the target as it was.
//
//   kivo::tool::TTempFile temp("out.kbf");
//   {
//     kivo::TFileStream dest(temp.Name(), kivo::fmCreate);
//     … write …
//   }
//   temp.Commit();   // out.kbf is replaced; without Commit the temporary file is removed
#pragma once

#include <string>

namespace kivo::tool {

// The system's text for the error number `error`: "No such file or directory".
std::string SystemMessage(int error);

// A new file beside a target file, which replaces the target on Commit and is removed otherwise.
//
// The file is named ".<target name>.XXXXXX" (a unique suffix) in the target's folder, so that
// the rename stays within one file system. It gets the target's permission bits, or those of a
// new file when there is no target. A target that is a symbolic link is replaced through it.
class TTempFile {
 public:
  // Creates the file, empty.
  // Throws: EFCreateError "Cannot create file "<target>". <reason>".
  explicit TTempFile(const std::string& target);
  // Removes the file unless it has replaced the target.
  ~TTempFile();
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  const std::string& Name() const { return name_; }

  // Flushes the file to the disk and renames it over the target.
  // Throws: EFCreateError "Cannot create file "<target>". <reason>".
  // REQUIRES: no stream holds the file open for writing.
  void Commit();

 private:
  std::string target_;       // as given, for messages
  std::string destination_;  // the file that is replaced (a link's target)
  std::string name_;         // the temporary file
  bool committed_ = false;
};

}  // namespace kivo::tool
