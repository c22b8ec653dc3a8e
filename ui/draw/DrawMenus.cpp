// The three menus, each over a backdrop that closes it: presets, memories and the body list.
#include "DrawRegions.h"

#include "Biographies.h"
#include "Bodies.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vrui {
namespace {

constexpr int kYours = kYoursCategory;

void row(const Frame& f, const Rect& r, bool on, bool hot) {
  if (on) {
    fillRound(f.vg, r, 3.0f, pal::rgb(35, 48, 57));
  } else if (hot) {
    fillRound(f.vg, r, 3.0f, pal::rgb(26, 33, 40));
  }
}

// Up and down arrows for a list that does not fit; index -1 scrolls up, +1 down.
void scrollArrows(const Frame& f, float x, float y, bool canUp, bool canDown) {
  for (int k = 0; k < 2; ++k) {
    Rect r{x + 20.0f * k, y, 18.0f, 18.0f};
    bool able = k == 0 ? canUp : canDown;
    strokeRound(f.vg, r, 3.0f, pal::outline());
    NVGcolor c = !able ? pal::faint() : f.hovered(Ctrl::MenuScroll, k == 0 ? -1 : 1) ? pal::ink() : pal::muted();
    nvgSave(f.vg);
    nvgTranslate(f.vg, r.x + 9.0f, r.y + 9.0f);
    if (k == 0) nvgRotate(f.vg, 3.14159265f);
    triangle(f.vg, 0.0f, 0.0f, 8.0f, 0, c);
    nvgRestore(f.vg);
    f.hits.add(Ctrl::MenuScroll, r, k == 0 ? -1 : 1);
  }
}

void presetMenu(const Frame& f) {
  const PanelState& s = f.s;
  const int cat = std::clamp(s.presetCat, 0, kYours);
  std::vector<int> factory;
  if (cat != kYours && s.factoryPresets) {
    for (int i = 0; i < s.factoryCount; ++i) {
      if (std::strcmp(s.factoryPresets[i].category, categoryName(cat)) == 0) factory.push_back(i);
    }
  }
  const int rows = cat == kYours ? static_cast<int>(s.userPresetNames.size()) : static_cast<int>(factory.size());
  const int visible = presetMenuVisibleRows(rows);
  const int first = clampScroll(s.presetScroll, rows, visible);
  const Rect c = presetMenuRect(kPresetBox.x, kPresetBox.bottom(), rows);
  card(f.vg, c);

  const char* state = s.presetName.empty() ? "No preset" : s.presetEdited ? "Edited" : "Saved";
  f.text(Type::knobZone, c.x + 12.0f, c.y + 14.0f, s.presetEdited ? pal::amber() : pal::faint(), state);
  const float listX = c.x + 130.0f;
  if (s.savingPreset) {
    nameField(f, Ctrl::NameField, {listX, c.y + 4.0f, 316.0f - 16.0f, 20.0f});
  } else {
    button(f, "Save as...", {c.right() - 10.0f - 78.0f, c.y + 5.0f, 78.0f, 18.0f}, Ctrl::PresetSaveAs, 1);
  }
  if (rows > visible) scrollArrows(f, c.right() - 10.0f - 78.0f - 46.0f, c.y + 5.0f, first > 0, first + visible < rows);

  const float top = c.y + 31.0f;
  for (int i = 0; i < 10; ++i) {
    Rect r{c.x + 8.0f, top + 21.0f * i, 116.0f, 19.0f};
    row(f, r, i == cat, i == s.catHover);
    f.text(Type::knobNote, r.x + 8.0f, r.y + 9.5f,
           i == cat          ? pal::teal()
           : i == s.catHover ? pal::ink()
                             : pal::muted(),
           categoryName(i));
    f.hits.add(Ctrl::PresetCategory, {r.x, r.y, 116.0f, 21.0f}, i);
  }

  nvgSave(f.vg);
  nvgIntersectScissor(f.vg, listX, top - 2.0f, 316.0f, c.bottom() - top);
  if (rows == 0) {
    f.text(Type::knobNote, listX + 8.0f, top + 10.0f, pal::faint(),
           cat == kYours ? "Nothing saved yet - \"Save as...\" puts it here" : "Nothing here");
  }
  for (int k = 0; k < visible; ++k) {
    const float y = top + kRowPitch * k;
    if (cat != kYours) {
      int n = factory[static_cast<size_t>(first + k)];
      bool current = s.presetName == s.factoryPresets[n].name;
      row(f, {listX, y, 316.0f, 20.0f}, current, n == s.presetRowHover);
      f.text(Type::knobNote, listX + 8.0f, y + 10.0f, current ? pal::teal() : pal::ink(), s.factoryPresets[n].name);
      char pc[16];
      std::snprintf(pc, sizeof pc, "PC %d", n);
      f.text(Type::railTick, listX + 308.0f, y + 10.0f, pal::faint(), pc, kRight);
      f.hits.add(Ctrl::PresetRow, {listX, y, 316.0f, 22.0f}, n);
      continue;
    }
    const int u = first + k;
    const std::string& name = s.userPresetNames[static_cast<size_t>(u)];
    if (s.editKind == 2 && s.renameIndex == u) {
      nameField(f, Ctrl::NameField, {listX, y, 200.0f, 20.0f});
    } else {
      bool current = s.presetName == name;
      row(f, {listX, y, 180.0f, 20.0f}, current, 85 + u == s.presetRowHover);
      f.text(Type::knobNote, listX + 8.0f, y + 10.0f, current ? pal::teal() : pal::ink(), name);
      f.hits.add(Ctrl::PresetRow, {listX, y, 180.0f, 22.0f}, 85 + u);
      button(f, "Rename", {listX + 184.0f, y + 1.0f, 66.0f, 18.0f}, Ctrl::PresetRename, 0, u);
    }
    button(f, s.presetDeleteArmed == u ? "Sure?" : "Delete", {listX + 250.0f, y + 1.0f, 66.0f, 18.0f},
           Ctrl::PresetDelete, 2, u);
  }
  nvgRestore(f.vg);
}

void memoryMenu(const Frame& f) {
  const PanelState& s = f.s;
  const int saved = static_cast<int>(s.memoryNames.size());
  const int visible = memoryMenuVisibleRows(saved);
  const int first = clampScroll(s.memScroll, saved, visible);
  const Rect c = memoryMenuRect(saved);
  card(f.vg, c);
  const float x = c.x + 5.0f;
  float y = c.y + 4.0f;
  f.text(Type::knobZone, x + 4.0f, y + 11.0f, pal::faint(),
         "SHIPPED MEMORIES - WHAT SOMEONE ELSE PLAYED, NOT A PRESET");
  y += kRowPitch;
  for (int i = 0; i < kShippedMemories; ++i, y += kRowPitch) {
    bool on = s.memName == vorrel::mem::kBiographies[static_cast<size_t>(i)].name;
    row(f, {x, y, 290.0f, 20.0f}, on, s.memRowHover == i);
    f.text(Type::knobNote, x + 8.0f, y + 10.0f, on ? pal::teal() : pal::ink(),
           vorrel::mem::kBiographies[static_cast<size_t>(i)].name);
    f.hits.add(Ctrl::MemoryRow, {x, y, 290.0f, 22.0f}, i);
  }
  f.text(Type::knobZone, x + 4.0f, y + 11.0f, pal::faint(), "YOUR MEMORIES");
  f.text(Type::railTick, x + 286.0f, y + 11.0f, pal::faint(), "~2 kB each", kRight);
  if (saved > visible) scrollArrows(f, x + 150.0f, y + 2.0f, first > 0, first + visible < saved);
  y += kRowPitch;
  if (saved == 0) {
    f.text(Type::knobNote, x + 8.0f, y + 10.0f, pal::faint(),
           "Nothing saved yet - and every load leaves a Backup here");
    y += kRowPitch;
  }
  for (int k = 0; k < visible; ++k, y += kRowPitch) {
    const int m = first + k;
    const std::string& name = s.memoryNames[static_cast<size_t>(m)];
    bool on = s.memName == name;
    row(f, {x, y, 222.0f, 20.0f}, on, s.memRowHover == 9 + m);
    nvgSave(f.vg);
    nvgIntersectScissor(f.vg, x, y, 218.0f, 20.0f);
    f.text(Type::knobNote, x + 8.0f, y + 10.0f, on ? pal::teal() : pal::ink(), name);
    nvgRestore(f.vg);
    f.hits.add(Ctrl::MemoryRow, {x, y, 222.0f, 22.0f}, 9 + m);
    button(f, s.memDeleteArmed == m ? "Sure?" : "Delete", {x + 224.0f, y + 1.0f, 66.0f, 18.0f}, Ctrl::MemoryDelete, 2,
           m);
  }
  y += 4.0f;
  if (s.savingMemory) {
    nameField(f, Ctrl::NameField, {x, y, 180.0f, 20.0f});
  } else {
    button(f, "Save memory as...", {x, y, 120.0f, 18.0f}, Ctrl::MemorySaveAs, 1);
  }
}

void bodyList(const Frame& f) {
  const PanelState& s = f.s;
  Columns low = lowerColumns(f);
  const Rect c = bodyListRect(low.x[0] + (low.w[0] - 342.0f) / 2.0f);
  card(f.vg, c);
  const Rect panel{c.x + 8.0f, c.y + 8.0f, 150.0f, 230.0f};
  fillRound(f.vg, panel, 4.0f, pal::rgb(18, 23, 28));
  const auto& table = vorrel::dsp::bodies();
  for (int i = 0; i < vorrel::dsp::kNumBodies; ++i) {
    Rect r{panel.x + 5.0f, panel.y + 5.0f + 20.0f * i, 140.0f, 20.0f};
    row(f, r, i == s.body, i == s.bodyHover);
    f.text(Type::charDesc, r.x + 8.0f, r.y + 10.0f, i == s.body ? pal::teal() : pal::ink(),
           table[static_cast<size_t>(i)].name);
    f.hits.add(Ctrl::BodyRow, r, i);
  }
}

}  // namespace

void drawMenus(const Frame& f) {
  const PanelState& s = f.s;
  if (!s.presetMenuOpen && !s.memMenuOpen && !s.bodyMenuOpen) return;
  f.hits.add(Ctrl::MenuBackdrop, {0.0f, 0.0f, 960.0f, 660.0f});
  if (s.presetMenuOpen) {
    presetMenu(f);
  } else if (s.memMenuOpen) {
    memoryMenu(f);
  } else {
    bodyList(f);
  }
}

}  // namespace vrui
