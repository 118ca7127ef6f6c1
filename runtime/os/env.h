// The seam between the job and the operating system.
//
// Everything the job does with files, the clock and sleeping goes through the
// current Env.  Production uses the POSIX Env; tests install their own Env
// (usually one that forwards to the POSIX one and fails chosen calls) to
// inject faults.  Every function returns 0 on success or a positive errno
// value; nothing here throws.
//
// Paths are given as the job writes them (".\Msg\Ostrak.Txt"); the POSIX Env
// turns every '\' into '/' before it touches the file system.
#ifndef PPS2BDE_RUNTIME_OS_ENV_H_
#define PPS2BDE_RUNTIME_OS_ENV_H_

#include <cstddef>
#include <cstdint>
#include <ctime>

class Env {
 public:
  virtual ~Env() = default;

  // Opens the file for writing, creating it (mode 0644) when it is missing,
  // with write-through (every write is on disk when it returns) and held
  // exclusively: while this handle is open, another exclusive open of the
  // same file fails with EWOULDBLOCK.  On success *fd is the handle.
  virtual int OpenExclusive(const char* path, int* fd) = 0;
  // Moves the write position to the end; *size (if not null) gets the size.
  virtual int SeekEnd(int fd, int64_t* size) = 0;
  // Writes n bytes at the write position.  *written gets the bytes actually
  // written, also on failure (a short write returns 0 with *written < n).
  virtual int Write(int fd, const void* data, size_t n, size_t* written) = 0;
  // Cuts the file to size bytes and moves the write position there.
  virtual int Truncate(int fd, int64_t size) = 0;
  virtual int Close(int fd) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  virtual int Remove(const char* path) = 0;
  // Reads the whole file into a buffer of at most cap bytes; *len gets the
  // length.  EFBIG when the file does not fit.
  virtual int ReadFile(const char* path, char* buf, size_t cap, size_t* len) = 0;
  // Reads up to cap bytes of the file from offset on into buf (through a
  // read-only open of its own, so also from a file held by OpenExclusive);
  // *len gets the bytes read, fewer than cap at the end of the file.  An Env
  // that cannot read at an offset returns ENOSYS (the default).
  virtual int ReadAt(const char* path, int64_t offset, char* buf, size_t cap, size_t* len);
  virtual void SleepMs(int ms) = 0;
  // The current time of the machine (seconds since the epoch).
  virtual time_t Now() = 0;
};

// The Env in force; the POSIX Env unless a test installed another one.
Env* Env_Get();
// Installs env (null restores the POSIX Env) and returns the previous one.
Env* Env_Set(Env* env);
// The POSIX Env itself, for test Envs that forward to it.
Env* Env_Posix();

// Local broken-down time of Env_Get()->Now().
void Env_LocalTime(struct tm* out);

// Turns a job path into a POSIX path ('\' to '/') in out[cap].  Returns
// ENAMETOOLONG when it does not fit.
int Env_PosixPath(const char* path, char* out, size_t cap);

#endif  // PPS2BDE_RUNTIME_OS_ENV_H_
