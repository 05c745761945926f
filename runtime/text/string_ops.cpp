// The string operations: each builds a new exact-size string and leaves its arguments alone.
#include "runtime/text/string_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "runtime/text/case_map.h"
#include "runtime/text/error_code.h"

namespace runtime {

namespace {

// Joins up to three runs of bytes into one string; a total beyond 32 bits is out of memory.
ByteString join(std::string_view a, std::string_view b, std::string_view c = {}) {
  const int64_t total = static_cast<int64_t>(a.size()) + static_cast<int64_t>(b.size()) + c.size();
  if (total > std::numeric_limits<int32_t>::max()) {
    recordError(error::outOfMemory);
    return {};
  }
  return ByteString::build(static_cast<int32_t>(total), [&](char* out) {
    // An empty view may carry a null pointer, which memcpy must not see.
    for (const std::string_view part : {a, b, c}) {
      if (part.empty()) continue;
      std::memcpy(out, part.data(), part.size());
      out += part.size();
    }
  });
}

}  // namespace

ByteString concat(const ByteString& a, const ByteString& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return join(a.view(), b.view());
}

int32_t length(const ByteString& s) noexcept {
  return s.size();
}

ByteString slice(const ByteString& s, int32_t start, int32_t count) {
  if (start < 1 || count < 1 || start > s.size()) return {};
  const int32_t available = s.size() - start + 1;
  return ByteString(s.data() + start - 1, std::min(count, available));
}

int32_t find(const ByteString& s, const ByteString& m, int32_t start) {
  if (s.empty() || m.empty()) return 0;
  const std::string_view text = s.view();
  size_t at = std::string_view::npos;
  if (start == -1) {
    at = text.rfind(m.view());
  } else if (start >= 1 && start <= s.size()) {
    at = text.find(m.view(), static_cast<size_t>(start - 1));
  }
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at) + 1;
}

ByteString toLower(const ByteString& s) {
  return ByteString::build(s.size(), [&](char* out) {
    std::memcpy(out, s.data(), static_cast<size_t>(s.size()));
    lowerBytes(out, s.size());
  });
}

ByteString fill(int32_t n, const ByteString& c) {
  const char byte = c.empty() ? '\0' : c.data()[0];
  return ByteString::build(n, [&](char* out) { std::memset(out, byte, static_cast<size_t>(n)); });
}

ByteString eraseAt(const ByteString& s, int32_t start, int32_t count) {
  if (start < 1 || start > s.size() || count <= 0) return s;
  const std::string_view text = s.view();
  const size_t from = static_cast<size_t>(start - 1);
  const size_t cut = std::min(static_cast<size_t>(count), text.size() - from);
  return join(text.substr(0, from), text.substr(from + cut));
}

ByteString insertAt(const ByteString& s, const ByteString& t, int32_t pos) {
  if (pos <= 0 || pos > s.size() + 1) return concat(s, t);
  const std::string_view text = s.view();
  const size_t at = static_cast<size_t>(pos - 1);
  return join(text.substr(0, at), t.view(), text.substr(at));
}

ByteString removeAll(const ByteString& s, const ByteString& m) {
  if (m.empty() || m.size() > s.size()) return s;
  const std::string_view text = s.view();
  const std::string_view needle = m.view();
  // Count first so the result is allocated once, at its exact size.
  int32_t hits = 0;
  for (size_t at = 0; (at = text.find(needle, at)) != std::string_view::npos; at += needle.size()) ++hits;
  if (hits == 0) return s;
  return ByteString::build(s.size() - hits * m.size(), [&](char* out) {
    size_t from = 0;
    for (size_t at; (at = text.find(needle, from)) != std::string_view::npos; from = at + needle.size()) {
      std::memcpy(out, text.data() + from, at - from);
      out += at - from;
    }
    std::memcpy(out, text.data() + from, text.size() - from);
  });
}

int compare(const ByteString& a, const ByteString& b) noexcept {
  const int order = a.view().compare(b.view());
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

ByteString formatNumber(double x) {
  if (x == 0) x = 0;  // no "-0"
  char digits[40];
  const int count = std::snprintf(digits, sizeof digits, "%s%.15G", std::signbit(x) ? "" : " ", x);
  return ByteString(digits, count);
}

}  // namespace runtime
