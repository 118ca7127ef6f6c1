#include "sql/spool.h"

#include <cstring>
#include <utility>

#include "sql/errors.h"
#include "sql/row.h"

namespace sql {

Spool::~Spool() {
  if (file_ != nullptr) std::fclose(file_);
}

int Spool::Add(const char* row, size_t len) {
  if (len > UINT32_MAX) return kInternal;
  uint32_t n = static_cast<uint32_t>(len);
  // Once one row went to the file, all later rows follow it there, so the
  // order of delivery stays the order of adding.
  if (file_ == nullptr && memory_.size() + 4 + len <= memoryCap_) {
    const char* head = reinterpret_cast<const char*>(&n);
    memory_.insert(memory_.end(), head, head + 4);
    memory_.insert(memory_.end(), row, row + len);
    ++rows_;
    return kOk;
  }
  if (file_ == nullptr) {
    file_ = std::tmpfile();  // unlinked at once: nothing is left behind
    if (file_ == nullptr) return kIoError;
  }
  if (std::fwrite(&n, 4, 1, file_) != 1 ||
      (len > 0 && std::fwrite(row, len, 1, file_) != 1))
    return kIoError;
  ++rows_;
  ++fileRows_;
  return kOk;
}

int Spool::Finish() {
  memoryPos_ = 0;
  if (file_ == nullptr) return kOk;
  if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
    return kIoError;
  return kOk;
}

int Spool::Next(const char** row, size_t* len) {
  if (memoryPos_ + 4 <= memory_.size()) {
    uint32_t n = 0;
    std::memcpy(&n, memory_.data() + memoryPos_, 4);
    *row = memory_.data() + memoryPos_ + 4;
    *len = n;
    memoryPos_ += 4 + n;
    return kOk;
  }
  if (!memory_.empty()) {
    // Every in-memory row has been read: give the memory back now.
    std::vector<char>().swap(memory_);
    memoryPos_ = 0;
  }
  if (fileRows_ == 0) return kNoData;
  uint32_t n = 0;
  if (std::fread(&n, 4, 1, file_) != 1) return kIoError;
  scratch_.resize(n);
  if (n > 0 && std::fread(scratch_.data(), n, 1, file_) != 1) return kIoError;
  --fileRows_;
  *row = scratch_.data();
  *len = n;
  return kOk;
}

EngineCursor* SpoolCursors::Add(std::unique_ptr<Spool> spool) {
  EngineCursor* handle = spool.get();
  open_.emplace(handle, std::move(spool));
  return handle;
}

int SpoolCursors::Fetch(EngineCursor* handle, const Out* outs, int nouts) {
  auto it = open_.find(handle);
  if (it == open_.end()) return kInvalidCursor;
  const char* row = nullptr;
  size_t len = 0;
  int rc = it->second->Next(&row, &len);
  if (rc != kOk) return rc;
  return Row_Fill(row, len, outs, nouts);
}

void SpoolCursors::Close(EngineCursor* handle) { open_.erase(handle); }

}  // namespace sql
