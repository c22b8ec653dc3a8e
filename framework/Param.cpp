// Parameter shapes, the snap-then-clamp rule and locale-independent display text.
#include "Param.h"

#include <strings.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace vfw {

void Param::initCommon(ParamType kind, const char* nameText, double defaultVal, double minVal, double maxVal,
                       double stepSize, const char* labelText, const char* groupText, ParamShape shapeWanted) {
  type = kind;
  name = nameText ? nameText : "";
  label = labelText ? labelText : "";
  group = groupText ? groupText : "";
  min = std::min(minVal, maxVal);
  max = std::max(minVal, maxVal);
  step = stepSize > 0.0 ? stepSize : 0.001;
  // An exponential shape needs a range strictly above zero.
  shape = (shapeWanted == ParamShape::Exp && min > 0.0) ? ParamShape::Exp : ParamShape::Linear;
  defaultValue = Constrain(defaultVal);
  value.store(defaultValue, std::memory_order_relaxed);
}

void Param::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                       const char* label, const char* group, ParamShape shape) {
  initCommon(ParamType::Double, name, defaultVal, minVal, maxVal, step, label, group, shape);
}

void Param::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, const char* group) {
  initCommon(ParamType::Int, name, defaultVal, minVal, maxVal, 1.0, label, group, ParamShape::Linear);
}

void Param::InitEnum(const char* name, int defaultVal, std::initializer_list<const char*> texts, const char* group) {
  items.assign(texts.begin(), texts.end());
  const int last = std::max(0, static_cast<int>(items.size()) - 1);
  initCommon(ParamType::Enum, name, defaultVal, 0, last, 1.0, "", group, ParamShape::Linear);
}

void Param::InitBool(const char* name, bool defaultVal, const char* group) {
  items = {"off", "on"};
  initCommon(ParamType::Bool, name, defaultVal ? 1 : 0, 0, 1, 1.0, "", group, ParamShape::Linear);
}

double Param::Constrain(double v) const {
  if (Stepped()) v = std::round(v / step) * step;  // std::round takes halves away from zero
  return std::clamp(v, min, max);
}

void Param::Set(double v) {
  if (!std::isfinite(v)) return;
  value.store(Constrain(v), std::memory_order_relaxed);
}

double Param::ToNormalized(double v) const {
  if (!std::isfinite(v) || max <= min) return 0.0;
  v = std::clamp(v, min, max);
  if (shape == ParamShape::Exp) return std::log(v / min) / std::log(max / min);
  return (v - min) / (max - min);
}

double Param::FromNormalized(double n) const {
  if (!std::isfinite(n)) n = 0.0;
  n = std::clamp(n, 0.0, 1.0);
  const double v = shape == ParamShape::Exp ? min * std::pow(max / min, n) : min + n * (max - min);
  return Constrain(v);
}

const char* Param::GetDisplayText(int i) const {
  if (i < 0 || i >= NDisplayTexts()) return "";
  return items[static_cast<size_t>(i)].c_str();
}

int Param::DisplayPrecision() const {
  if (Stepped()) return 0;
  int decimals = 0;
  for (double s = step; decimals < 6 && std::fabs(s - std::round(s)) > 1e-9; s *= 10.0) ++decimals;
  return decimals;
}

void Param::GetDisplay(double v, char* out, size_t size, bool withLabel) const {
  if (!out || size == 0) return;
  out[0] = '\0';
  std::string text;
  // Show what would be stored: snapped and clamped exactly as Set would.
  const double stored = std::isfinite(v) ? Constrain(v) : Value();
  if (type == ParamType::Enum || type == ParamType::Bool) {
    text = GetDisplayText(static_cast<int>(stored));
  } else {
    char buf[64];
    const int precision = DisplayPrecision();
    double shown = stored;
    // A value that rounds to zero is shown without a minus sign.
    if (std::fabs(shown) < 0.5 * std::pow(10.0, -precision)) shown = 0.0;
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, shown, std::chars_format::fixed, precision);
    *res.ptr = '\0';
    text = buf;
    if (withLabel && !label.empty()) text += " " + label;
  }
  std::strncpy(out, text.c_str(), size - 1);
  out[size - 1] = '\0';
}

bool Param::TextToValue(const char* text, double& out) const {
  if (!text) return false;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const char* begin = text;
  const char* end = text + std::strlen(text);
  while (begin < end && blank(*begin)) ++begin;
  while (end > begin && blank(end[-1])) --end;
  const std::string trimmed(begin, end);
  for (int i = 0; i < NDisplayTexts(); ++i) {
    if (strcasecmp(trimmed.c_str(), GetDisplayText(i)) == 0) {
      out = i;
      return true;
    }
  }
  // A number, then optionally blanks and this parameter's own unit label; nothing else.
  const char* p = begin;
  if (p < end && *p == '+' && p + 1 < end && p[1] != '-') ++p;
  double v = 0.0;
  const auto res = std::from_chars(p, end, v);
  if (res.ec != std::errc() || res.ptr == p || !std::isfinite(v)) return false;
  const char* rest = res.ptr;
  while (rest < end && blank(*rest)) ++rest;
  if (rest < end) {
    const size_t n = static_cast<size_t>(end - rest);
    if (label.empty() || n != label.size() || strncasecmp(rest, label.c_str(), n) != 0) return false;
  }
  out = Constrain(v);
  return true;
}

}  // namespace vfw
