#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/headless/headless.h"
#include "platform/headless/state.h"
#include "platform/text.h"

namespace zinnow {
namespace {

bool HeldElsewhere(const std::string& hostPath) {
  return headless::TheState().heldFiles.count(hostPath) != 0;
}

}  // namespace

struct TFileStream::Impl {
  int fd = -1;
};

TFileStream::TFileStream(const AnsiString& path) : impl_(std::make_unique<Impl>()) {
  const std::string host = headless::HostPath(path);
  if (path.empty() || HeldElsewhere(host)) throw EFCreateError(path);
  impl_->fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (impl_->fd < 0) throw EFCreateError(path);
}

TFileStream::~TFileStream() {
  if (impl_->fd >= 0) ::close(impl_->fd);
}

void TFileStream::Write(const void* data, std::size_t size) {
  long long& diskSpace = headless::TheState().diskSpace;
  std::size_t allowed = size;
  if (diskSpace >= 0 && static_cast<long long>(size) > diskSpace) allowed = diskSpace;
  std::size_t done = 0;
  while (done < allowed) {
    const ssize_t n = ::write(impl_->fd, static_cast<const char*>(data) + done, allowed - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (diskSpace >= 0) diskSpace -= static_cast<long long>(done);
  if (done != size) throw EWriteError();
}

bool ReadWholeFile(const AnsiString& path, AnsiString& bytes) {
  const std::string host = headless::HostPath(path);
  if (path.empty() || HeldElsewhere(host)) return false;
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  AnsiString text;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) return false;
  bytes = std::move(text);
  return true;
}

bool MoveOver(const AnsiString& from, const AnsiString& to) {
  const std::string target = headless::HostPath(to);
  if (HeldElsewhere(target)) return false;
  return ::rename(headless::HostPath(from).c_str(), target.c_str()) == 0;
}

void RemoveFile(const AnsiString& path) {
  ::unlink(headless::HostPath(path).c_str());
}

bool DirectoryExists(const AnsiString& path) {
  struct stat st {};
  return !path.empty() && ::stat(headless::HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace headless {

std::string HostPath(const AnsiString& path) {
  std::string host = path;
  for (std::size_t i = 0; i < host.size(); i = NextCharStart(host, i, SystemCodePage())) {
    if (host[i] == '\\') host[i] = '/';
  }
  return host;
}

void HoldFileOpen(const AnsiString& path) {
  TheState().heldFiles.insert(HostPath(path));
}
void ReleaseFile(const AnsiString& path) {
  TheState().heldFiles.erase(HostPath(path));
}
void LimitDiskSpace(long long bytes) {
  TheState().diskSpace = bytes;
}

}  // namespace headless
}  // namespace zinnow
