#include "temp_dir.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace shell::testing {

TempDir::TempDir() {
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() / ("zentarel-test-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return file.string();
}

}  // namespace shell::testing
