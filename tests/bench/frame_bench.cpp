// Measures the canvas engine on the game's heaviest frame: one 800 x 600 background copy and 44
// texts, each printed three times (two edges and the face) in bold Times New Roman of 8 to 39
// points on a transparent background. Reports the median and 90th percentile per frame.
//   frame_bench [FRAMES]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/canvas/canvas.h"
#include "runtime/canvas/font_table.h"
#include "tests/bench/bench_stats.h"

using namespace bench;
using namespace runtime;

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  resetFontTable();
  const PictureHandle background = loadPicture(ByteString("#202"), 800, 600, stretchColourOnColour);
  const PictureHandle frame = loadPicture(ByteString("#202"), 800, 600, stretchColourOnColour);
  if (!background || !frame) {
    std::fprintf(stderr, "frame_bench: the background resource could not be loaded\n");
    return 1;
  }
  const ByteString face("Times New Roman");
  const FontHandle fonts[] = {newFont(face, 8, fontBold, 0, 0, 0), newFont(face, 22, fontBold, 0, 0, 0),
                              newFont(face, 29, fontBold, 0, 0, 0), newFont(face, 39, fontBold, 0, 0, 0)};
  std::vector<ByteString> texts;
  texts.reserve(44);
  for (int i = 0; i < 44; ++i)
    texts.emplace_back(i < 27 ? std::string(1, "abcdefghijklmn\xF1opqrstuvwxyz"[i])
                              : std::string("murcielago").substr(0, 1 + i % 10));
  std::vector<double> times;
  for (int n = 0; n < frames; ++n) {
    const auto start = Clock::now();
    attachTarget(frame, 0);
    copyPicture(background, 0, mixCopy);
    for (int i = 0; i < 44; ++i) {
      selectFont(fonts[i % 4]);
      const int32_t x = 10 + (i % 27) * 28, y = 20 + (i / 27) * 60 + (i % 4) * 100;
      const ColourValue colours[] = {rgb(255, 255, 255), rgb(128, 0, 0), rgb(255, 0, 0)};
      const int32_t offsets[] = {-1, 1, 0};
      for (int pass = 0; pass < 3; ++pass) {
        setColours(colours[pass], transparent);
        setPosition(x + offsets[pass], y + offsets[pass]);
        printText(texts[static_cast<size_t>(i)]);
      }
    }
    times.push_back(milliseconds(Clock::now() - start));
  }
  std::printf("canvas frame (1 copy + 132 prints), %d frames: median %.3f ms   p90 %.3f ms\n", frames,
              percentile(times, 0.5), percentile(times, 0.9));
  releasePicture(frame);
  releasePicture(background);
  return 0;
}
