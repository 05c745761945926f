// The sound finder: WAVE decoding, resampling and correlation through a radix-2 FFT.
#include "tests/e2e/sound_finder.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <tuple>
#include <utility>

namespace e2e {

namespace {

using Complex = std::complex<double>;

uint32_t Read(std::string_view bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width && at + i < bytes.size(); ++i)
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  return value;
}

// Windowed-sinc interpolation, cut off below the lower Nyquist limit as a sound server's resampler
// is, so a sound resampled here and one resampled on its way to the recording still look alike.
std::vector<float> Resample(const std::vector<float>& in, int32_t from, int32_t to) {
  if (from == to) return in;
  const double step = static_cast<double>(from) / to;
  const double cutoff = 0.45 * std::min(from, to) / from;  // cycles per input sample
  const double reach = 12.0 / (2.0 * cutoff);              // twelve zero crossings each side
  const auto count = static_cast<size_t>(static_cast<double>(in.size()) / step);
  std::vector<float> out(count);
  for (size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i) * step;
    const auto first = static_cast<int64_t>(std::ceil(x - reach));
    const auto last = static_cast<int64_t>(std::floor(x + reach));
    double sum = 0;
    for (int64_t n = std::max<int64_t>(first, 0); n <= last && n < static_cast<int64_t>(in.size()); ++n) {
      const double d = static_cast<double>(n) - x;
      const double arg = 2.0 * cutoff * d;
      const double sinc = arg == 0 ? 1.0 : std::sin(std::numbers::pi * arg) / (std::numbers::pi * arg);
      const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * d / reach);
      sum += in[static_cast<size_t>(n)] * 2.0 * cutoff * sinc * window;
    }
    out[i] = static_cast<float>(sum);
  }
  return out;
}

// In place; `values.size()` is a power of two.
void Transform(std::vector<Complex>& values, bool inverse) {
  const size_t n = values.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(values[i], values[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    const double angle = 2.0 * std::numbers::pi / static_cast<double>(length) * (inverse ? 1 : -1);
    const Complex turn(std::cos(angle), std::sin(angle));
    for (size_t start = 0; start < n; start += length) {
      Complex w(1);
      for (size_t k = 0; k < length / 2; ++k) {
        const Complex a = values[start + k], b = values[start + k + length / 2] * w;
        values[start + k] = a + b;
        values[start + k + length / 2] = a - b;
        w *= turn;
      }
    }
  }
  if (inverse)
    for (Complex& value : values) value /= static_cast<double>(n);
}

// No sound of ours comes near the lowest level; Wine's padding is at it.
constexpr float quietLevel = 0.003f, padLevel = -0.95f;

// The recording with Wine's padding zeroed, and the resampler's ringing on either side of it.
std::vector<float> Unpadded(const std::vector<float>& recording, size_t edge) {
  std::vector<float> out = recording;
  for (size_t i = 0; i < recording.size();) {
    size_t j = i;
    while (j < recording.size() && recording[j] <= padLevel) ++j;
    if (j > i)
      std::fill(out.begin() + static_cast<std::ptrdiff_t>(i - std::min(i, edge)),
                out.begin() + static_cast<std::ptrdiff_t>(std::min(j + edge, out.size())), 0.0f);
    i = std::max(j, i + 1);
  }
  return out;
}

// For every sample, the end of the silence of at least `shortest` samples it lies in; for a sample
// in none, the sample itself.
std::vector<size_t> QuietEnds(const std::vector<float>& x, size_t shortest) {
  std::vector<size_t> ends(x.size() + 1);
  for (size_t i = 0; i <= x.size(); ++i) ends[i] = i;
  for (size_t i = 0; i < x.size();) {
    size_t j = i;
    while (j < x.size() && std::abs(x[j]) < quietLevel) ++j;
    if (j - i >= shortest)
      for (size_t k = i; k < j; ++k) ends[k] = j;
    i = std::max(j, i + 1);
  }
  return ends;
}

double Likeness(const float* a, const float* b, size_t count) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < count; ++i) {
    ab += static_cast<double>(a[i]) * b[i];
    aa += static_cast<double>(a[i]) * a[i];
    bb += static_cast<double>(b[i]) * b[i];
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// How a sound is followed through the recording. Under load the stream stutters: it falls silent,
// or skips or repeats a few milliseconds, and goes on where it was. So the sound is followed piece
// by piece, each looked for a few milliseconds either side of where the one before it ended; when
// it is not there (a held note matches itself all along, so only then), where the silence there
// ends, or without one a little further either way.
struct Steps {
  size_t piece;         // samples
  size_t near;          // where a piece is looked for first, either side of where it should be
  size_t back, ahead;   // and then, without a silence
  size_t longestStall;  // a longer silence is no stutter
  size_t least;         // a short sound counts when this much of it was heard
  bool isShort;
};

struct Followed {
  double match = 0;  // the pieces' likeness, averaged by their loudness
  size_t end = 0;    // where the last piece found ends
  bool cutOff = false;
};

// The sound's first `head` samples from `start` on. A long sound is judged on all of them, found
// or not. A short one may be cut off by a new request, or lose its end when the stream runs dry:
// it is followed as far as its pieces are found, and judged on those.
Followed Follow(const std::vector<float>& x, const std::vector<size_t>& quietEnds,
                const std::vector<float>& sound, size_t start, size_t head, const Steps& steps) {
  const size_t piece = steps.piece;
  // The best place for the piece at `m` from `from` to `to`, and its likeness there.
  const auto search = [&](size_t m, size_t from, size_t to) {
    std::pair<double, size_t> best{0.0, from};
    for (size_t q = from; q <= to && q + piece <= x.size(); ++q)
      if (const double match = Likeness(&x[q], &sound[m], piece); match > best.first) best = {match, q};
    return best;
  };
  double weighted = 0, weights = 0, found = 0, foundWeights = 0;
  size_t at = start, end = start, followed = 0, missed = 0;
  for (size_t m = 0; m + piece <= head; m += piece) {
    auto [best, bestAt] = search(m, at - std::min(at, steps.near), at + steps.near);
    bool silent = false;
    if (best < 0.8) {
      size_t resumes = 0;
      for (size_t q = at; q < std::min(at + piece, x.size()) && resumes == 0; ++q)
        if (quietEnds[q] != q) resumes = quietEnds[q];
      silent = resumes != 0;
      // After a silence longer than a stall comes another sound.
      const bool stutter = silent && resumes - at <= steps.longestStall;
      const size_t from = stutter ? resumes - std::min(resumes, steps.near) : at - std::min(at, steps.back);
      const size_t to = stutter ? resumes + steps.back : at + steps.ahead;
      if (!silent || stutter) std::tie(best, bestAt) = search(m, from, to);
      // The stream may have lost a little of the sound there, more of a long one in a stall: the
      // next pieces are looked for too, and the lost ones are neither heard nor judged.
      const size_t lost = stutter && !steps.isShort ? 5 : 2;
      for (size_t skip = 1;
           skip <= lost && best < 0.8 && (!silent || stutter) && m + (skip + 1) * piece <= head; ++skip) {
        if (const auto further = search(m + skip * piece, from, to); further.first >= 0.8) {
          std::tie(best, bestAt) = further;
          m += skip * piece;
        }
      }
    }
    double weight = 0;
    for (size_t k = 0; k < piece; ++k) weight += static_cast<double>(sound[m + k]) * sound[m + k];
    weighted += weight * best;
    weights += weight;
    if (best >= (steps.isShort ? 0.8 : 0.6)) {
      at = end = bestAt + piece;
      followed = m + piece, found = weighted, foundWeights = weights, missed = 0;
    } else {
      // A piece not found leaves the expectation as it was. A short sound, whose pieces must
      // match well, is over where one is not found after a silence, or two running.
      at += piece;
      if (steps.isShort && (silent || ++missed == 2)) break;
    }
  }
  if (!steps.isShort) return {weights > 0 ? weighted / weights : 0.0, std::min(end, x.size()), false};
  if (followed < steps.least || foundWeights == 0) return {};
  return {found / foundWeights, std::min(end, x.size()), followed + piece <= head};
}

// Where the recording falls silent for `quiet` samples from `from` on.
size_t SilenceAfter(const std::vector<size_t>& quietEnds, size_t from, size_t quiet) {
  for (size_t i = from; i < quietEnds.size() - 1; ++i)
    if (quietEnds[i] != i && (quietEnds[i] - i >= quiet || quietEnds[i] == quietEnds.size() - 1)) return i;
  return quietEnds.size() - 1;
}

// A long sound's faint end may come after a stall: stretches after silences shorter than a stall,
// none louder than the sound just before the first, still belong to it.
size_t FaintEnd(const std::vector<float>& x, const std::vector<size_t>& quietEnds, size_t end, size_t stall) {
  const auto peak = [&](size_t from, size_t to) {
    float most = 0;
    for (size_t i = from; i < to; ++i) most = std::max(most, std::abs(x[i]));
    return most;
  };
  const float last = peak(end - std::min(end, stall / 8), end);
  while (end < x.size() && quietEnds[end] != end && quietEnds[end] < x.size() &&
         quietEnds[end] - end <= stall) {
    const size_t resumes = quietEnds[end];
    size_t stops = resumes;
    while (stops < x.size() && quietEnds[stops] == stops) ++stops;
    if (peak(resumes, stops) > last) break;
    end = stops;
  }
  return end;
}

struct Candidate {
  Heard heard;
  size_t head;
};

}  // namespace

std::vector<float> WaveSamples(std::string_view wave, int32_t rate) {
  if (wave.size() < 12 || wave.substr(0, 4) != "RIFF" || wave.substr(8, 4) != "WAVE") return {};
  uint32_t format = 0, channels = 0, from = 0, bits = 0;
  std::string_view data;
  for (size_t at = 12; at + 8 <= wave.size();) {
    const std::string_view tag = wave.substr(at, 4);
    const size_t size = Read(wave, at + 4, 4);
    if (size > wave.size() - at - 8) break;
    const std::string_view body = wave.substr(at + 8, size);
    if (tag == "fmt " && body.size() >= 16) {
      format = Read(body, 0, 2);
      channels = Read(body, 2, 2);
      from = Read(body, 4, 4);
      bits = Read(body, 14, 2);
    } else if (tag == "data") {
      data = body;
    }
    at += 8 + size + (size & 1);  // chunks keep to even offsets
  }
  if (format != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || from == 0 ||
      from > 192000 || rate <= 0)
    return {};
  const size_t bytes = bits / 8, frame = bytes * channels;
  std::vector<float> mono(data.size() / frame);
  for (size_t i = 0; i < mono.size(); ++i) {
    double sum = 0;
    for (size_t c = 0; c < channels; ++c) {
      const size_t at = i * frame + c * bytes;
      // 8-bit samples are unsigned around 128; 16-bit ones signed.
      sum += bits == 8 ? (static_cast<double>(Read(data, at, 1)) - 128.0) / 128.0
                       : static_cast<int16_t>(Read(data, at, 2)) / 32768.0;
    }
    mono[i] = static_cast<float>(sum / channels);
  }
  return Resample(mono, static_cast<int32_t>(from), rate);
}

void SoundFinder::Add(int32_t id, std::vector<float> samples) {
  // Its faded end is no part of what can be told apart from silence.
  size_t active = samples.size();
  while (active > 0 && std::abs(samples[active - 1]) < quietLevel) --active;
  sounds_.push_back({id, std::move(samples), active});
}

int64_t SoundFinder::Length(int32_t id) const {
  for (const Known& sound : sounds_)
    if (sound.id == id) return static_cast<int64_t>(sound.samples.size());
  return 0;
}

std::vector<Heard> SoundFinder::Find(const std::vector<float>& recording) const {
  const auto rate = static_cast<size_t>(rate_);
  const std::vector<float> x = Unpadded(recording, padEdge());
  const size_t n = x.size();
  if (n == 0) return {};
  const size_t shortestGap = rate / 500;
  const std::vector<size_t> quietEnds = QuietEnds(x, shortestGap);
  // A sound starts after silence: Wine ends one stream before it starts the next. Where a sound's
  // first 25 ms line up best near such a start, it may begin; what follows decides.
  std::vector<size_t> rises;
  for (size_t i = 1; i < n; ++i)
    if (quietEnds[i - 1] == i) rises.push_back(i);
  const size_t opening = rate / 40, around = rate / 200;
  size_t size = 1;
  while (size < n + opening) size <<= 1;
  std::vector<Complex> heard(size);
  std::vector<double> energy(n + 1, 0.0);  // of the recording's first i samples
  for (size_t i = 0; i < n; ++i) {
    heard[i] = x[i];
    energy[i + 1] = energy[i] + static_cast<double>(x[i]) * x[i];
  }
  Transform(heard, false);

  std::vector<Candidate> candidates;
  std::vector<Complex> product(size);
  for (const Known& sound : sounds_) {
    const size_t first = std::min(sound.active, opening);
    std::fill(product.begin(), product.end(), Complex());
    double norm = 0;
    for (size_t i = 0; i < first; ++i) {
      product[i] = sound.samples[i];
      norm += static_cast<double>(sound.samples[i]) * sound.samples[i];
    }
    if (norm == 0) continue;
    norm = std::sqrt(norm);
    Transform(product, false);
    for (size_t i = 0; i < size; ++i) product[i] = heard[i] * std::conj(product[i]);
    Transform(product, true);
    const auto openingAt = [&](size_t k) {
      const double there = energy[std::min(k + first, n)] - energy[k];
      return there > 0 ? product[k].real() / (norm * std::sqrt(there)) : 0.0;
    };

    // A long sound is told by its first second, whole: some of them begin on the same note. A
    // short one by as much as was heard of it, at least 15 ms.
    const bool isLong = sound.active > rate / 4;
    const size_t head = std::min(sound.active, rate);
    // A piece may be looked for back to the middle of the one before, no further: a skip is
    // followed, but the same stretch of recording does not stand for two pieces.
    const size_t near = rate * 3 / 1000, ahead = rate * 40 / 1000;
    const auto stall = static_cast<size_t>(longestStall * rate_);
    const Steps steps = isLong ? Steps{rate / 50, near, rate / 100, ahead, stall, 0, false}
                               : Steps{rate / 100, near, rate / 200, ahead, stall, rate * 15 / 1000, true};
    std::vector<size_t> tried;
    for (size_t rise : rises) {
      size_t k = rise - std::min(rise, around);
      for (size_t q = k; q <= rise + around && q < n; ++q)
        if (openingAt(q) > openingAt(k)) k = q;
      if (openingAt(k) < 0.5 || std::find(tried.begin(), tried.end(), k) != tried.end()) continue;
      tried.push_back(k);
      Followed followed = Follow(x, quietEnds, sound.samples, k, head, steps);
      // It ends where the recording falls silent after the last piece found; a long sound that
      // may be this one is followed to its end for that.
      if (isLong && followed.match >= 0.5)
        followed.end = Follow(x, quietEnds, sound.samples, k, sound.active, steps).end;
      followed.end = SilenceAfter(quietEnds, followed.end - std::min(followed.end, steps.piece), shortestGap);
      if (isLong) followed.end = FaintEnd(x, quietEnds, followed.end, stall);
      // Lesser likenesses are kept to say how near the next best sound came.
      if (followed.match < 0.5) continue;
      candidates.push_back({{sound.id, static_cast<int64_t>(k), static_cast<int64_t>(followed.end),
                             followed.match, 0, followed.cutOff},
                            head});
    }
  }

  // The best likeness wins: near it, a lesser one is the same sound seen a little off, or a
  // different sound that resembles it. And a sound does not start again inside itself: there it
  // is going on after a stutter, its rest looking like its start.
  std::sort(candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.heard.match > b.heard.match; });
  const auto inside = [](const Heard& a, const Heard& b) { return b.start > a.start && b.start < a.end; };
  const auto close = [&](const Candidate& a, const Candidate& b) {
    return static_cast<size_t>(std::abs(a.heard.start - b.heard.start)) <= std::min(a.head, b.head) / 2 ||
           (a.heard.id == b.heard.id && (inside(a.heard, b.heard) || inside(b.heard, a.heard)));
  };
  std::vector<Candidate> taken;
  for (const Candidate& candidate : candidates) {
    auto same =
        std::find_if(taken.begin(), taken.end(), [&](const Candidate& t) { return close(t, candidate); });
    if (same == taken.end()) {
      if (candidate.heard.match >= matchNeeded) taken.push_back(candidate);
    } else if (same->heard.id != candidate.heard.id) {
      same->heard.nextBest = std::max(same->heard.nextBest, candidate.heard.match);
    } else if (candidate.heard.match >= matchNeeded && inside(candidate.heard, same->heard)) {
      // The whole is less alike than its rest alone, which ends soon after it starts.
      const double nextBest = same->heard.nextBest;
      *same = candidate;
      same->heard.nextBest = nextBest;
    }
  }
  std::vector<Heard> found;
  found.reserve(taken.size());
  for (const Candidate& candidate : taken) found.push_back(candidate.heard);
  std::sort(found.begin(), found.end(), [](const Heard& a, const Heard& b) { return a.start < b.start; });
  // A sound cut off by the next one without a pause ends where that one starts.
  for (size_t i = 0; i + 1 < found.size(); ++i) found[i].end = std::min(found[i].end, found[i + 1].start);
  return found;
}

size_t SoundFinder::FirstSound(const std::vector<float>& recording, size_t from, size_t to) const {
  to = std::min(to, recording.size());
  if (from >= to) return to;
  const auto rate = static_cast<size_t>(rate_);
  const size_t shortest = rate * 15 / 1000;
  const std::vector<float> x = Unpadded(recording, padEdge());
  const std::vector<size_t> quietEnds = QuietEnds(x, rate / 500);
  // A stretch of sound runs until the next gap; one shorter than 15 ms within the samples asked
  // about is a stutter's leftover of a sound next to it, not a sound.
  for (size_t i = 0; i < to;) {
    if (quietEnds[i] != i) {
      i = quietEnds[i];
      continue;
    }
    size_t j = i;
    while (j < x.size() && quietEnds[j] == j) ++j;
    const size_t begin = std::max(i, from), end = std::min(j, to);
    if (end > begin && end - begin >= std::min(shortest, to - from)) {
      for (size_t k = begin; k < end; ++k)
        if (std::abs(x[k]) >= quietLevel) return k;
    }
    i = j;
  }
  return to;
}

}  // namespace e2e
