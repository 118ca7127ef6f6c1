// The rows of an opened cursor, kept until the cursor is closed: in memory
// up to a small cap, the rest in an anonymous temporary file, so that the
// memory a cursor needs stays the same however many rows it has.  Rows come
// back in the order they were added.  A spool is the engine cursor of both
// engines (SpoolCursors below).
#ifndef PPS2BDE_SQL_SPOOL_H_
#define PPS2BDE_SQL_SPOOL_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include "sql/engine.h"

namespace sql {

// Bytes of rows a spool keeps in memory before it turns to its file.
constexpr size_t kSpoolMemory = 256 * 1024;

class Spool : public EngineCursor {
 public:
  explicit Spool(size_t memoryCap = kSpoolMemory) : memoryCap_(memoryCap) {}
  ~Spool();

  // Adds one row (bytes of sql/row.h).  Returns 0, or -1114 when the
  // temporary file cannot be created or written.
  [[nodiscard]] int Add(const char* row, size_t len);
  // Ends the adding and makes the rows readable from the first.  0 or -1114.
  [[nodiscard]] int Finish();
  // The next row: 0 with *row/*len valid until the next call, 1403 after
  // the last row, -1114 when the file cannot be read.
  [[nodiscard]] int Next(const char** row, size_t* len);

  uint64_t rows() const { return rows_; }
  // True once rows went to the temporary file.
  bool spilled() const { return file_ != nullptr; }
  // Bytes of memory held for rows.
  size_t memoryBytes() const { return memory_.capacity(); }

 private:
  size_t memoryCap_;
  std::vector<char> memory_;  // rows as [u32 length][bytes]
  size_t memoryPos_ = 0;      // read position in memory_
  std::FILE* file_ = nullptr; // rows beyond the cap, same form
  std::vector<char> scratch_; // the row last read from the file
  uint64_t rows_ = 0;
  uint64_t fileRows_ = 0;     // rows left to read from the file
};

// The open cursors of one engine session, each the spool of its rows, which
// it owns until the cursor is closed or the session ends.  A cursor's handle
// is its spool; a handle that is not (or no longer) open is refused, never
// followed.
class SpoolCursors {
 public:
  SpoolCursors() = default;
  SpoolCursors(const SpoolCursors&) = delete;
  SpoolCursors& operator=(const SpoolCursors&) = delete;

  // Keeps the finished spool open; returns its handle.
  EngineCursor* Add(std::unique_ptr<Spool> spool);
  // Delivers the next row of the cursor into outs (sql/row.h Row_Fill): its
  // status, 1403 after the last row, -1001 for a handle not open.
  [[nodiscard]] int Fetch(EngineCursor* handle, const Out* outs, int nouts);
  // Frees the cursor; an unknown handle is ignored.
  void Close(EngineCursor* handle);

 private:
  std::unordered_map<const EngineCursor*, std::unique_ptr<Spool>> open_;
};

}  // namespace sql

#endif  // PPS2BDE_SQL_SPOOL_H_
