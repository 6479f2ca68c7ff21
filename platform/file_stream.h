#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ansi_string.h"

namespace zinnow {

// Where bytes go, one write at a time.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Fails with EWriteError when fewer bytes are stored than asked.
  virtual void Write(const void* data, std::size_t size) = 0;
};

// A file created anew (replacing any file of that name), for reading and writing, shared with
// no other opener. Fails with EFCreateError naming the path; an empty path is no file.
// The file is closed when the stream goes, in every case, and never deleted.
class TFileStream : public ByteSink {
 public:
  explicit TFileStream(const AnsiString& path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  void Write(const void* data, std::size_t size) override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The whole file, opened for reading without sharing. False when it cannot be opened or read.
bool ReadWholeFile(const AnsiString& path, AnsiString& bytes);

// Puts `from` in the place of `to` in one step, replacing it. False when that cannot be done.
bool MoveOver(const AnsiString& from, const AnsiString& to);

// Removes the file, if it can.
void RemoveFile(const AnsiString& path);

// Whether the text names an existing folder, exactly as typed (nothing appended). A file of
// that name does not count.
bool DirectoryExists(const AnsiString& path);

}  // namespace zinnow
