#include "sql/adapt.h"

#include <cstring>
#include <vector>

namespace sql {
namespace {

// What one rewrite needs besides the text: the dialect and, for
// PostgreSQL, the placeholder names met so far (index + 1 is the number)
// and whether the statement reads the clock.
struct Ctx {
  bool postgres;
  std::vector<std::string> names;
  bool clock = false;
};

// Stands for the clock parameter until the number of placeholders is known
// (a control byte, never part of a statement outside a literal).
constexpr char kClockMark = '\x01';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c) || c == '$' || c == '#'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// True when p[0..n-1] is word (lower case), ignoring case.
bool Is(const char* p, size_t n, const char* word) {
  if (std::strlen(word) != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (Lower(p[i]) != word[i]) return false;
  return true;
}

size_t SkipSpace(const char* s, size_t n, size_t i) {
  while (i < n && IsSpace(s[i])) ++i;
  return i;
}

size_t WordEnd(const char* s, size_t n, size_t i) {
  while (i < n && IsWordChar(s[i])) ++i;
  return i;
}

// The index after the quoted item that starts at s[i] ('...', "...",
// `...` or [...]); a doubled quote stays inside.
size_t SkipQuoted(const char* s, size_t n, size_t i) {
  char close = s[i] == '[' ? ']' : s[i];
  for (++i; i < n; ++i) {
    if (s[i] != close) continue;
    if (close != ']' && i + 1 < n && s[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return n;
}

bool IsQuote(char c) { return c == '\'' || c == '"' || c == '`' || c == '['; }

// The index of the ')' that closes the '(' at s[i], or n.
size_t MatchParen(const char* s, size_t n, size_t i) {
  int depth = 0;
  while (i < n) {
    if (IsQuote(s[i])) {
      i = SkipQuoted(s, n, i);
      continue;
    }
    if (s[i] == '(') ++depth;
    if (s[i] == ')' && --depth == 0) return i;
    ++i;
  }
  return n;
}

// When a date expression ending at s[end] is followed by "+ operand" or
// "- operand", wraps *expr into date_add_days and returns the index after
// the operand; otherwise 0.
void Placeholder(Ctx& ctx, const char* name, size_t len, std::string* out);

size_t WrapArithmetic(Ctx& ctx, const char* s, size_t n, size_t end, std::string* expr) {
  size_t k = SkipSpace(s, n, end);
  if (k >= n || (s[k] != '+' && s[k] != '-')) return 0;
  if (s[k] == '-' && k + 1 < n && s[k + 1] == '-') return 0;  // a comment
  char sign = s[k];
  size_t a = SkipSpace(s, n, k + 1);
  size_t b = a;
  if (a < n && s[a] == ':') {
    b = WordEnd(s, n, a + 1);
    if (b == a + 1) return 0;
  } else if (a < n && (IsDigit(s[a]) || s[a] == '.')) {
    while (b < n && (IsDigit(s[b]) || s[b] == '.')) ++b;
  } else if (a < n && IsWordStart(s[a]) && sign == '+') {
    // A column.  (date - column may be a difference of two dates: left.)
    b = WordEnd(s, n, a);
    while (b + 1 < n && s[b] == '.' && IsWordStart(s[b + 1])) b = WordEnd(s, n, b + 1);
    if (Is(s + a, b - a, "sysdate")) return 0;
    size_t c = SkipSpace(s, n, b);
    if (c < n && s[c] == '(') return 0;  // a function call: not a plain operand
  } else {
    return 0;
  }
  // An operand bound tighter to what follows is not the whole addend.
  size_t after = SkipSpace(s, n, b);
  if (after < n && std::strchr("*/|(.", s[after]) != nullptr) return 0;
  std::string wrapped = ctx.postgres ? "ora_add_days(" : "date_add_days(";
  wrapped += *expr;
  wrapped += ',';
  wrapped += sign;
  if (ctx.postgres && s[a] == ':')
    Placeholder(ctx, s + a + 1, b - a - 1, &wrapped);
  else
    wrapped.append(s + a, b - a);
  wrapped += ')';
  expr->swap(wrapped);
  return b;
}

// A placeholder :name in PostgreSQL's form $n, numbered by first
// appearance; a repeated name keeps its number.
void Placeholder(Ctx& ctx, const char* name, size_t len, std::string* out) {
  size_t k = 0;
  while (k < ctx.names.size() && ctx.names[k].compare(0, std::string::npos, name, len) != 0) ++k;
  if (k == ctx.names.size()) ctx.names.emplace_back(name, len);
  *out += '$';
  *out += std::to_string(k + 1);
}

void Rewrite(Ctx& ctx, const char* s, size_t n, std::string* out);

// True for the words that end an ORDER BY clause.
bool EndsOrderBy(const char* w, size_t wn) {
  for (const char* end : {"limit", "offset", "for", "union", "intersect", "except", "minus"})
    if (Is(w, wn, end)) return true;
  return false;
}

// Oracle sorts NULL after every value in ascending order, SQLite before
// it.  Rewrites the terms of the ORDER BY clause that starts at s[i] (right
// after "by"): each ascending term without its own NULLS gets "nulls last"
// (SQLite still reads such an order from an index, without a sort).  The
// clause ends at the end of the text, at the ')' that closes the
// parenthesis it stands in, or at a word of EndsOrderBy.  Returns the index
// after the clause.
size_t RewriteOrderBy(Ctx& ctx, const char* s, size_t n, size_t i, std::string* out) {
  for (;;) {
    bool descending = false, nulls = false, more = false;
    int depth = 0;
    size_t j = i;
    while (j < n) {
      const char c = s[j];
      if (IsQuote(c)) {
        j = SkipQuoted(s, n, j);
        continue;
      }
      if (c == ')' && depth == 0) break;
      if (c == ',' && depth == 0) {
        more = true;
        break;
      }
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (depth == 0 && IsWordStart(c) && (j == 0 || !IsWordChar(s[j - 1]))) {
        const size_t e = WordEnd(s, n, j);
        if (EndsOrderBy(s + j, e - j)) break;
        descending = Is(s + j, e - j, "desc");
        nulls = nulls || Is(s + j, e - j, "nulls");
        j = e;
        continue;
      }
      ++j;
    }
    size_t end = j;
    while (end > i && IsSpace(s[end - 1])) --end;
    Rewrite(ctx, s + i, end - i, out);
    if (end > i && !descending && !nulls) out->append(" nulls last");
    out->append(s + end, j - end);
    if (!more) return j;
    out->push_back(',');
    i = j + 1;
  }
}

void Rewrite(Ctx& ctx, const char* s, size_t n, std::string* out) {
  size_t i = 0;
  while (i < n) {
    char c = s[i];
    if (ctx.postgres && c == ':' && i + 1 < n && IsWordStart(s[i + 1]) &&
        (i == 0 || s[i - 1] != ':')) {
      size_t j = WordEnd(s, n, i + 1);
      Placeholder(ctx, s + i + 1, j - i - 1, out);
      i = j;
      continue;
    }
    if (IsQuote(c)) {
      size_t j = SkipQuoted(s, n, i);
      out->append(s + i, j - i);
      i = j;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      size_t j = i;
      while (j < n && s[j] != '\n') ++j;
      out->append(s + i, j - i);
      i = j;
      continue;
    }
    if (IsDigit(c)) {  // a number, or the tail of a placeholder such as :1
      size_t j = i;
      while (j < n && (IsWordChar(s[j]) || s[j] == '.')) ++j;
      out->append(s + i, j - i);
      i = j;
      continue;
    }
    if (!IsWordStart(c)) {
      out->push_back(c);
      ++i;
      continue;
    }
    size_t j = WordEnd(s, n, i);
    // A placeholder name (:b0) or a qualified name (t.sysdate) stays.
    if (i > 0 && (s[i - 1] == ':' || s[i - 1] == '.')) {
      out->append(s + i, j - i);
      i = j;
      continue;
    }
    size_t k = SkipSpace(s, n, j);
    if (Is(s + i, j - i, "order")) {
      const size_t by = WordEnd(s, n, k);
      if (Is(s + k, by - k, "by")) {
        out->append(s + i, by - i);
        i = RewriteOrderBy(ctx, s, n, by, out);
        continue;
      }
    }
    bool call = k < n && s[k] == '(';
    if (!ctx.postgres && Is(s + i, j - i, "kvnsystem") && k < n && s[k] == '.') {
      i = SkipSpace(s, n, k + 1);
      continue;
    }
    std::string expr;
    size_t end = 0;
    bool dateCall = call && (Is(s + i, j - i, "to_date") || Is(s + i, j - i, "trunc"));
    if (Is(s + i, j - i, "sysdate") && !call) {
      if (ctx.postgres) {
        expr = kClockMark;
        ctx.clock = true;
      } else {
        expr = "sysdate()";
      }
      end = j;
    } else if (dateCall || (ctx.postgres && call && Is(s + i, j - i, "to_char"))) {
      size_t close = MatchParen(s, n, k);
      if (close < n) {
        if (ctx.postgres) expr = "ora_";
        expr.append(s + i, k + 1 - i);
        Rewrite(ctx, s + k + 1, close - k - 1, &expr);
        expr += ')';
        end = close + 1;
      }
    }
    if (end == 0) {
      out->append(s + i, j - i);
      i = j;
      continue;
    }
    // TO_CHAR gives a text: no day arithmetic after it.
    if (!call || dateCall)
      for (size_t next; (next = WrapArithmetic(ctx, s, n, end, &expr)) != 0;) end = next;
    out->append(expr);
    i = end;
  }
}

// The next word at or after *pos (empty at the end or at a non-word).
void NextWord(const char* s, size_t n, size_t* pos, const char** w, size_t* wn) {
  size_t i = SkipSpace(s, n, *pos);
  size_t j = WordEnd(s, n, i);
  *w = s + i;
  *wn = j - i;
  *pos = j;
}

void TakeName(const char* w, size_t wn, StmtShape* shape) {
  if (wn > kMaxSavepointName) wn = kMaxSavepointName;
  std::memcpy(shape->name, w, wn);
  shape->name[wn] = '\0';
}

// A select that ends in "for update" locks its row on a server; SQLite has
// no row locks, and the unit of work that runs such a select already holds
// the database's write lock, so the clause is dropped.
void DropForUpdate(std::string* out) {
  size_t end = out->size();
  while (end > 0 && (IsSpace((*out)[end - 1]) || (*out)[end - 1] == ';')) --end;
  size_t updateAt = end;
  while (updateAt > 0 && IsWordChar((*out)[updateAt - 1])) --updateAt;
  if (!Is(out->data() + updateAt, end - updateAt, "update")) return;
  size_t forEnd = updateAt;
  while (forEnd > 0 && IsSpace((*out)[forEnd - 1])) --forEnd;
  if (forEnd == updateAt) return;
  size_t forAt = forEnd;
  while (forAt > 0 && IsWordChar((*out)[forAt - 1])) --forAt;
  if (!Is(out->data() + forAt, forEnd - forAt, "for")) return;
  if (forAt == 0 || !IsSpace((*out)[forAt - 1])) return;
  out->resize(forAt);
}

}  // namespace

void Adapt_Rewrite(const char* text, size_t len, std::string* out) {
  out->clear();
  out->reserve(len + 16);
  Ctx ctx{false, {}};
  Rewrite(ctx, text, len, out);
  DropForUpdate(out);
}

void Adapt_RewritePostgres(const char* text, size_t len, std::string* out, int* params,
                           bool* clock) {
  out->clear();
  out->reserve(len + 32);
  Ctx ctx{true, {}};
  std::string body;
  Rewrite(ctx, text, len, &body);
  *params = static_cast<int>(ctx.names.size());
  *clock = ctx.clock;
  std::string clockParam = "$" + std::to_string(*params + 1) + "::timestamp(0)";
  for (char c : body) {
    if (c == kClockMark)
      *out += clockParam;
    else
      *out += c;
  }
}

void Adapt_Classify(const char* text, size_t len, StmtShape* shape) {
  shape->kind = StmtKind::kOther;
  shape->name[0] = '\0';
  size_t pos = 0;
  const char* w = nullptr;
  size_t wn = 0;
  NextWord(text, len, &pos, &w, &wn);
  if (Is(w, wn, "select") || Is(w, wn, "with")) {
    shape->kind = StmtKind::kQuery;
  } else if (Is(w, wn, "update") || Is(w, wn, "delete")) {
    shape->kind = StmtKind::kChange;
  } else if (Is(w, wn, "commit")) {
    shape->kind = StmtKind::kCommit;
  } else if (Is(w, wn, "savepoint")) {
    NextWord(text, len, &pos, &w, &wn);
    shape->kind = StmtKind::kSavepoint;
    TakeName(w, wn, shape);
  } else if (Is(w, wn, "rollback")) {
    shape->kind = StmtKind::kRollback;
    NextWord(text, len, &pos, &w, &wn);
    if (Is(w, wn, "transaction") || Is(w, wn, "work")) NextWord(text, len, &pos, &w, &wn);
    if (Is(w, wn, "to")) {
      NextWord(text, len, &pos, &w, &wn);
      if (Is(w, wn, "savepoint")) NextWord(text, len, &pos, &w, &wn);
      shape->kind = StmtKind::kRollbackTo;
      TakeName(w, wn, shape);
    }
  }
}

}  // namespace sql
