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
  void InitEnum(const char* name, int defaultVal, std::initializer_list<const char*> items,
                const char* group = "");
  void InitBool(const char* name, bool defaultVal, const char* group = "");

  // Written by any thread, read by the audio thread; relaxed is enough for a lone double.
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  int Int() const { return static_cast<int>(Value()); }
  bool Bool() const { return Value() >= 0.5; }

  // Snap to the step (stepped kinds only, halves away from zero), then clamp, then store.
  // A non-finite value leaves the parameter as it was.
  void Set(double v);
  double Constrain(double v) const;
  void SetToDefault() { Set(mDefault); }

  double ToNormalized(double v) const;
  double FromNormalized(double n) const;
  double GetNormalized() const { return ToNormalized(Value()); }
  void SetNormalized(double n) { Set(FromNormalized(n)); }

  // Locale-independent text: the value with the step's decimals, or the item text, then " " and the unit label.
  void GetDisplay(double v, char* out, size_t size, bool withLabel = true) const;
  bool TextToValue(const char* text, double& out) const;

  ParamType Type() const { return mType; }
  ParamShape Shape() const { return mShape; }
  bool Stepped() const { return mType == ParamType::Int || mType == ParamType::Enum || mType == ParamType::Bool; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetDefault() const { return mDefault; }
  double GetStep() const { return mStep; }
  const char* GetName() const { return mName.c_str(); }
  const char* GetLabel() const { return mLabel.c_str(); }
  const char* GetGroup() const { return mGroup.c_str(); }
  int NDisplayTexts() const { return static_cast<int>(mItems.size()); }
  const char* GetDisplayText(int i) const;
  int DisplayPrecision() const;

 private:
  void initCommon(ParamType type, const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label, const char* group, ParamShape shape);

  ParamType mType = ParamType::None;
  ParamShape mShape = ParamShape::Linear;
  std::string mName;
  std::string mLabel;
  std::string mGroup;
  std::vector<std::string> mItems;
  double mMin = 0.0;
  double mMax = 1.0;
  double mDefault = 0.0;
  double mStep = 0.001;
  std::atomic<double> mValue{0.0};
};

}  // namespace vfw
