#include "replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool WriteAll(int fd, const std::string& contents) {
  const char* data = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    data += written;
    left -= size_t(written);
  }
  return true;
}

// A name of its own in the target's folder (a rename works only within one file system),
// short whatever the target is called, and never one that another thread or run has taken.
int CreateTemporary(const std::filesystem::path& folder, std::string& name) {
  static std::atomic<unsigned> serial{0};
  for (;;) {
    name = (folder /
            (".tessel-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp"))
               .string();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

}  // namespace

std::string ReplaceFileContents(const std::string& path, const std::string& contents) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::string temporary;
  const int fd = CreateTemporary(folder, temporary);
  if (fd < 0) return std::strerror(errno);

  // The contents must be on disk before the rename makes them the only copy.
  bool done = WriteAll(fd, contents) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done && std::rename(temporary.c_str(), path.c_str()) != 0) {
    done = false;
    error = errno;
  }
  if (done) return {};
  ::unlink(temporary.c_str());
  return std::strerror(error);
}
