// The life figures, the counters and the wrong letters.
#include "game/status_band.h"

#include "game/screen.h"
#include "runtime/text/string_ops.h"

namespace game {

using namespace runtime;

namespace {

constexpr ColourValue FigureColour = Colour(255, 255, 255);
constexpr ColourValue LabelColour = Colour(0, 255, 0);
constexpr ColourValue ValueColour = Colour(255, 255, 0);
constexpr ColourValue WrongLettersColour = Colour(192, 192, 192);

// A little man of three text rows; the rows are closer than a line, so they touch.
void DrawFigure(FontHandle font, int16_t column) {
  DrawEmbossedText(framePicture, ByteString(" o "), font, FigureColour, static_cast<int16_t>(8 + column), 0);
  DrawEmbossedText(framePicture, ByteString("/|\\"), font, FigureColour, static_cast<int16_t>(10 + column),
                   10);
  DrawEmbossedText(framePicture, ByteString("/ \\"), font, FigureColour, static_cast<int16_t>(10 + column),
                   20);
}

// Decimal with no blank where the sign of a non-negative number would be.
ByteString NumberText(double value) {
  return removeAll(formatNumber(value), ByteString(" "));
}

}  // namespace

void DrawLifeFigures(const int16_t& lives) {
  const FontHandle font = GameFont(FigurePoints);
  if (lives < 1 || lives > 3) return;
  for (int16_t figure = 0; figure < lives; ++figure) DrawFigure(font, static_cast<int16_t>(figure * 10));
}

void DrawCounters(const int16_t& misses, const int32_t& wordsSolved) {
  const FontHandle font = GameFont(CounterPoints);
  DrawEmbossedText(framePicture, ByteString("Fallos"), font, LabelColour, 500, 1);
  DrawEmbossedText(framePicture, NumberText(misses), font, ValueColour, 530, 30);
  DrawEmbossedText(framePicture, ByteString("Palabras"), font, LabelColour, 650, 1);
  DrawEmbossedText(framePicture, NumberText(wordsSolved), font, ValueColour, 650, 30);
}

void DrawWrongLetters(const ByteString& wrongLetters) {
  DrawEmbossedText(framePicture, wrongLetters, GameFont(CounterPoints), WrongLettersColour, 50, 1);
}

}  // namespace game
