// Finds the game's sounds in a recording of what it played: where each one starts and which one
// it is, by normalised cross-correlation with the sounds' own samples.
//
// A sound may start where the recording rises from silence, lined up there by its first 25 ms.
// What follows decides: under load Wine's stream stutters (it falls silent, or skips or repeats a
// few milliseconds, and goes on), so the sound is followed piece by piece, and a long sound is told
// by its first second, since some of them begin on the same note. A new request cuts off the sound
// before it, and a stream that runs dry loses its end, so a short sound is known by as much of it
// as was heard, at least 15 ms.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace e2e {

// The mono samples (-1 to 1) of a RIFF WAVE of 8- or 16-bit PCM in one or two channels,
// resampled to `rate`; empty when `wave` is no such data.
std::vector<float> WaveSamples(std::string_view wave, int32_t rate);

// A sound found in a recording.
struct Heard {
  int32_t id = 0;
  int64_t start = 0;    // its first sample in the recording
  int64_t end = 0;      // the sample after its last
  double match = 0;     // the pieces' normalised correlation with the sound: 1 for an exact copy at any level
  double nextBest = 0;  // the same for the most alike of the other sounds starting there, if 0.5 or more
  bool cutOff = false;  // it stops before its end
};

class SoundFinder {
 public:
  explicit SoundFinder(int32_t rate) : rate_(rate) {}

  // A sound to look for, as mono samples at the recording's rate.
  void Add(int32_t id, std::vector<float> samples);
  // Its length in samples; 0 for a sound not added.
  int64_t Length(int32_t id) const;

  // The sounds heard in `recording` (mono at the rate), in order of their start.
  std::vector<Heard> Find(const std::vector<float>& recording) const;

  // The first sample from `from` to `to` of `recording` that is sound, or `to`. Wine fills an 8-bit
  // stream that runs dry, or has ended, with zero bytes, which come out at the lowest level: a
  // click, but none of the game's sounds, so it counts as silence; and so does a stutter's leftover
  // of a sound, less than 15 ms between gaps.
  size_t FirstSound(const std::vector<float>& recording, size_t from, size_t to) const;

  // Below this, a likeness is no sound of ours.
  static constexpr double matchNeeded = 0.8;
  // Seconds a stream may fall silent in the middle of a sound when the machine is busy.
  static constexpr double longestStall = 0.4;

 private:
  struct Known {
    int32_t id;
    std::vector<float> samples;
    size_t active;  // its samples up to the last that is not silence
  };
  // The resampler rings for a few milliseconds after the lowest level's edges.
  size_t padEdge() const { return static_cast<size_t>(rate_) * 8 / 1000; }
  int32_t rate_;
  std::vector<Known> sounds_;
};

}  // namespace e2e
