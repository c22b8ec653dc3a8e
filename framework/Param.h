// One host parameter: kind, range, shape, step, display texts, and its value as an atomic double.
#pragma once

#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace vfw {

enum class ParamType { None, Double, Int, Enum, Bool };
enum class ParamShape { Linear, Exp };

class Param {
 public:
  Param() = default;
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;

  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", ParamShape shape = ParamShape::Linear);
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitEnum(const char* name, int defaultVal, std::initializer_list<const char*> items, const char* group = "");
  void InitBool(const char* name, bool defaultVal, const char* group = "");

  // Written by any thread, read by the audio thread; relaxed is enough for a lone double.
  double Value() const { return value.load(std::memory_order_relaxed); }
  int Int() const { return static_cast<int>(Value()); }
  bool Bool() const { return Value() >= 0.5; }

  // Snap to the step (stepped kinds only, halves away from zero), then clamp, then store.
  // A non-finite value leaves the parameter as it was.
  void Set(double v);
  double Constrain(double v) const;
  void SetToDefault() { Set(defaultValue); }

  double ToNormalized(double v) const;
  double FromNormalized(double n) const;
  double GetNormalized() const { return ToNormalized(Value()); }
  void SetNormalized(double n) { Set(FromNormalized(n)); }

  // Locale-independent text: the value with the step's decimals, or the item text, then " " and the unit label.
  void GetDisplay(double v, char* out, size_t size, bool withLabel = true) const;
  bool TextToValue(const char* text, double& out) const;

  ParamType Type() const { return type; }
  ParamShape Shape() const { return shape; }
  bool Stepped() const { return type == ParamType::Int || type == ParamType::Enum || type == ParamType::Bool; }
  double GetMin() const { return min; }
  double GetMax() const { return max; }
  double GetDefault() const { return defaultValue; }
  double GetStep() const { return step; }
  const char* GetName() const { return name.c_str(); }
  const char* GetLabel() const { return label.c_str(); }
  const char* GetGroup() const { return group.c_str(); }
  int NDisplayTexts() const { return static_cast<int>(items.size()); }
  const char* GetDisplayText(int i) const;
  int DisplayPrecision() const;

 private:
  void initCommon(ParamType kind, const char* nameText, double defaultVal, double minVal, double maxVal,
                  double stepSize, const char* labelText, const char* groupText, ParamShape shapeWanted);

  ParamType type = ParamType::None;
  ParamShape shape = ParamShape::Linear;
  std::string name;
  std::string label;
  std::string group;
  std::vector<std::string> items;
  double min = 0.0;
  double max = 1.0;
  double defaultValue = 0.0;
  double step = 0.001;
  std::atomic<double> value{0.0};
};

}  // namespace vfw
