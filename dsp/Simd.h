// Four-lane double vectors (GCC vector extensions) and exp, tanh and small-angle tan on them, accurate to 1e-9.
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
[[gnu::always_inline]] inline v4d vsqrt(v4d a) {
  return v4d{__builtin_sqrt(a[0]), __builtin_sqrt(a[1]), __builtin_sqrt(a[2]), __builtin_sqrt(a[3])};
}
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

// exp(r) - 1 for |r| <= ln2 / 2 by its Taylor series to r^8, in Estrin's scheme for a short dependency chain.
// The first omitted term bounds the relative error: (ln2 / 2)^8 / 9! < 6e-10, far below what audio needs.
[[gnu::always_inline]] inline v4d vexpm1Reduced(v4d r) {
  const v4d r2 = r * r;
  const v4d r4 = r2 * r2;
  const v4d p01 = r * 0.5 + 1.0;                       // 1 + r/2
  const v4d p23 = r * (1.0 / 24.0) + 1.0 / 6.0;        // 1/3! + r/4!
  const v4d p45 = r * (1.0 / 720.0) + 1.0 / 120.0;     // 1/5! + r/6!
  const v4d p67 = r * (1.0 / 40320.0) + 1.0 / 5040.0;  // 1/7! + r/8!
  const v4d lo = p23 * r2 + p01;
  const v4d hi = p67 * r2 + p45;
  return (hi * r4 + lo) * r;
}

// Splits x = n ln2 + r with |r| <= ln2 / 2; x must lie within about +-708.
[[gnu::always_inline]] inline v4d vreduce(v4d x, v4d& n) {
  constexpr double kLn2Hi = 0.6931471803691238;  // ln 2 in 32 bits, exact when multiplied by n
  constexpr double kLn2Lo = 1.9082149292705877e-10;
  constexpr double kLog2e = 1.4426950408889634;
  n = vround(x * kLog2e);
  return (x - n * kLn2Hi) - n * kLn2Lo;
}

// exp with relative error below 1e-9.
[[gnu::always_inline]] inline v4d vexp(v4d x) {
  x = vmax(vmin(x, splat(709.0)), splat(-708.0));
  v4d n;
  const v4d r = vreduce(x, n);
  return (vexpm1Reduced(r) + 1.0) * vpow2i(n);
}

// tanh through expm1, so small arguments keep their relative precision: relative error below 1e-9.
[[gnu::always_inline]] inline v4d vtanh(v4d x) {
  const v4d ax = vmin(vabs(x), splat(20.0));  // tanh(20) is 1 in double precision
  v4d n;
  const v4d r = vreduce(ax + ax, n);
  const v4d scale = vpow2i(n);
  const v4d em = vexpm1Reduced(r) * scale + (scale - 1.0);
  const v4d t = em / (em + 2.0);
  return x < 0.0 ? -t : t;
}

// tan(x) for 0 <= x <= 0.75 by the sine series to x^11 and the cosine series to x^12: relative error below 1e-11.
[[gnu::always_inline]] inline v4d vtanSmall(v4d x) {
  const v4d x2 = x * x;
  v4d s = splat(-1.0 / 39916800.0);  // -1/11!
  s = s * x2 + 1.0 / 362880.0;
  s = s * x2 - 1.0 / 5040.0;
  s = s * x2 + 1.0 / 120.0;
  s = s * x2 - 1.0 / 6.0;
  s = s * x2 + 1.0;
  s = s * x;
  v4d c = splat(1.0 / 479001600.0);  // 1/12!
  c = c * x2 - 1.0 / 3628800.0;
  c = c * x2 + 1.0 / 40320.0;
  c = c * x2 - 1.0 / 720.0;
  c = c * x2 + 1.0 / 24.0;
  c = c * x2 - 0.5;
  c = c * x2 + 1.0;
  return s / c;
}

// Natural logarithm of x in [2^-1022, 1]: x = 2^e m with m in [sqrt(1/2), sqrt(2)), ln m = 2 atanh(f) with
// f = (m - 1) / (m + 1), |f| <= 0.172, by its series to f^13: relative error below 1e-12.
[[gnu::always_inline]] inline v4d vlog(v4d x) {
  v4i bits;
  std::memcpy(&bits, &x, sizeof bits);
  v4i e = ((bits >> 52) & 0x7FF) - 1023;
  const v4i mbits = (bits & 0x000FFFFFFFFFFFFFll) | 0x3FF0000000000000ll;
  v4d m;
  std::memcpy(&m, &mbits, sizeof m);
  const v4i big = m > 1.4142135623730951;
  m = big ? m * 0.5 : m;
  e = e - big;  // big is -1 where true
  const v4d f = (m - 1.0) / (m + 1.0);
  const v4d f2 = f * f;
  v4d p = splat(1.0 / 13.0);
  p = p * f2 + 1.0 / 11.0;
  p = p * f2 + 1.0 / 9.0;
  p = p * f2 + 1.0 / 7.0;
  p = p * f2 + 1.0 / 5.0;
  p = p * f2 + 1.0 / 3.0;
  p = p * f2 + 1.0;
  return __builtin_convertvector(e, v4d) * 0.6931471805599453 + 2.0 * f * p;
}

// cos and sin of 2 pi u for u in [0, 1): a quarter-turn reduction done exactly in turns, then the series of the
// remaining angle (at most pi / 4) to its 13th and 14th powers: absolute error below 1e-13.
[[gnu::always_inline]] inline void vsincosTurns(v4d u, v4d& c, v4d& s) {
  const v4d q = vround(u * 4.0);
  const v4d a = (u - q * 0.25) * 6.283185307179586;
  const v4d a2 = a * a;
  v4d sp = splat(1.0 / 6227020800.0);  // 1/13!
  sp = sp * a2 - 1.0 / 39916800.0;
  sp = sp * a2 + 1.0 / 362880.0;
  sp = sp * a2 - 1.0 / 5040.0;
  sp = sp * a2 + 1.0 / 120.0;
  sp = sp * a2 - 1.0 / 6.0;
  sp = sp * a2 + 1.0;
  const v4d sa = sp * a;
  v4d cp = splat(-1.0 / 87178291200.0);  // -1/14!
  cp = cp * a2 + 1.0 / 479001600.0;
  cp = cp * a2 - 1.0 / 3628800.0;
  cp = cp * a2 + 1.0 / 40320.0;
  cp = cp * a2 - 1.0 / 720.0;
  cp = cp * a2 + 1.0 / 24.0;
  cp = cp * a2 - 0.5;
  const v4d ca = cp * a2 + 1.0;
  // Quarter turns 0..4 (4 is a whole turn): rotate (cos, sin) by q x 90 degrees.
  const v4i k = __builtin_convertvector(q, v4i) & 3;
  c = k == 0 ? ca : (k == 1 ? -sa : (k == 2 ? -ca : sa));
  s = k == 0 ? sa : (k == 1 ? ca : (k == 2 ? -sa : -ca));
}

}  // namespace vorrel::dsp
