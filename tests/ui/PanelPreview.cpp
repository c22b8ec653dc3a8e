// Renders a busy panel on the software canvas into a PPM image, for looking at the layout without a window.
// Usage: panel_preview out.ppm [regular.ttf bold.ttf mono.ttf] [menu: preset|memory|body|welcome|step]
#include "BuildState.h"
#include "DrawPanel.h"
#include "FakeShell.h"
#include "SoftCanvas.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  vtest::SoftCanvas canvas(960, 660);
  vrui::PanelFonts fonts;
  if (argc >= 5) {
    fonts.medium = nvgCreateFont(canvas.vg(), "fira", argv[2]);
    fonts.semibold = nvgCreateFont(canvas.vg(), "fira-b", argv[3]);
    fonts.mono = nvgCreateFont(canvas.vg(), "fira-m", argv[4]);
  }
  const std::string menu = argc >= 6 ? argv[5] : "";
  vtest::FakeShell shell;
  shell.value[kImprint] = 62.0;
  shell.value[kSympathy] = 30.0;
  shell.value[kInharm] = 80.0;
  shell.value[kForget] = 7.0;
  shell.hi[kForget] = 90.0;
  shell.memory.lastUpdate = shell.now - 7200;
  std::strcpy(shell.memory.name.text, "Night practice");
  shell.memory.yours.yoursSeconds = 754.0;
  const uint32_t hour = static_cast<uint32_t>(shell.now / 3600);
  for (int r = 0; r < 12; r += 2) {
    shell.memory.cart.ink[r][7] = 2.0f + r;
    shell.memory.cart.touchedHour[r][7] = hour - static_cast<uint32_t>(r * 20);
    shell.memory.cart.ink[r][4] = 1.0f;
    shell.memory.cart.touchedHour[r][4] = hour - 200;
  }
  shell.memory.cart.ink[0][0] = 3.0f;
  for (int m = 0; m < 40; m += 3) shell.memory.modeWeights[m] = 1.0;
  shell.live[2] = shell.slotReadable[2] = true;
  shell.slots[0] = {3, 120, 0, "Lead synth"};
  shell.slots[2] = {5, 40, 0, {}};
  shell.notes = 4;
  shell.recalls = 0;
  shell.lastPc = 12;
  shell.shared.presetName = "Glass";
  shell.shared.presetEdited = true;
  shell.shared.trackName = "Strings";
  shell.shared.hostTrackName = "Audio 3";
  shell.shared.snapshot.present = 1;
  shell.shared.snapshot.sealedAt = shell.now - 86400 * 3;
  shell.shared.snapshot.cart.ink[2][7] = 6.0f;
  for (int i = 0; i < 25; ++i) shell.shared.memoryNames.push_back("Backup " + std::to_string(i));
  shell.shared.userPresetNames = {"My bell", "Dark pad"};
  vrui::PanelView view;
  view.selectedPc = 7;
  view.heldKey = 64;
  view.keyPressure = 0.7f;
  view.keyEnergy = 1.0f;
  view.presetMenuOpen = menu == "preset";
  view.presetCat = 9;
  view.memMenuOpen = menu == "memory";
  view.bodyMenuOpen = menu == "body";
  shell.tourMarker = menu != "welcome" && menu != "step";
  vrui::PanelState s;
  vrui::HitMap hits;
  for (int pass = 0; pass < 2; ++pass) {  // the second frame's tour card finds its target in the first frame's map
    if (menu == "step") view.tourStep = 4;
    s = vrui::PanelState{};
    vrui::buildState(shell, view, s);
    canvas.begin();
    vrui::drawPanel(canvas.vg(), fonts, s, &hits);
    canvas.end();
  }
  FILE* f = std::fopen(argv[1], "wb");
  if (!f) return 1;
  std::fprintf(f, "P6\n960 660\n255\n");
  for (int y = 0; y < 660; ++y) {
    for (int x = 0; x < 960; ++x) {
      vtest::Pixel p = canvas.at(x, y);
      unsigned char rgb[3] = {static_cast<unsigned char>(p.r), static_cast<unsigned char>(p.g),
                              static_cast<unsigned char>(p.b)};
      std::fwrite(rgb, 1, 3, f);
    }
  }
  std::fclose(f);
  return 0;
}
