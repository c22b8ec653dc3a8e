// The gui and screenshot commands of vorrel-host.
#include "GuiCommands.h"

#include "EditorHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vhost {
namespace {

const char* firstPluginId(const Library& lib) {
  const clap_plugin_descriptor_t* d = lib.factory()->get_plugin_descriptor(lib.factory(), 0);
  return d ? d->id : nullptr;
}

bool parseSize(const char* text, int& w, int& h) {
  return text && std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 8192 && h <= 8192;
}

}  // namespace

int cmdGui(Library& lib, Host& host, int argc, char**) {
  if (argc != 0) return 2;
  Instance inst(lib, host, firstPluginId(lib));
  if (!inst.ok()) {
    std::fprintf(stderr, "cannot create the plug-in\n");
    return 1;
  }
  constexpr uint32_t kBlock = 512;
  constexpr double kRate = 48000.0;
  AudioBuffers out;
  std::vector<uint32_t> channels;
  if (inst.activate(kRate, 1, kBlock) && inst.startProcessing()) {
    for (const auto& port : inst.audioPorts(false)) channels.push_back(port.channels);
    out.configure(channels, kBlock, false);
  }
  EditorHost editor(inst);
  std::string error;
  if (!editor.open(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  InputEvents in;
  OutputEvents outEvents;
  // Blocks at the audio rate, their sound dropped: the panel's keyboard and meters need a running engine.
  const auto start = std::chrono::steady_clock::now();
  uint64_t blocks = 0;
  while (!editor.closedByUser()) {
    editor.pump(0.005);
    const double due = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * kRate / kBlock;
    while (inst.isActive() && static_cast<double>(blocks) < due) {
      outEvents.clear();
      inst.process(out, kBlock, in, outEvents);
      ++blocks;
    }
  }
  editor.close();
  return 0;
}

int cmdScreenshot(Library& lib, Host& host, int argc, char** argv) {
  std::string outPath;
  int w = 0;
  int h = 0;
  int frames = 60;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--out" && value) {
      outPath = value;
    } else if (a == "--size" && parseSize(value, w, h)) {
    } else if (a == "--frames" && value && std::atoi(value) > 0) {
      frames = std::atoi(value);
    } else {
      return 2;
    }
    ++i;
  }
  if (outPath.empty()) return 2;
  Instance inst(lib, host, firstPluginId(lib));
  if (!inst.ok()) {
    std::fprintf(stderr, "cannot create the plug-in\n");
    return 1;
  }
  EditorHost editor(inst);
  editor.followResizes = false;  // the picture has the size asked for
  std::string error;
  if (!editor.open(error, w, h)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // The first frame waits for the GL context; then N frames of 1/60 s.
  for (int i = 0; i < 500 && editor.editorWindows().empty(); ++i) editor.pump(0.01);
  editor.pump(frames / 60.0);
  Image image;
  const bool captured = editor.capture(image);
  editor.close();
  if (!captured) {
    std::fprintf(stderr, "cannot read the window back\n");
    return 1;
  }
  if (!writePng(outPath, image, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("wrote %s (%d x %d)\n", outPath.c_str(), image.width, image.height);
  return 0;
}

}  // namespace vhost
