// The fixture of the kivo tool's tests: runs command lines through kivo::tool::Main and keeps the
// files of a test in a folder of its own, removed after the test.
//
//   TEST_F(KivoTool, Something) {
//     WriteFile("de.ktc", kExampleCSV);
//     const RunResult result = Run({"info", Path("de.ktc")});
//   }
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/Bytes.h"
#include "support/Examples.h"
#include "tools/kivo/Commands.h"

namespace kivo::tool {

// The example dictionary in its three formats (see support/Examples.h).
inline const std::string& kExampleCSV = testing::kCsvExample;
inline const std::string& kExampleDFM = testing::kDfmExample;
inline const std::string& ExampleBinary() { return testing::kBinaryExample; }

// What a command line gave.
struct RunResult {
  int status;
  std::string out;
  std::string err;
};

class KivoTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kivo_tool_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The path of `name` in the test's folder.
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // `text` with every "{dir}" replaced by the test's folder.
  std::string Expand(std::string text) const {
    const std::string marker = "{dir}";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
      text.replace(at, marker.size(), dir_.string());
    return text;
  }

  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream file(Path(name), std::ios::binary);
    file << bytes;
    ASSERT_TRUE(file.good()) << name;
  }

  std::string ReadFile(const std::string& name) const {
    std::ifstream file(Path(name), std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  // The names in the test's folder, hidden ones included, in ascending order.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs `args` (each expanded) through Main.
  RunResult Run(const std::vector<std::string>& args) const {
    std::vector<std::string> expanded;
    for (const std::string& arg : args) expanded.push_back(Expand(arg));
    std::ostringstream out, err;
    const int status = Main(expanded, out, err);
    return {status, out.str(), err.str()};
  }

  std::filesystem::path dir_;
};

}  // namespace kivo::tool
