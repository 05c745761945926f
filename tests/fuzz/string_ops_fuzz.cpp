// The string operations with arbitrary arguments. Input: four 32-bit numbers, then the bytes of two
// strings split at the first NUL... or at the middle when there is none.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/text/fixed_text.h"
#include "runtime/text/string_ops.h"

using runtime::ByteString;

namespace {

int32_t Number(const uint8_t* at) {
  int32_t value;
  std::memcpy(&value, at, sizeof(value));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 16) return 0;
  const int32_t a = Number(data), b = Number(data + 4), c = Number(data + 8);
  const int32_t n = Number(data + 12) % 4096;
  const char* bytes = reinterpret_cast<const char*>(data + 16);
  const size_t rest = size - 16;
  const void* nul = std::memchr(bytes, 0, rest);
  const size_t split = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : rest / 2;
  const ByteString s(bytes, static_cast<int32_t>(split));
  const ByteString m(bytes + split, static_cast<int32_t>(rest - split));
  const int32_t length = s.size();

  const ByteString sliced = runtime::slice(s, a, b);
  if (sliced.size() > length || (b >= 0 && sliced.size() > b)) abort();
  const int32_t found = runtime::find(s, m, c);
  if (found < 0 || found > length) abort();
  if (found && std::memcmp(s.data() + found - 1, m.data(), static_cast<size_t>(m.size())) != 0) abort();
  const ByteString erased = runtime::eraseAt(s, a, b);
  if (erased.size() > length) abort();
  const ByteString inserted = runtime::insertAt(s, m, a);
  if (inserted.size() != length + m.size()) abort();
  const ByteString removed = runtime::removeAll(s, m);
  if (removed.size() > length) abort();
  const ByteString filled = runtime::fill(n, m);
  if (filled.size() != (n > 0 ? n : 0)) abort();
  runtime::FixedText<8> fixed;
  fixed = s;
  if (std::strlen(fixed.data()) > 7) abort();
  runtime::FixedText<255> wide;
  wide = m;
  if (std::strlen(wide.data()) > 254) abort();
  return 0;
}
