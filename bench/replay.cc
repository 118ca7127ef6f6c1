#include "bench/replay.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/floor.h"
#include "bench/server.h"

namespace {

// A protocol message's length field (big-endian, counting itself).
uint32_t Length(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool WriteAll(int fd, const unsigned char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

std::string SocketPath(const std::string& dir, const std::string& port) {
  return dir + "/.s.PGSQL." + port;
}

int Connect(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  if (fd < 0 || path.size() >= sizeof a.sun_path) {
    if (fd >= 0) close(fd);
    return -1;
  }
  std::memcpy(a.sun_path, path.c_str(), path.size() + 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// The proxy process: one connection from the job, passed on to the
// server; the job's startup packet and everything it sends after the
// server's first ReadyForQuery (the end of the login) go to out.  Its
// password messages come before that and are never kept.
int Proxy(int listener, const std::string& upstreamPath, int out) {
  const int client = accept(listener, nullptr, nullptr);
  close(listener);  // a second connection is refused, not left waiting
  if (client < 0) return 1;
  const int server = Connect(upstreamPath);
  if (server < 0) return 1;
  std::vector<unsigned char> fromServer;  // parsed up to the first ReadyForQuery
  bool loggedIn = false, startupKept = false;
  std::vector<unsigned char> startup;
  unsigned char buf[65536];
  pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    for (int i = 0; i < 2; ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return loggedIn ? 0 : 1;  // either side closed: the run is over
      if (!WriteAll(i == 0 ? server : client, buf, static_cast<size_t>(n))) return 1;
      if (i == 0) {
        if (loggedIn) {
          if (!WriteAll(out, buf, static_cast<size_t>(n))) return 1;
        } else if (!startupKept) {
          // The startup packet: a length, then the protocol and the
          // parameters.  It is the first thing the client sends.
          startup.insert(startup.end(), buf, buf + n);
          if (startup.size() >= 4 && startup.size() >= Length(startup.data())) {
            if (!WriteAll(out, startup.data(), Length(startup.data()))) return 1;
            startupKept = true;
          }
        }
        continue;
      }
      if (loggedIn) continue;
      fromServer.insert(fromServer.end(), buf, buf + n);
      size_t pos = 0;
      while (fromServer.size() - pos >= 5) {
        const uint32_t len = Length(&fromServer[pos + 1]);
        if (fromServer.size() - pos < 1 + size_t{len}) break;
        if (fromServer[pos] == 'Z') loggedIn = true;
        pos += 1 + len;
      }
      fromServer.erase(fromServer.begin(), fromServer.begin() + static_cast<long>(pos));
    }
  }
}

bool ReadFile(const std::string& path, std::vector<unsigned char>* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  unsigned char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

// Reads answers from fd until `syncs` ReadyForQuery messages have come;
// counts error answers.  *buf keeps what came beyond them.
bool AwaitReady(int fd, long long syncs, std::vector<unsigned char>* buf, long long* errors) {
  size_t pos = 0;
  unsigned char chunk[65536];
  while (syncs > 0) {
    if (buf->size() - pos >= 5) {
      const uint32_t len = Length(&(*buf)[pos + 1]);
      if (buf->size() - pos >= 1 + size_t{len}) {
        if ((*buf)[pos] == 'Z') --syncs;
        if ((*buf)[pos] == 'E') ++*errors;
        pos += 1 + len;
        continue;
      }
    }
    buf->erase(buf->begin(), buf->begin() + static_cast<long>(pos));
    pos = 0;
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buf->insert(buf->end(), chunk, chunk + n);
  }
  buf->erase(buf->begin(), buf->begin() + static_cast<long>(pos));
  return true;
}

}  // namespace

int Replay_StartProxy(const PgServer& s, const std::string& dir, const std::string& file,
                      ReplayProxy* proxy) {
  const std::string path = SocketPath(dir, s.port);
  unlink(path.c_str());
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (listener < 0 || out < 0 || path.size() >= sizeof a.sun_path) {
    std::fprintf(stderr, "pps2bde-bench: cannot set up the recording proxy in %s\n", dir.c_str());
    if (listener >= 0) close(listener);
    if (out >= 0) close(out);
    return -1;
  }
  std::memcpy(a.sun_path, path.c_str(), path.size() + 1);
  if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener, 1) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot listen on %s: %s\n", path.c_str(),
                 std::strerror(errno));
    close(listener);
    close(out);
    return -1;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    close(listener);
    close(out);
    return -1;
  }
  if (pid == 0) _exit(Proxy(listener, SocketPath(s.dir, s.port), out));
  close(out);
  proxy->pid = pid;
  proxy->listener = listener;
  const char* host = std::getenv("PGHOST");
  proxy->savedHost = host != nullptr ? host : "";
  setenv("PGHOST", dir.c_str(), 1);
  return 0;
}

int Replay_StopProxy(ReplayProxy* proxy) {
  setenv("PGHOST", proxy->savedHost.c_str(), 1);
  // A job that never connected leaves the proxy in accept(): shutting the
  // shared listening socket down ends that wait (a proxy that has its
  // connection has closed its copy and ends when the job's side closes).
  if (proxy->listener >= 0) {
    (void)shutdown(proxy->listener, SHUT_RDWR);
    close(proxy->listener);
    proxy->listener = -1;
  }
  if (proxy->pid <= 0) return -1;
  int status = 0;
  pid_t got;
  do {
    got = waitpid(proxy->pid, &status, 0);
  } while (got < 0 && errno == EINTR);
  proxy->pid = -1;
  if (got < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "pps2bde-bench: the recording proxy failed\n");
    return -1;
  }
  return 0;
}

int Replay_Run(const PgServer& s, const char* dbname, const BenchDb& db, const std::string& file,
               ReplayFigures* out) {
  std::vector<unsigned char> rec;
  if (!ReadFile(file, &rec) || rec.size() < 8 || Length(rec.data()) > rec.size()) {
    std::fprintf(stderr, "pps2bde-bench: no recording in %s\n", file.c_str());
    return -1;
  }
  // The startup packet: length, protocol version, then name/value pairs
  // up to an empty name.  The database is the replay's own.
  const size_t startupEnd = Length(rec.data());
  std::vector<std::string> names, values;
  for (size_t p = 8; p < startupEnd && rec[p] != 0;) {
    const char* name = reinterpret_cast<const char*>(&rec[p]);
    const size_t nameLen = strnlen(name, startupEnd - p);
    const size_t v = p + nameLen + 1;
    if (v >= startupEnd) break;
    const char* value = reinterpret_cast<const char*>(&rec[v]);
    const size_t valueLen = strnlen(value, startupEnd - v);
    const std::string key(name, nameLen);
    p = v + valueLen + 1;
    if (key == "database") continue;  // the replay's own
    if (key != "user" && key != "options" && key != "client_encoding" &&
        key != "application_name") {
      std::fprintf(stderr, "pps2bde-bench: the job's login names %s, which the replay "
                           "cannot pass on\n", key.c_str());
      return -1;
    }
    names.push_back(key);
    values.emplace_back(value, valueLen);
  }
  names.push_back("dbname");
  values.push_back(dbname);
  names.push_back("password");
  values.push_back(db.pass);
  std::vector<const char*> k, v;
  for (size_t i = 0; i < names.size(); ++i) {
    k.push_back(names[i].c_str());
    v.push_back(values[i].c_str());
  }
  k.push_back(nullptr);
  v.push_back(nullptr);
  PGconn* c = PQconnectdbParams(k.data(), v.data(), 0);
  if (PQstatus(c) != CONNECTION_OK) {
    std::fprintf(stderr, "pps2bde-bench: the replay cannot log in: %s", PQerrorMessage(c));
    PQfinish(c);
    return -1;
  }
  const int fd = PQsocket(c);
  const int flags = fcntl(fd, F_GETFL);
  (void)fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);

  *out = ReplayFigures{};
  ServerFigures wal0, wal1;
  if (BenchServer_Read(s, dbname, &wal0) != 0) {
    PQfinish(c);
    return -1;
  }
  const int backend = PQbackendPID(c);
  const double backend0 = BenchServer_ProcessCpu(backend);
  const double server0 = BenchServer_Cpu(s);
  const double cpu0 = Bench_Cpu();
  const double start = Bench_Now();
  std::vector<unsigned char> answers;
  const char* failure = nullptr;  // why the replay stopped early
  size_t p = startupEnd, requestStart = startupEnd;
  long long syncs = 0;
  // A request ends with a Sync or a simple query; the job's Terminate ends
  // the recording (libpq sends its own at PQfinish).
  while (failure == nullptr && rec.size() - p >= 5) {
    const unsigned char type = rec[p];
    const size_t end = p + 1 + Length(&rec[p + 1]);
    if (end > rec.size() || type == 'X') break;
    if (type == 'p') {
      // A password or authentication message: the proxy must never keep one.
      failure = "the recording holds a password message";
      break;
    }
    ++out->messages;
    p = end;
    if (type != 'S' && type != 'Q') continue;
    ++syncs;
    if (!WriteAll(fd, &rec[requestStart], p - requestStart) ||
        !AwaitReady(fd, syncs, &answers, &out->errors))
      failure = "the replay lost its connection";
    ++out->requests;
    syncs = 0;
    requestStart = p;
  }
  out->seconds = Bench_Now() - start;
  out->clientCpu = Bench_Cpu() - cpu0;
  out->serverCpu = BenchServer_Cpu(s) - server0;
  out->backendCpu = BenchServer_ProcessCpu(backend) - backend0;
  PQfinish(c);
  if (failure == nullptr && BenchServer_Read(s, dbname, &wal1) == 0) {
    out->walSyncs = wal1.walSyncs - wal0.walSyncs;
    out->walSyncSeconds = wal1.walSyncSeconds - wal0.walSyncSeconds;
  }
  if (failure != nullptr) std::fprintf(stderr, "pps2bde-bench: %s\n", failure);
  return failure == nullptr ? 0 : -1;
}
