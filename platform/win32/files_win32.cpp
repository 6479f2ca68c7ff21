#include <windows.h>

#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/win32/handles.h"

namespace zinnow {

struct TFileStream::Impl {
  win32::UniqueFile file;
};

TFileStream::TFileStream(const AnsiString& path) : impl_(std::make_unique<Impl>()) {
  if (path.empty()) throw EFCreateError(path);
  impl_->file.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!impl_->file) throw EFCreateError(path);
}

TFileStream::~TFileStream() = default;

void TFileStream::Write(const void* data, std::size_t size) {
  if (size > MAXDWORD) throw EWriteError();
  DWORD written = 0;
  const BOOL ok = WriteFile(impl_->file.Get(), data, static_cast<DWORD>(size), &written, nullptr);
  if (!ok || written != size) throw EWriteError();
}

bool ReadWholeFile(const AnsiString& path, AnsiString& bytes) {
  win32::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
  AnsiString text(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), text.data() + done, static_cast<DWORD>(text.size() - done), &got,
                  nullptr) ||
        got == 0) {
      return false;
    }
    done += got;
  }
  bytes = std::move(text);
  return true;
}

bool MoveOver(const AnsiString& from, const AnsiString& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void RemoveFile(const AnsiString& path) {
  DeleteFileA(path.c_str());
}

bool DirectoryExists(const AnsiString& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace zinnow
