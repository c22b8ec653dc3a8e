// Four-lane double vectors (GCC vector extensions) and accurate exp, tanh and small-angle tan on them.
#pragma once

#include <cstdint>
#include <cstring>

namespace vorrel::dsp {

using v4d = double __attribute__((vector_size(32)));
using v4i = int64_t __attribute__((vector_size(32)));

[[gnu::always_inline]] inline v4d splat(double x) { return v4d{x, x, x, x}; }
[[gnu::always_inline]] inline v4d vselect(v4i mask, v4d a, v4d b) { return mask ? a : b; }
[[gnu::always_inline]] inline v4d vmin(v4d a, v4d b) { return a < b ? a : b; }
[[gnu::always_inline]] inline v4d vmax(v4d a, v4d b) { return a > b ? a : b; }
[[gnu::always_inline]] inline v4d vabs(v4d a) { return a < 0.0 ? -a : a; }
[[gnu::always_inline]] inline double hsum(v4d a) { return (a[0] + a[1]) + (a[2] + a[3]); }

// Rounds to the nearest integer (ties to even) for |x| < 2^51.
[[gnu::always_inline]] inline v4d vround(v4d x) {
  const v4d magic = splat(6755399441055744.0);  // 1.5 * 2^52
  return (x + magic) - magic;
}

// 2^n for whole-number n in -1022..1023, built from the exponent bits.
[[gnu::always_inline]] inline v4d vpow2i(v4d n) {
  const v4i bits = (__builtin_convertvector(n, v4i) + 1023) << 52;
  v4d out;
  std::memcpy(&out, &bits, sizeof out);
  return out;
}

// exp(r) - 1 for |r| <= ln2 / 2 by Taylor series to r^14: error below 1e-17.
[[gnu::always_inline]] inline v4d vexpm1Reduced(v4d r) {
  v4d p = splat(1.0 / 87178291200.0);  // 1/14!
  p = p * r + 1.0 / 6227020800.0;
  p = p * r + 1.0 / 479001600.0;
  p = p * r + 1.0 / 39916800.0;
  p = p * r + 1.0 / 3628800.0;
  p = p * r + 1.0 / 362880.0;
  p = p * r + 1.0 / 40320.0;
  p = p * r + 1.0 / 5040.0;
  p = p * r + 1.0 / 720.0;
  p = p * r + 1.0 / 120.0;
  p = p * r + 1.0 / 24.0;
  p = p * r + 1.0 / 6.0;
  p = p * r + 0.5;
  p = p * r + 1.0;
  return p * r;
}

// Splits x = n ln2 + r with |r| <= ln2 / 2; x must lie within about +-708.
[[gnu::always_inline]] inline v4d vreduce(v4d x, v4d& n) {
  constexpr double kLn2Hi = 0.6931471803691238;  // ln 2 in 32 bits, exact when multiplied by n
  constexpr double kLn2Lo = 1.9082149292705877e-10;
  constexpr double kLog2e = 1.4426950408889634;
  n = vround(x * kLog2e);
  return (x - n * kLn2Hi) - n * kLn2Lo;
}

[[gnu::always_inline]] inline v4d vexp(v4d x) {
  x = vmax(vmin(x, splat(709.0)), splat(-708.0));
  v4d n;
  const v4d r = vreduce(x, n);
  return (vexpm1Reduced(r) + 1.0) * vpow2i(n);
}

// tanh through expm1, so small arguments keep their full relative precision.
[[gnu::always_inline]] inline v4d vtanh(v4d x) {
  const v4d ax = vmin(vabs(x), splat(20.0));  // tanh(20) is 1 in double precision
  v4d n;
  const v4d r = vreduce(ax + ax, n);
  const v4d scale = vpow2i(n);
  const v4d em = vexpm1Reduced(r) * scale + (scale - 1.0);
  const v4d t = em / (em + 2.0);
  return x < 0.0 ? -t : t;
}

// tan(x) for 0 <= x <= 0.75 by the sine and cosine series: error below 1e-17.
[[gnu::always_inline]] inline v4d vtanSmall(v4d x) {
  const v4d x2 = x * x;
  v4d s = splat(1.0 / 355687428096000.0);  // 1/17!
  s = s * x2 - 1.0 / 1307674368000.0;
  s = s * x2 + 1.0 / 6227020800.0;
  s = s * x2 - 1.0 / 39916800.0;
  s = s * x2 + 1.0 / 362880.0;
  s = s * x2 - 1.0 / 5040.0;
  s = s * x2 + 1.0 / 120.0;
  s = s * x2 - 1.0 / 6.0;
  s = s * x2 + 1.0;
  s = s * x;
  v4d c = splat(1.0 / 6402373705728000.0);  // 1/18!
  c = c * x2 - 1.0 / 20922789888000.0;
  c = c * x2 + 1.0 / 87178291200.0;
  c = c * x2 - 1.0 / 479001600.0;
  c = c * x2 + 1.0 / 3628800.0;
  c = c * x2 - 1.0 / 40320.0;
  c = c * x2 + 1.0 / 720.0;
  c = c * x2 - 1.0 / 24.0;
  c = c * x2 + 0.5;
  c = c * x2 - 1.0;
  return s / -c;
}

}  // namespace vorrel::dsp
