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

  // Opens the file for reading and appending, creating it (mode 0644) when
  // it is missing, with write-through (every write is on disk when it
  // returns) and held exclusively: while this handle is open, another
  // exclusive open of the same file fails with EWOULDBLOCK.  The open never
  // blocks; a symbolic link in place of the file is refused (ELOOP) and so
  // is anything that is not a regular file (a FIFO, a device: EINVAL).
  // Every write lands at the file's end as it is at that moment, so a file
  // another process emptied meanwhile gets no gap.  On success *fd is the
  // handle.
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
  // Opens the file for reading without blocking (a FIFO does not hang it);
  // anything that is not a regular file fails with EINVAL.  The default
  // (an Env without files) returns ENOSYS.
  virtual int OpenRead(const char* path, int* fd);
  // Reads up to cap bytes from the read position of fd; *len gets the bytes
  // read, 0 at the end of the file.  The default returns ENOSYS.
  virtual int Read(int fd, char* buf, size_t cap, size_t* len);
  // Reads up to cap bytes of the open file fd (from OpenExclusive) from
  // offset on into buf; *len gets the bytes read, fewer than cap at the end
  // of the file.  Reads through the handle itself, never through the name.
  // An Env that cannot read at an offset returns ENOSYS (the default).
  virtual int ReadAt(int fd, int64_t offset, char* buf, size_t cap, size_t* len);
  // 0 when path, not following a symbolic link, still names the open file
  // fd (same device and inode); ESTALE when it names another file or a
  // link, ENOENT when it names nothing.  The default returns 0.
  virtual int CheckNamed(const char* path, int fd);
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
