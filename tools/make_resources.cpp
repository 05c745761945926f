// Draws and synthesises the game's pictures and sounds from code: make_resources OUTPUT_FOLDER.
// Writes background.bmp, letrazul.ico, icon.png and sound300.wav … sound305.wav.
// Randomness comes from a seeded generator of our own, so every run writes the same bytes. The
// sines, exponentials and logarithms come from this machine's C library: another library may round
// a last bit differently and move a byte, which the regeneration test would then report.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/png_image.h"

namespace {

using Bytes = std::vector<uint8_t>;
using tools::encodePng;

constexpr double pi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------
// Byte layout

void putLittle(Bytes& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void put16(Bytes& out, uint32_t value) {
  putLittle(out, value, 2);
}
void put32(Bytes& out, uint32_t value) {
  putLittle(out, value, 4);
}
// Byte by byte: GCC 12's optimiser misreads a four-byte range insert as an overflow.
void putTag(Bytes& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

uint8_t toByte(double unit) {
  return static_cast<uint8_t>(std::clamp(std::lround(unit * 255.0), 0L, 255L));
}

double clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}
double smoothstep(double edge0, double edge1, double v) {
  const double t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}
double mix(double a, double b, double t) {
  return a + (b - a) * t;
}

// ---------------------------------------------------------------------------------------------
// Randomness: SplitMix64, whose output is fixed by its integer arithmetic alone.

uint64_t scramble(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  double unit() { return static_cast<double>(scramble(state_ += 0x9E3779B97F4A7C15ull) >> 11) * 0x1.0p-53; }
  double range(double low, double high) { return low + (high - low) * unit(); }

 private:
  uint64_t state_;
};

// A fixed value in [0, 1) for each lattice point, so the noise needs no stored table.
double latticeValue(int64_t x, int64_t y, uint64_t seed) {
  const uint64_t key = (static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull) ^
                       (static_cast<uint64_t>(y) * 0xC2B2AE3D27D4EB4Full) ^ (seed * 0x165667B19E3779F9ull);
  return static_cast<double>(scramble(key) >> 11) * 0x1.0p-53;
}

double valueNoise(double x, double y, uint64_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
  const double tx = smoothstep(0.0, 1.0, x - fx), ty = smoothstep(0.0, 1.0, y - fy);
  const double top = mix(latticeValue(ix, iy, seed), latticeValue(ix + 1, iy, seed), tx);
  const double bottom = mix(latticeValue(ix, iy + 1, seed), latticeValue(ix + 1, iy + 1, seed), tx);
  return mix(top, bottom, ty);
}

// Octaves of value noise, each twice as fine and half as strong; the result stays in [0, 1].
double fractalNoise(double x, double y, int octaves, uint64_t seed) {
  double sum = 0.0, weight = 0.0, strength = 1.0;
  for (int i = 0; i < octaves; ++i) {
    sum += strength * valueNoise(x, y, seed + static_cast<uint64_t>(i));
    weight += strength;
    strength *= 0.5;
    x = x * 2.0 + 17.31;
    y = y * 2.0 - 9.77;
  }
  return sum / weight;
}

// ---------------------------------------------------------------------------------------------
// The background: a spiral galaxy in a star field, dark where the game writes

constexpr int skyWidth = 1200;
constexpr int skyHeight = 911;
// The titles sit in the top rows and the letter pad in the bottom quarter: both stay darkest.
constexpr int titleBandRows = 90;
constexpr int padBandFirstRow = 683;

struct Colour {
  double r = 0.0, g = 0.0, b = 0.0;
};

Colour scaled(const Colour& c, double k) {
  return {c.r * k, c.g * k, c.b * k};
}

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width * height)) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) {
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  }
  void add(int x, int y, const Colour& c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Colour& p = at(x, y);
    p.r += c.r;
    p.g += c.g;
    p.b += c.b;
  }

 private:
  int width_, height_;
  std::vector<Colour> pixels_;
};

// Deep blue-black with faint violet and teal clouds.
void paintSkyGround(Canvas& sky) {
  for (int y = 0; y < sky.height(); ++y) {
    for (int x = 0; x < sky.width(); ++x) {
      const double violet = std::pow(fractalNoise(x / 260.0, y / 260.0, 5, 101), 2.0);
      const double teal = std::pow(fractalNoise(x / 190.0 + 40.0, y / 190.0, 5, 202), 3.0);
      Colour& p = sky.at(x, y);
      p.r = 0.006 + 0.030 * violet;
      p.g = 0.008 + 0.012 * violet + 0.020 * teal;
      p.b = 0.026 + 0.050 * violet + 0.030 * teal;
    }
  }
}

// The galaxy's own frame: centre, tilt of its long axis, and how flat its inclined disc looks.
struct GalaxyFrame {
  double centreX = 612.0, centreY = 380.0;
  double tilt = -0.36;       // radians, long axis rising to the right
  double flattening = 0.46;  // minor over major axis of the inclined disc
  double winding = 3.4;      // arm winding: 1 / tan(pitch angle)

  // Picture point to disc plane; returns the radius and the angle around the centre.
  void toDisc(double x, double y, double& radius, double& angle) const {
    const double dx = x - centreX, dy = y - centreY;
    const double u = dx * std::cos(tilt) + dy * std::sin(tilt);
    const double v = (-dx * std::sin(tilt) + dy * std::cos(tilt)) / flattening;
    radius = std::sqrt(u * u + v * v);
    angle = std::atan2(v, u);
  }
  void toPicture(double radius, double angle, double& x, double& y) const {
    const double u = radius * std::cos(angle), v = radius * std::sin(angle) * flattening;
    x = centreX + u * std::cos(tilt) - v * std::sin(tilt);
    y = centreY + u * std::sin(tilt) + v * std::cos(tilt);
  }
  // Zero along the middle of either arm; logarithmic spirals keep their shape as they widen.
  double armPhase(double radius, double angle) const {
    return angle - winding * std::log((radius + 6.0) / 60.0);
  }
};

void paintGalaxy(Canvas& sky, const GalaxyFrame& galaxy) {
  const Colour coreColour{1.00, 0.86, 0.66};
  const Colour armColour{0.56, 0.70, 1.00};
  const Colour discColour{0.80, 0.76, 0.86};
  const Colour glowColour{0.36, 0.30, 0.66};
  for (int y = 0; y < sky.height(); ++y) {
    for (int x = 0; x < sky.width(); ++x) {
      double r, angle;
      galaxy.toDisc(x + 0.5, y + 0.5, r, angle);
      if (r > 900.0) continue;
      // Large-scale noise bends the arms so they do not look drawn with a compass.
      const double bend = fractalNoise(x / 80.0, y / 80.0, 4, 303) - 0.5;
      const double phase = galaxy.armPhase(r, angle) + 1.3 * bend;
      const double arm = std::pow(0.5 + 0.5 * std::cos(2.0 * phase), 2.2);
      // Dust lies along the inner edge of each arm.
      const double lane = std::pow(0.5 + 0.5 * std::cos(2.0 * (phase + 0.62)), 8.0);
      const double clumps = 0.25 + 1.6 * std::pow(fractalNoise(x / 6.0, y / 6.0, 3, 404), 1.5);
      const double rim = 1.0 - smoothstep(230.0, 360.0, r);
      const double armZone = smoothstep(22.0, 85.0, r) * rim;

      const double core =
          0.32 * std::exp(-std::pow(r / 40.0, 1.15)) + 0.22 * std::exp(-r * r / (2.0 * 7.0 * 7.0));
      const double arms = 0.40 * arm * armZone * std::exp(-r / 150.0) * clumps;
      const double disc = 0.09 * std::exp(-r / 105.0) * rim * (0.7 + 0.6 * clumps);
      const double glow = 0.055 * std::exp(-r / 150.0);
      const double dustZone = smoothstep(18.0, 60.0, r) * (1.0 - smoothstep(190.0, 320.0, r));
      const double dust =
          clamp01(0.95 * lane * dustZone * (0.4 + 1.2 * fractalNoise(x / 12.0, y / 12.0, 3, 505)));

      Colour light = scaled(coreColour, core);
      const Colour a = scaled(armColour, arms), d = scaled(discColour, disc), g = scaled(glowColour, glow);
      light = {light.r + a.r + d.r, light.g + a.g + d.g, light.b + a.b + d.b};
      // Dust dims blue more than red.
      light = {light.r * (1.0 - 0.85 * dust), light.g * (1.0 - 0.92 * dust), light.b * (1.0 - dust)};
      sky.add(x, y, {light.r + g.r * (1.0 - 0.5 * dust), light.g + g.g * (1.0 - 0.5 * dust), light.b + g.b});
    }
  }
}

void paintBlob(Canvas& sky, double cx, double cy, double sigma, const Colour& peak) {
  const int reach = static_cast<int>(std::ceil(3.5 * sigma)) + 1;
  const int px = static_cast<int>(std::floor(cx)), py = static_cast<int>(std::floor(cy));
  for (int y = py - reach; y <= py + reach; ++y) {
    for (int x = px - reach; x <= px + reach; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      sky.add(x, y, scaled(peak, std::exp(-(dx * dx + dy * dy) / (2.0 * sigma * sigma))));
    }
  }
}

// Young star clusters strung along the arms: pink nebulae and blue knots.
void paintArmKnots(Canvas& sky, const GalaxyFrame& galaxy, Random& random) {
  for (int i = 0; i < 320; ++i) {
    const double r = 45.0 + 240.0 * std::pow(random.unit(), 0.8);
    const double arm = random.unit() < 0.5 ? 0.0 : pi;
    const double angle = galaxy.winding * std::log((r + 6.0) / 60.0) + arm + random.range(-0.22, 0.22);
    double x, y;
    galaxy.toPicture(r, angle, x, y);
    const bool nebula = random.unit() < 0.35;
    const Colour tint = nebula ? Colour{1.00, 0.45, 0.70} : Colour{0.62, 0.78, 1.00};
    const double strength = random.range(0.06, 0.22) * std::exp(-r / 260.0);
    paintBlob(sky, x, y, random.range(0.7, nebula ? 2.4 : 1.3), scaled(tint, strength));
  }
}

Colour starTint(double pick) {
  if (pick < 0.18) return {0.70, 0.80, 1.00};  // hot blue-white
  if (pick < 0.55) return {0.94, 0.96, 1.00};
  if (pick < 0.75) return {1.00, 0.94, 0.80};
  if (pick < 0.91) return {1.00, 0.82, 0.60};
  return {1.00, 0.66, 0.50};  // cool red giants
}

void paintStars(Canvas& sky, Random& random) {
  for (int i = 0; i < 3600; ++i) {
    const double x = random.range(0.0, sky.width()), y = random.range(0.0, sky.height());
    // Most stars are faint; a steep power keeps the bright ones few.
    const double brightness = 0.05 + 0.95 * std::pow(random.unit(), 7.0);
    const Colour tint = starTint(random.unit());
    paintBlob(sky, x, y, 0.42 + 0.75 * brightness * brightness, scaled(tint, brightness));
    if (brightness > 0.55) paintBlob(sky, x, y, 3.5, scaled(tint, 0.05 * brightness));
  }
  // A dozen bright stars with soft halos and four diffraction spikes.
  for (int i = 0; i < 12; ++i) {
    const double x = random.range(20.0, sky.width() - 20.0), y = random.range(20.0, sky.height() - 20.0);
    const Colour tint = starTint(random.unit());
    const double spike = random.range(14.0, 34.0);
    paintBlob(sky, x, y, 1.1, tint);
    paintBlob(sky, x, y, 5.0, scaled(tint, 0.07));
    const int reach = static_cast<int>(spike * 3.0);
    for (int k = -reach; k <= reach; ++k) {
      if (k == 0) continue;
      const double fall = 0.5 * std::exp(-std::abs(k) / spike * 2.5);
      sky.add(static_cast<int>(x) + k, static_cast<int>(y), scaled(tint, fall));
      sky.add(static_cast<int>(x), static_cast<int>(y) + k, scaled(tint, fall));
    }
  }
}

// Text in red, white, silver, green and yellow stays readable on top and in the letter pad.
void darkenTextBands(Canvas& sky) {
  for (int y = 0; y < sky.height(); ++y) {
    const double open = smoothstep(titleBandRows - 10.0, titleBandRows + 50.0, y) *
                        (1.0 - smoothstep(padBandFirstRow - 70.0, padBandFirstRow, y));
    const double keep = mix(0.38, 1.0, open);
    for (int x = 0; x < sky.width(); ++x) sky.at(x, y) = scaled(sky.at(x, y), keep);
  }
}

// Highlights roll off softly instead of clipping; a little noise hides banding in the dark.
Bytes toRgbBytes(Canvas& sky, Random& random) {
  auto tone = [](double v) { return v < 0.7 ? v : 0.7 + 0.3 * (1.0 - std::exp(-(v - 0.7) / 0.3)); };
  Bytes rgb;
  rgb.reserve(static_cast<size_t>(sky.width()) * static_cast<size_t>(sky.height()) * 3);
  for (int y = 0; y < sky.height(); ++y) {
    for (int x = 0; x < sky.width(); ++x) {
      const Colour& p = sky.at(x, y);
      for (double v : {p.r, p.g, p.b}) {
        const double dither = (random.unit() + random.unit() - 1.0) * 0.5 / 255.0;
        rgb.push_back(toByte(tone(v) + dither));
      }
    }
  }
  return rgb;
}

Bytes makeBackgroundRgb() {
  Canvas sky(skyWidth, skyHeight);
  Random random(0x4C65747261ull);  // "Letra"
  const GalaxyFrame galaxy;
  paintSkyGround(sky);
  paintGalaxy(sky, galaxy);
  paintArmKnots(sky, galaxy, random);
  paintStars(sky, random);
  darkenTextBands(sky);
  return toRgbBytes(sky, random);
}

// 32-bit bottom-up BMP, BGRX.
Bytes makeBmp(int width, int height, const Bytes& rgb) {
  const uint32_t imageBytes = static_cast<uint32_t>(width * height * 4);
  Bytes bmp = {'B', 'M'};
  put32(bmp, 14 + 40 + imageBytes);
  put32(bmp, 0);        // reserved
  put32(bmp, 14 + 40);  // pixels start after both headers
  put32(bmp, 40);
  put32(bmp, static_cast<uint32_t>(width));
  put32(bmp, static_cast<uint32_t>(height));  // positive: rows run bottom-up
  put16(bmp, 1);
  put16(bmp, 32);
  put32(bmp, 0);  // BI_RGB
  put32(bmp, imageBytes);
  put32(bmp, 3780);  // 96 dots per inch, in pixels per metre
  put32(bmp, 3780);
  put32(bmp, 0);
  put32(bmp, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const size_t at = static_cast<size_t>(y * width + x) * 3;
      bmp.insert(bmp.end(), {rgb[at + 2], rgb[at + 1], rgb[at], 0});
    }
  }
  return bmp;
}

// ---------------------------------------------------------------------------------------------
// The icon: a white "ñ" on a deep-blue rounded tile, drawn with distance fields

constexpr int iconSize = 48;

// Signed distances in pixels: negative inside a shape.
double boxDistance(double x, double y, double cx, double cy, double halfWidth, double halfHeight,
                   double radius) {
  const double qx = std::abs(x - cx) - halfWidth + radius, qy = std::abs(y - cy) - halfHeight + radius;
  const double outside =
      std::sqrt(std::max(qx, 0.0) * std::max(qx, 0.0) + std::max(qy, 0.0) * std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double segmentDistance(double x, double y, double ax, double ay, double bx, double by, double halfWidth) {
  const double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const double t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy));
  return std::hypot(px - t * dx, py - t * dy) - halfWidth;
}

// The "n" of a geometric sans: two flat-ended stems joined by a half-ring shoulder.
double letterNDistance(double x, double y) {
  constexpr double stroke = 3.35, top = 19.0, baseline = 39.0, leftStem = 15.5, rightStem = 32.5;
  constexpr double shoulderX = (leftStem + rightStem) / 2, shoulderRadius = (rightStem - leftStem) / 2;
  constexpr double shoulderY = top + stroke + shoulderRadius;
  const double left = boxDistance(x, y, leftStem, (top + baseline) / 2, stroke, (baseline - top) / 2, 0.0);
  // The right stem reaches a pixel into the shoulder so that no seam shows where they meet.
  constexpr double rightTop = shoulderY - 1.0;
  const double right =
      boxDistance(x, y, rightStem, (rightTop + baseline) / 2, stroke, (baseline - rightTop) / 2, 0.0);
  const double ring = std::abs(std::hypot(x - shoulderX, y - shoulderY) - shoulderRadius) - stroke;
  const double shoulder = std::max(ring, y - shoulderY);  // the upper half only
  return std::min({left, right, shoulder});
}

// The tilde: one period of a sine wave as a round-ended stroke.
double tildeDistance(double x, double y) {
  constexpr int pieces = 32;
  double nearest = 1e9;
  double px = 0.0, py = 0.0;
  for (int i = 0; i <= pieces; ++i) {
    const double t = static_cast<double>(i) / pieces;
    const double qx = 14.5 + 19.0 * t, qy = 11.0 - 2.7 * std::sin(2.0 * pi * t);
    if (i > 0) nearest = std::min(nearest, segmentDistance(x, y, px, py, qx, qy, 2.55));
    px = qx;
    py = qy;
  }
  return nearest;
}

double glyphDistance(double x, double y) {
  return std::min(letterNDistance(x, y), tildeDistance(x, y));
}

// Area covered by a shape edge crossing a one-pixel square, from its distance at the centre.
double coverage(double distance) {
  return clamp01(0.5 - distance);
}

struct Rgba {
  double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
};

Rgba iconPixel(int px, int py) {
  const double x = px + 0.5, y = py + 0.5;
  const double tileEdge = boxDistance(x, y, 24.0, 24.0, 23.0, 23.0, 9.0);
  const double tile = coverage(tileEdge);
  if (tile <= 0.0) return {};
  // Lighter at the top left, deep at the bottom right.
  const double shade = clamp01((x * 0.35 + y) / 58.0);
  Colour c{mix(0.12, 0.02, shade), mix(0.30, 0.08, shade), mix(0.82, 0.42, shade)};
  // A faint lighter rim just inside the edge keeps the tile distinct on dark task bars.
  const double rim = 0.22 * clamp01(1.0 - std::abs(tileEdge + 1.5));
  c = {mix(c.r, 0.45, rim), mix(c.g, 0.62, rim), mix(c.b, 1.0, rim)};
  // A soft shadow lifts the letter off the tile.
  const double shadow = 0.45 * clamp01(1.0 - (glyphDistance(x - 0.7, y - 1.1) + 0.5) / 1.8);
  c = scaled(c, 1.0 - shadow);
  const double ink = coverage(glyphDistance(x, y));
  c = {mix(c.r, 1.0, ink), mix(c.g, 1.0, ink), mix(c.b, 1.0, ink)};
  return {c.r, c.g, c.b, tile};
}

// RGBA rows top to bottom, straight (not premultiplied) alpha; clear pixels are all zero.
Bytes makeIconRgba() {
  Bytes rgba;
  for (int y = 0; y < iconSize; ++y) {
    for (int x = 0; x < iconSize; ++x) {
      const Rgba p = iconPixel(x, y);
      const uint8_t alpha = toByte(p.a);
      if (alpha == 0) {
        rgba.insert(rgba.end(), {0, 0, 0, 0});
      } else {
        rgba.insert(rgba.end(), {toByte(p.r), toByte(p.g), toByte(p.b), alpha});
      }
    }
  }
  return rgba;
}

// One 32-bit image: BITMAPINFOHEADER of double height, BGRA rows bottom-up, then the AND mask.
Bytes makeIco(const Bytes& rgba) {
  constexpr uint32_t colourBytes = iconSize * iconSize * 4;
  constexpr uint32_t maskRowBytes = ((iconSize + 31) / 32) * 4;  // rows padded to 32 bits
  constexpr uint32_t maskBytes = maskRowBytes * iconSize;
  constexpr uint32_t imageBytes = 40 + colourBytes + maskBytes;
  Bytes ico;
  put16(ico, 0);
  put16(ico, 1);                                      // icon, not cursor
  put16(ico, 1);                                      // one image
  ico.insert(ico.end(), {iconSize, iconSize, 0, 0});  // width, height, no palette, reserved
  put16(ico, 1);                                      // planes
  put16(ico, 32);
  put32(ico, imageBytes);
  put32(ico, 6 + 16);  // the image follows the directory
  put32(ico, 40);
  put32(ico, iconSize);
  put32(ico, iconSize * 2);  // colour and mask stacked
  put16(ico, 1);
  put16(ico, 32);
  put32(ico, 0);
  put32(ico, colourBytes + maskBytes);
  for (int i = 0; i < 4; ++i) put32(ico, 0);
  for (int y = iconSize - 1; y >= 0; --y) {
    for (int x = 0; x < iconSize; ++x) {
      const size_t at = static_cast<size_t>(y * iconSize + x) * 4;
      ico.insert(ico.end(), {rgba[at + 2], rgba[at + 1], rgba[at], rgba[at + 3]});
    }
  }
  // Set bits mark clear pixels, for whatever still draws icons without alpha.
  for (int y = iconSize - 1; y >= 0; --y) {
    Bytes row(maskRowBytes, 0);
    for (int x = 0; x < iconSize; ++x) {
      if (rgba[static_cast<size_t>(y * iconSize + x) * 4 + 3] == 0)
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    ico.insert(ico.end(), row.begin(), row.end());
  }
  return ico;
}

// ---------------------------------------------------------------------------------------------
// Sounds: additive synthesis of notes, mixed into one track per channel

struct Partial {
  double ratio;  // of the note's pitch
  double level;
  double fade;  // extra decay per second, so upper partials die first
};

using Timbre = std::vector<Partial>;

struct Note {
  double start, length;  // seconds
  double pitch;          // Hz at the start
  double glide;          // pitch at the end over pitch at the start
  double loudness;
  double pan;  // -1 left … 1 right
  const Timbre* timbre;
  double attack = 0.01;  // seconds
  double decay = 0.0;    // per second
  double vibrato = 0.0;  // depth, as a fraction of the pitch
};

class Mix {
 public:
  Mix(int channels, int rate, size_t frames)
      : rate_(rate), tracks_(static_cast<size_t>(channels), std::vector<double>(frames, 0.0)) {}
  size_t channels() const { return tracks_.size(); }
  size_t frames() const { return tracks_[0].size(); }
  std::vector<double>& track(size_t channel) { return tracks_[channel]; }

  void play(const Note& note) {
    const auto first = static_cast<size_t>(std::lround(note.start * rate_));
    const size_t last =
        std::min(frames(), static_cast<size_t>(std::lround((note.start + note.length) * rate_)));
    const double release = std::min(0.04, note.length / 3.0);
    const double highest = note.pitch * std::max(1.0, note.glide);
    // Constant-power pan; a mono mix takes the note whole.
    const double angle = (note.pan + 1.0) * pi / 4.0;
    const double gains[2] = {channels() == 1 ? 1.0 : std::cos(angle), std::sin(angle)};
    double phase = 0.0;
    for (size_t i = first; i < last; ++i) {
      const double t = static_cast<double>(i - first) / rate_;
      const double left = note.length - t;
      const double swell = smoothstep(0.12, 0.45, t);
      const double pitch = note.pitch * std::pow(note.glide, t / note.length) *
                           (1.0 + note.vibrato * swell * std::sin(2.0 * pi * 5.2 * t));
      phase += 2.0 * pi * pitch / rate_;
      const double envelope = std::min(1.0, t / note.attack) * std::exp(-note.decay * t) *
                              (left < release ? 0.5 - 0.5 * std::cos(pi * left / release) : 1.0);
      double sample = 0.0;
      for (const Partial& p : *note.timbre) {
        if (p.ratio * highest > 0.45 * rate_) continue;  // keep clear of the Nyquist limit
        sample += p.level * std::exp(-p.fade * t) * std::sin(p.ratio * phase);
      }
      sample *= envelope * note.loudness;
      for (size_t c = 0; c < channels(); ++c) tracks_[c][i] += sample * gains[c];
    }
  }

  // Each channel hears the other one, later and softer: a small room for the stereo sounds.
  void echo(double delay, double strength) {
    const auto lag = static_cast<size_t>(std::lround(delay * rate_));
    for (size_t i = lag; i < frames(); ++i) {
      const double left = tracks_[0][i - lag], right = tracks_[1][i - lag];
      tracks_[0][i] += strength * right;
      tracks_[1][i] += strength * left;
    }
  }

  // Peak to `level`, then a short fade at each end so the speaker does not click.
  void finish(double level, double fadeIn, double fadeOut) {
    double peak = 1e-9;
    for (const auto& track : tracks_)
      for (double s : track) peak = std::max(peak, std::abs(s));
    const double in = fadeIn * rate_, out = fadeOut * rate_;
    for (auto& track : tracks_) {
      for (size_t i = 0; i < track.size(); ++i) {
        const double fromEnd = static_cast<double>(track.size() - 1 - i);
        const double edge = smoothstep(0.0, 1.0, std::min(i / in, fromEnd / out));
        track[i] *= level / peak * edge;
      }
    }
  }

 private:
  int rate_;
  std::vector<std::vector<double>> tracks_;
};

// Equal-tempered pitch of a note counted in semitones from A4.
double pitchOf(int semitonesFromA4) {
  return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}
constexpr int C3 = -21, C4 = -9, D4 = -7, Eb4 = -6, F4 = -4, G4 = -2, C5 = 3, E5 = 7, G5 = 10, C6 = 15,
              E6 = 19, G6 = 22, C7 = 27, E7 = 31;

const Timbre horn = {{1, 1.0, 0}, {2, 0.45, 0.6}, {3, 0.25, 1.2}, {4, 0.12, 1.8}, {5, 0.06, 2.4}};
const Timbre brass = {{1, 1.0, 0},    {2, 0.75, 0.3}, {3, 0.58, 0.6}, {4, 0.42, 0.9},
                      {5, 0.30, 1.2}, {6, 0.20, 1.5}, {7, 0.13, 1.8}, {8, 0.08, 2.1}};
const Timbre bell = {{1, 1.0, 0}, {2, 0.5, 2.0}, {3, 0.22, 3.0}, {4.2, 0.16, 4.5}, {5.4, 0.09, 6.0}};
const Timbre reed = {{1, 1.0, 0}, {3, 0.36, 0.8}, {5, 0.18, 1.6}, {7, 0.10, 2.4}, {2, 0.08, 1.0}};
const Timbre sine = {{1, 1.0, 0}, {2, 0.22, 8.0}};
const Timbre saw = [] {
  Timbre t;
  for (int k = 1; k <= 24; ++k) t.push_back({static_cast<double>(k), 1.0 / k, 0.0});
  return t;
}();

// A game lost: a slow minor walk down to a low C that sags and trembles.
void composeLostGame(Mix& m) {
  const int steps[] = {G4, F4, Eb4, D4};
  for (int i = 0; i < 4; ++i)
    m.play({0.62 * i, 0.66, pitchOf(steps[i]), 1.0, 0.8, 0, &horn, 0.05, 0.7, 0.004});
  m.play({2.48, 1.62, pitchOf(C4), 0.95, 0.9, 0, &horn, 0.06, 0.55, 0.012});
  m.play({2.48, 1.62, pitchOf(C3), 0.97, 0.55, 0, &horn, 0.10, 0.6, 0.0});
  m.finish(0.85, 0.006, 0.25);
}

// A new game: a brass arpeggio climbing to a held C major chord, with bells sparkling over it.
void composeNewGame(Mix& m) {
  const int climb[] = {G4, C5, E5, G5};
  for (int i = 0; i < 4; ++i)
    m.play({0.14 * i, 0.17, pitchOf(climb[i]), 1.0, 0.7, -0.45 + 0.3 * i, &brass, 0.012, 1.5});
  const double held = 0.56, hold = 1.45;
  m.play({held, hold, pitchOf(C6), 1.0, 0.55, 0.0, &brass, 0.015, 1.1, 0.004});
  m.play({held, hold, pitchOf(G5), 1.0, 0.45, 0.5, &brass, 0.02, 1.1});
  m.play({held, hold, pitchOf(E5), 1.0, 0.45, -0.5, &brass, 0.02, 1.1});
  m.play({held, hold, pitchOf(C5), 1.0, 0.40, 0.0, &brass, 0.025, 1.1});
  const int sparkle[] = {E6, G6, C7, E7, C7};
  for (int i = 0; i < 5; ++i)
    m.play({0.72 + 0.12 * i, 0.6, pitchOf(sparkle[i]), 1.0, 0.22, i % 2 ? 0.7 : -0.7, &bell, 0.003, 5.0});
  m.echo(0.11, 0.22);
  m.finish(0.85, 0.003, 0.12);
}

// A miss: a low sawtooth that sags in pitch.
void composeMiss(Mix& m) {
  m.play({0.0, 0.072, 130.0, 0.75, 1.0, 0, &saw, 0.004, 9.0});
  m.finish(0.8, 0.004, 0.018);
}

// A found letter: a short bright blip sliding up a fourth.
void composeFound(Mix& m) {
  m.play({0.0, 0.057, pitchOf(G6), 4.0 / 3.0, 1.0, 0, &sine, 0.002, 22.0});
  m.finish(0.8, 0.002, 0.012);
}

// A solved word: a bell arpeggio up a major chord, each bell ringing on.
void composeSolved(Mix& m) {
  const int run[] = {C6, E6, G6, C7, E7};
  for (int i = 0; i < 5; ++i) {
    const double start = 0.09 * i;
    m.play({start, 1.6 - start, pitchOf(run[i]), 1.0, i == 4 ? 0.5 : 0.7, 0, &bell, 0.003, 2.4});
  }
  m.finish(0.85, 0.002, 0.15);
}

// A life lost: a reedy note, then one a fifth lower that sags further.
void composeLostLife(Mix& m) {
  m.play({0.0, 0.42, pitchOf(G4), 1.0, 0.8, -0.3, &reed, 0.02, 1.2, 0.003});
  m.play({0.40, 0.74, pitchOf(C4), 0.94, 0.85, 0.3, &reed, 0.03, 1.4, 0.01});
  m.echo(0.16, 0.28);
  m.finish(0.85, 0.004, 0.1);
}

struct SoundFile {
  int id;
  const char* title;
  int channels, rate, bits;
  uint32_t dataBytes;  // of samples
  uint32_t fileBytes;  // the whole file
  uint32_t fmtBytes;   // 16, or 18 with an empty extension size
  void (*compose)(Mix&);
};

// Each file has a fixed size. What the header, the samples and their pad byte leave free holds the
// sound's name in a LIST/INFO chunk when a name fits, the frame count in a fact chunk when exactly
// that fits, and otherwise a zero-filled JUNK chunk. 625 bytes of samples take a pad byte, so sound 303
// is 670 bytes: RIFF chunks keep every file even.
const SoundFile sounds[] = {
    {300, "Partida perdida", 1, 22050, 8, 91163, 91222, 18, composeLostGame},
    {301, "Partida nueva", 2, 44100, 16, 396900, 396964, 16, composeNewGame},
    {302, "Letra fallada", 1, 11025, 8, 789, 890, 16, composeMiss},
    {303, "Letra acertada", 1, 11127, 8, 625, 670, 16, composeFound},
    {304, "Palabra resuelta", 1, 22050, 16, 66816, 66860, 16, composeSolved},
    {305, "Vida perdida", 2, 44100, 16, 220500, 220564, 16, composeLostLife},
};

Bytes makeWave(const SoundFile& sound) {
  const uint32_t blockAlign = static_cast<uint32_t>(sound.channels * sound.bits / 8);
  const uint32_t frames = sound.dataBytes / blockAlign;
  Mix mix(sound.channels, sound.rate, frames);
  sound.compose(mix);

  const uint32_t pad = sound.dataBytes & 1;
  const uint32_t fixed = 12 + 8 + sound.fmtBytes + 8 + sound.dataBytes + pad;
  const uint32_t room = sound.fileBytes - fixed;
  if (sound.fileBytes < fixed || room % 2 != 0 || (room > 0 && room < 8))
    throw std::runtime_error("sound " + std::to_string(sound.id) + ": no chunk layout gives that size");

  Bytes wave;
  putTag(wave, "RIFF");
  put32(wave, sound.fileBytes - 8);
  putTag(wave, "WAVE");
  putTag(wave, "fmt ");
  put32(wave, sound.fmtBytes);
  put16(wave, 1);  // PCM
  put16(wave, static_cast<uint32_t>(sound.channels));
  put32(wave, static_cast<uint32_t>(sound.rate));
  put32(wave, static_cast<uint32_t>(sound.rate) * blockAlign);
  put16(wave, blockAlign);
  put16(wave, static_cast<uint32_t>(sound.bits));
  if (sound.fmtBytes == 18) put16(wave, 0);
  const size_t titleBytes = std::strlen(sound.title) + 1;
  if (room >= 20 + titleBytes) {
    putTag(wave, "LIST");
    put32(wave, room - 8);
    putTag(wave, "INFO");
    putTag(wave, "INAM");
    put32(wave, room - 20);
    const size_t at = wave.size();
    wave.insert(wave.end(), sound.title, sound.title + titleBytes);
    wave.resize(at + room - 20, 0);
  } else if (room == 12) {
    putTag(wave, "fact");
    put32(wave, 4);
    put32(wave, frames);
  } else if (room > 0) {
    putTag(wave, "JUNK");
    put32(wave, room - 8);
    wave.resize(wave.size() + room - 8, 0);
  }
  putTag(wave, "data");
  put32(wave, sound.dataBytes);
  for (uint32_t i = 0; i < frames; ++i) {
    for (size_t c = 0; c < mix.channels(); ++c) {
      const double s = std::clamp(mix.track(c)[i], -1.0, 1.0);
      if (sound.bits == 8) {
        wave.push_back(static_cast<uint8_t>(128 + std::lround(127.0 * s)));  // unsigned, 128 is silence
      } else {
        put16(wave,
              static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(std::lround(32767.0 * s)))));
      }
    }
  }
  if (pad) wave.push_back(0);
  return wave;
}

// ---------------------------------------------------------------------------------------------

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
  std::cout << "make_resources: " << path.filename().string() << ", " << bytes.size() << " bytes\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_resources OUTPUT_FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  try {
    const Bytes sky = makeBackgroundRgb();
    writeFile(folder / "background.bmp", makeBmp(skyWidth, skyHeight, sky));
    const Bytes icon = makeIconRgba();
    writeFile(folder / "letrazul.ico", makeIco(icon));
    writeFile(folder / "icon.png", encodePng(iconSize, iconSize, 4, icon));
    for (const SoundFile& sound : sounds)
      writeFile(folder / ("sound" + std::to_string(sound.id) + ".wav"), makeWave(sound));
  } catch (const std::exception& e) {
    std::cerr << "make_resources: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
