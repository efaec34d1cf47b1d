#include "character/frame_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace companion {

namespace {

constexpr int kWeightBits = 14;
// The horizontal pass keeps 7 fraction bits, so the vertical sum stays within 32 bits even with
// the cubic's negative lobes.
constexpr int kBetweenShift = 7;
constexpr int kFinalShift = 2 * kWeightBits - kBetweenShift;

double Cubic(double t) {
  constexpr double a = -0.5;
  t = std::fabs(t);
  if (t < 1.0) return ((a + 2.0) * t - (a + 3.0)) * t * t + 1.0;
  if (t < 2.0) return ((a * t - 5.0 * a) * t + 8.0 * a) * t - 4.0 * a;
  return 0.0;
}

// Destination pixel d's centre lies at (d + 0.5) / scale in the source, so its nearest source
// pixel centre is (d + 0.5) / scale - 0.5. Taps outside the frame read transparency.
ScaleTaps TapsFor(int32_t destinationSize, double scale) {
  const double stretch = std::max(1.0, 1.0 / scale);
  const double reach = 2.0 * stretch;
  ScaleTaps taps;
  // Taps lie strictly within reach of the centre: ceil(2 * reach) of them cover every one.
  taps.count = int32_t(std::ceil(2.0 * reach));
  std::vector<double> weights(size_t(taps.count));
  for (int32_t d = 0; d < destinationSize; ++d) {
    const double centre = (d + 0.5) / scale - 0.5;
    const int32_t first = int32_t(std::floor(centre - reach)) + 1;
    double total = 0.0;
    for (int32_t k = 0; k < taps.count; ++k) {
      weights[size_t(k)] = Cubic((first + k - centre) / stretch);
      total += weights[size_t(k)];
    }
    taps.first.push_back(first);
    for (const double weight : weights)
      taps.weights.push_back(int16_t(std::lround(weight / total * (1 << kWeightBits))));
  }
  return taps;
}

// The destination pixels whose taps reach the source range [from, to).
void ReachedRange(const ScaleTaps& taps, int32_t from, int32_t to, int32_t& begin, int32_t& end) {
  const int32_t size = int32_t(taps.first.size());
  begin = 0;
  while (begin < size && taps.first[size_t(begin)] + taps.count <= from)
    ++begin;
  end = begin;
  while (end < size && taps.first[size_t(end)] < to)
    ++end;
}

uint8_t Channel(int64_t sum) {
  const int64_t rounded = (sum + (int64_t(1) << (kFinalShift - 1))) >> kFinalShift;
  return uint8_t(std::clamp<int64_t>(rounded, 0, 255));
}

}  // namespace

void ScaleFrame(FrameScaler& scaler, const CroppedFrame& frame, float scale, uint8_t* surface,
                int32_t surfaceWidth, int32_t surfaceHeight) {
  if (frame.width <= 0 || frame.height <= 0) return;
  if (scaler.scale != scale || scaler.surfaceWidth != surfaceWidth ||
      scaler.surfaceHeight != surfaceHeight) {
    scaler.scale = scale;
    scaler.surfaceWidth = surfaceWidth;
    scaler.surfaceHeight = surfaceHeight;
    scaler.columns = TapsFor(surfaceWidth, scale);
    scaler.rows = TapsFor(surfaceHeight, scale);
  }
  const ScaleTaps& columns = scaler.columns;
  const ScaleTaps& rows = scaler.rows;
  int32_t left, right, top, bottom;
  ReachedRange(columns, frame.x, frame.x + frame.width, left, right);
  ReachedRange(rows, frame.y, frame.y + frame.height, top, bottom);
  const int32_t span = right - left;
  if (span <= 0 || bottom <= top) return;

  // Horizontal pass. Each row of the frame's rectangle sits between margins of transparency as
  // wide as the taps, so every tap of a reached column reads inside the padded row.
  const int32_t margin = columns.count;
  const size_t rowBytes = size_t(frame.width) * 4;
  scaler.padded.assign(rowBytes + size_t(margin) * 8, 0);
  const size_t betweenRow = size_t(span) * 4;
  const int32_t rowMargin = rows.count;
  scaler.between.resize(betweenRow * size_t(frame.height + 2 * rowMargin));
  const size_t marginValues = betweenRow * size_t(rowMargin);
  std::fill_n(scaler.between.begin(), marginValues, 0);
  std::fill_n(scaler.between.end() - std::ptrdiff_t(marginValues), marginValues, 0);
  for (int32_t y = 0; y < frame.height; ++y) {
    std::memcpy(scaler.padded.data() + size_t(margin) * 4, frame.pixels + size_t(y) * rowBytes,
                rowBytes);
    int32_t* out = scaler.between.data() + size_t(y + rowMargin) * betweenRow;
    for (int32_t d = left; d < right; ++d, out += 4) {
      const uint8_t* pixel =
          scaler.padded.data() + size_t(columns.first[size_t(d)] - frame.x + margin) * 4;
      const int16_t* weight = columns.weights.data() + size_t(d) * size_t(columns.count);
      int32_t b = 0, g = 0, r = 0, a = 0;
      for (int32_t k = 0; k < columns.count; ++k, pixel += 4) {
        b += weight[k] * pixel[0];
        g += weight[k] * pixel[1];
        r += weight[k] * pixel[2];
        a += weight[k] * pixel[3];
      }
      out[0] = b >> kBetweenShift;
      out[1] = g >> kBetweenShift;
      out[2] = r >> kBetweenShift;
      out[3] = a >> kBetweenShift;
    }
  }

  // Vertical pass: each destination row sums the rows of the horizontal pass its taps reach.
  scaler.sums.resize(betweenRow);
  for (int32_t d = top; d < bottom; ++d) {
    std::fill(scaler.sums.begin(), scaler.sums.end(), 0);
    const int16_t* weight = rows.weights.data() + size_t(d) * size_t(rows.count);
    const int32_t* row =
        scaler.between.data() + size_t(rows.first[size_t(d)] - frame.y + rowMargin) * betweenRow;
    for (int32_t k = 0; k < rows.count; ++k, row += betweenRow) {
      const int32_t w = weight[k];
      for (size_t i = 0; i < betweenRow; ++i)
        scaler.sums[i] += w * row[i];
    }
    uint8_t* out = surface + (size_t(d) * size_t(surfaceWidth) + size_t(left)) * 4;
    for (size_t i = 0; i < betweenRow; i += 4, out += 4) {
      const uint8_t alpha = Channel(scaler.sums[i + 3]);
      // Premultiplied colour never exceeds its alpha; the cubic's overshoot could make it.
      out[0] = std::min(Channel(scaler.sums[i]), alpha);
      out[1] = std::min(Channel(scaler.sums[i + 1]), alpha);
      out[2] = std::min(Channel(scaler.sums[i + 2]), alpha);
      out[3] = alpha;
    }
  }
}

}  // namespace companion
