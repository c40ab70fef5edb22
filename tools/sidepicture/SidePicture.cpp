// side-picture: draws the wizard's side picture, a globe under a magnifying glass on a
// gradient that starts in the page colour, and writes it as an 8-bit Windows bitmap of
// 256 colours (40-byte header), 120 x 228 pixels, bottom-up. With a second name it also
// writes the globe and the glass alone as the program's icon (32 x 32 and 16 x 16 pixels,
// 32 bits with alpha).
//   side-picture <picture.bmp> [<icon.ico>]
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 228;
constexpr int kSamples = 4;  // per axis, per pixel
constexpr int kColours = 256;
constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r, g, b;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Smooth(double edge0, double edge1, double x) {
  double t = (x - edge0) / (edge1 - edge0);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return t * t * (3 - 2 * t);
}

// Distance from a point to the segment a-b.
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  double px = ax + t * dx - x, py = ay + t * dy - y;
  return sqrt(px * px + py * py);
}

const Colour kPage = {189, 255, 231};      // the wizard pages' colour
const Colour kDeep = {66, 166, 115};       // the background gradient's base colour
const Colour kOcean = {38, 128, 150};
const Colour kOceanLight = {120, 215, 215};
const Colour kGrid = {225, 255, 245};
const Colour kRim = {36, 70, 62};
const Colour kRimLight = {150, 190, 170};
const Colour kHandle = {58, 52, 44};
const Colour kHandleLight = {140, 120, 96};

constexpr double kGlobeX = 58, kGlobeY = 88, kGlobeR = 43;
constexpr double kLensX = 72, kLensY = 138, kLensOuter = 27, kLensInner = 21;
constexpr double kHandleX0 = 91, kHandleY0 = 158, kHandleX1 = 110, kHandleY1 = 200;

// What lies at a point: a colour and how much of the point it covers.
struct Layer {
  Colour c = {0, 0, 0};
  double a = 0;
  // Puts `colour` over the layer, covering `alpha` of it.
  void Over(const Colour& colour, double alpha) {
    alpha = alpha < 0 ? 0 : alpha > 1 ? 1 : alpha;
    double a2 = alpha + a * (1 - alpha);
    c = a2 > 0 ? Colour{(colour.r * alpha + c.r * a * (1 - alpha)) / a2,
                        (colour.g * alpha + c.g * a * (1 - alpha)) / a2,
                        (colour.b * alpha + c.b * a * (1 - alpha)) / a2}
               : c;
    a = a2;
  }
};

// The globe and the magnifying glass at a point (pixel units of the picture, y downwards).
Layer Objects(double x, double y) {
  Layer layer;
  // The globe: a lit sphere with lines of latitude and longitude.
  double gx = (x - kGlobeX) / kGlobeR, gy = (y - kGlobeY) / kGlobeR;
  double g2 = gx * gx + gy * gy;
  if (g2 < 1) {
    double gz = sqrt(1 - g2);
    double light = 0.3 + 0.7 * std::max(0.0, (-0.45 * gx - 0.55 * gy + 0.7 * gz));
    Colour sphere = Mix(kOcean, kOceanLight, light);
    double latitude = asin(-gy) * 180 / kPi;
    double longitude = atan2(gx, gz) * 180 / kPi + 12;
    double latLine = fabs(latitude / 30 - round(latitude / 30)) * 30 * kPi / 180 * kGlobeR;
    double lonLine = fabs(longitude / 30 - round(longitude / 30)) * 30 * kPi / 180 * kGlobeR *
                     sqrt(1 - gy * gy) * gz;
    double line = std::max(1 - Smooth(0.4, 1.1, latLine), 1 - Smooth(0.4, 1.1, lonLine));
    sphere = Mix(sphere, kGrid, 0.75 * line * (0.5 + 0.5 * gz));
    layer.Over(sphere, 1 - Smooth(kGlobeR - 1.2, kGlobeR, sqrt(g2) * kGlobeR));
  }

  // The magnifying glass: a lens that brightens what lies behind it, a rim and a handle.
  double lx = x - kLensX, ly = y - kLensY;
  double lensDistance = sqrt(lx * lx + ly * ly);
  if (lensDistance < kLensInner) {
    layer.Over({255, 255, 255}, 0.22 + 0.18 * (1 - Smooth(0, kLensInner, lensDistance + 6)));
    double glint = SegmentDistance(x, y, kLensX - 12, kLensY - 4, kLensX - 4, kLensY - 13);
    layer.Over({255, 255, 255}, 0.7 * (1 - Smooth(1.0, 2.6, glint)));
  }
  double handle = SegmentDistance(x, y, kHandleX0, kHandleY0, kHandleX1, kHandleY1);
  if (handle < 6) {
    Colour wood = Mix(kHandleLight, kHandle, Smooth(0, 0.8, handle / 6));
    layer.Over(wood, 1 - Smooth(5.2, 6, handle));
  }
  double ring = fabs(lensDistance - (kLensOuter + kLensInner) / 2);
  double halfRing = (kLensOuter - kLensInner) / 2;
  if (ring < halfRing + 1) {
    double lit = std::max(0.0, (-lx - ly) / (lensDistance + 1e-9)) * (1 - ring / halfRing);
    layer.Over(Mix(kRim, kRimLight, 0.8 * lit), 1 - Smooth(halfRing - 0.6, halfRing + 0.4, ring));
  }
  return layer;
}

// The colour of the picture at a point (pixel units, y downwards).
Colour Sample(double x, double y) {
  // Page colour at the top, deepening toward the bottom, a soft shadow under the glass.
  Colour c = Mix(kPage, kDeep, Smooth(40, kHeight + 30, y) * 0.85);
  double shadow = SegmentDistance(x, y, kLensX + 4, kLensY + 6, kHandleX1 + 3, kHandleY1 + 5);
  c = Mix(c, kDeep, 0.25 * (1 - Smooth(10, 30, shadow)));

  Layer objects = Objects(x, y);
  c = Mix(c, objects.c, objects.a);

  // Three small four-pointed stars of light.
  const double stars[3][3] = {{22, 30, 5}, {100, 48, 4}, {24, 176, 3.5}};
  for (const auto& s : stars) {
    double dx = fabs(x - s[0]), dy = fabs(y - s[1]);
    double arm = std::min(dx * 4 + dy, dy * 4 + dx);
    c = Mix(c, {255, 255, 255}, 0.85 * (1 - Smooth(s[2] * 0.6, s[2], arm)));
  }
  return c;
}

struct Pixel {
  uint8_t rgb[3];
};

// Median cut: splits the box with the widest channel range at its median until there are
// `count` boxes; each box's mean becomes a palette entry.
std::vector<Pixel> Palette(std::vector<Pixel> pixels, int count) {
  struct Box {
    size_t begin, end;
  };
  std::vector<Box> boxes = {{0, pixels.size()}};
  auto range = [&](const Box& box, int* channel) {
    int best = -1;
    for (int ch = 0; ch < 3; ++ch) {
      uint8_t lo = 255, hi = 0;
      for (size_t i = box.begin; i < box.end; ++i) {
        lo = std::min(lo, pixels[i].rgb[ch]);
        hi = std::max(hi, pixels[i].rgb[ch]);
      }
      if (hi - lo > best) {
        best = hi - lo;
        *channel = ch;
      }
    }
    return best;
  };
  while (int(boxes.size()) < count) {
    int widest = -1, widestRange = 0, channel = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      int ch;
      int r = range(boxes[b], &ch);
      if (r > widestRange && boxes[b].end - boxes[b].begin > 1) {
        widestRange = r;
        widest = int(b);
        channel = ch;
      }
    }
    if (widest < 0) break;  // fewer distinct colours than entries
    Box box = boxes[widest];
    std::sort(pixels.begin() + box.begin, pixels.begin() + box.end,
              [channel](const Pixel& a, const Pixel& b) { return a.rgb[channel] < b.rgb[channel]; });
    size_t middle = (box.begin + box.end) / 2;
    boxes[widest] = {box.begin, middle};
    boxes.push_back({middle, box.end});
  }
  std::vector<Pixel> palette;
  for (const Box& box : boxes) {
    double sum[3] = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
      for (int ch = 0; ch < 3; ++ch) sum[ch] += pixels[i].rgb[ch];
    }
    Pixel p;
    for (int ch = 0; ch < 3; ++ch) p.rgb[ch] = uint8_t(lround(sum[ch] / double(box.end - box.begin)));
    palette.push_back(p);
  }
  while (int(palette.size()) < count) palette.push_back({{0, 0, 0}});
  return palette;
}

int Nearest(const std::vector<Pixel>& palette, const Pixel& p) {
  int best = 0;
  long bestDistance = 1L << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    long d = 0;
    for (int ch = 0; ch < 3; ++ch) {
      long diff = long(palette[i].rgb[ch]) - long(p.rgb[ch]);
      d += diff * diff;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = int(i);
    }
  }
  return best;
}

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* out = fopen(path, "wb");
  bool ok = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out && fclose(out) != 0) ok = false;
  if (!ok) {
    fprintf(stderr, "side-picture: cannot write %s\n", path);
    if (out) remove(path);
  }
  return ok;
}

// The globe and the glass alone, square, on a transparent ground: one 32-bit image of an
// icon file (its header, the colours with alpha, the mask), `size` pixels wide and high.
std::vector<uint8_t> IconImage(int size) {
  const double side = 166, left = 65.5 - side / 2, top = 125.5 - side / 2;
  const int samples = 8;
  const size_t maskStride = size_t((size + 31) / 32) * 4;
  std::vector<uint8_t> image(40 + size_t(size) * size * 4 + maskStride * size, 0);
  Put32(image, 0, 40);
  Put32(image, 4, uint32_t(size));
  Put32(image, 8, uint32_t(2 * size));  // the colours and the mask
  Put16(image, 12, 1);
  Put16(image, 14, 32);
  Put32(image, 20, uint32_t(image.size() - 40));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          Layer layer = Objects(left + (x + (sx + 0.5) / samples) * side / size,
                                top + (y + (sy + 0.5) / samples) * side / size);
          r += layer.c.r * layer.a;
          g += layer.c.g * layer.a;
          b += layer.c.b * layer.a;
          a += layer.a;
        }
      }
      uint8_t* pixel = &image[40 + (size_t(size - 1 - y) * size + x) * 4];
      if (a > 0) {
        pixel[0] = uint8_t(lround(b / a));
        pixel[1] = uint8_t(lround(g / a));
        pixel[2] = uint8_t(lround(r / a));
      }
      pixel[3] = uint8_t(lround(255 * a / (samples * samples)));
      if (pixel[3] < 128) {  // transparent where a mask is all that counts
        image[40 + size_t(size) * size * 4 + size_t(size - 1 - y) * maskStride + x / 8] |=
            uint8_t(0x80 >> (x % 8));
      }
    }
  }
  return image;
}

std::vector<uint8_t> Icon() {
  const int sizes[] = {32, 16};
  const size_t count = sizeof sizes / sizeof sizes[0];
  std::vector<uint8_t> file(6 + 16 * count, 0);
  Put16(file, 2, 1);  // an icon
  Put16(file, 4, uint32_t(count));
  for (size_t i = 0; i < count; ++i) {
    std::vector<uint8_t> image = IconImage(sizes[i]);
    size_t entry = 6 + 16 * i;
    file[entry] = uint8_t(sizes[i]);
    file[entry + 1] = uint8_t(sizes[i]);
    Put16(file, entry + 4, 1);
    Put16(file, entry + 6, 32);
    Put32(file, entry + 8, uint32_t(image.size()));
    Put32(file, entry + 12, uint32_t(file.size()));
    file.insert(file.end(), image.begin(), image.end());
  }
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    fprintf(stderr, "usage: side-picture <picture.bmp> [<icon.ico>]\n");
    return 2;
  }
  std::vector<Pixel> pixels;  // top-down
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      double r = 0, g = 0, b = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Colour c = Sample(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
          r += c.r;
          g += c.g;
          b += c.b;
        }
      }
      double n = kSamples * kSamples;
      pixels.push_back({{uint8_t(lround(r / n)), uint8_t(lround(g / n)), uint8_t(lround(b / n))}});
    }
  }
  std::vector<Pixel> palette = Palette(pixels, kColours);

  const size_t kHeaders = 14 + 40, kTable = 4 * kColours, stride = (kWidth + 3) & ~3;
  std::vector<uint8_t> file(kHeaders + kTable + stride * kHeight, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, uint32_t(file.size()));
  Put32(file, 10, uint32_t(kHeaders + kTable));
  Put32(file, 14, 40);
  Put32(file, 18, kWidth);
  Put32(file, 22, kHeight);  // positive: rows bottom-up
  Put16(file, 26, 1);
  Put16(file, 28, 8);
  Put32(file, 34, uint32_t(stride * kHeight));
  Put32(file, 38, 2835);  // 72 dots per inch
  Put32(file, 42, 2835);
  Put32(file, 46, kColours);
  Put32(file, 50, kColours);
  for (int i = 0; i < kColours; ++i) {
    file[kHeaders + 4 * i] = palette[i].rgb[2];
    file[kHeaders + 4 * i + 1] = palette[i].rgb[1];
    file[kHeaders + 4 * i + 2] = palette[i].rgb[0];
  }
  // Each pixel takes the nearest entry; what that misses is carried to the neighbours
  // still to come (Floyd-Steinberg), so that gradients show no bands.
  std::vector<double> error(size_t(kWidth + 2) * 2 * 3, 0.0);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = &file[kHeaders + kTable + stride * size_t(kHeight - 1 - y)];
    double* here = &error[size_t(y % 2) * (kWidth + 2) * 3];
    double* below = &error[size_t((y + 1) % 2) * (kWidth + 2) * 3];
    std::fill(below, below + (kWidth + 2) * 3, 0.0);
    for (int x = 0; x < kWidth; ++x) {
      Pixel wanted;
      double value[3];
      for (int ch = 0; ch < 3; ++ch) {
        value[ch] = pixels[size_t(y) * kWidth + x].rgb[ch] + here[(x + 1) * 3 + ch];
        wanted.rgb[ch] = uint8_t(value[ch] < 0 ? 0 : value[ch] > 255 ? 255 : lround(value[ch]));
      }
      int index = Nearest(palette, wanted);
      row[x] = uint8_t(index);
      for (int ch = 0; ch < 3; ++ch) {
        double miss = value[ch] - palette[index].rgb[ch];
        here[(x + 2) * 3 + ch] += miss * 7 / 16;
        below[x * 3 + ch] += miss * 3 / 16;
        below[(x + 1) * 3 + ch] += miss * 5 / 16;
        below[(x + 2) * 3 + ch] += miss * 1 / 16;
      }
    }
  }

  if (!WriteFile(argv[1], file)) return 1;
  if (argc == 3 && !WriteFile(argv[2], Icon())) return 1;
  return 0;
}
