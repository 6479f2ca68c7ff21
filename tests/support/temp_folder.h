#pragma once

// A fresh folder for one test and the bytes of a file, for the host tests and the Windows tests
// alike. Paths are the system's own: host paths on the host, ANSI paths on Windows.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>

#include <filesystem>
#endif

namespace zinnow::test {

// A fresh folder under the temporary folder, removed with its files afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + kSeparator + name; }
  // The names of the files in it (folders aside), sorted.
  std::vector<std::string> Files() const;

 private:
#ifdef _WIN32
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif
  std::string path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifdef _WIN32

inline TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static int counter = 0;
  path_ = std::string(base) + "zinnow-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter);
  CreateDirectoryA(path_.c_str(), nullptr);
}

inline TempFolder::~TempFolder() {
  for (const std::string& name : Files()) DeleteFileA(File(name).c_str());
  RemoveDirectoryA(path_.c_str());
}

inline std::vector<std::string> TempFolder::Files() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(File("*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

#else

inline TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zinnow-test-XXXXXX").string();
  path_ = mkdtemp(pattern.data());
}

inline TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

inline std::vector<std::string> TempFolder::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    if (!entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

#endif

}  // namespace zinnow::test
