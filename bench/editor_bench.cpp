// The real editor through Vorrel.clap in our host's window on a private Xvfb with Mesa's software GL: frames drawn
// per second and the CPU of all the process's threads (editor, rasteriser, host) in each scene, the pointer driven
// by xdotool. Runs on a private /dev/shm and data directories, so it needs root. The editor thread runs at nice 10:
// on a machine busy with other work, run it under `chrt -f 1` to measure what the editor can do rather than what it
// is left.
#include "ClapHost.h"
#include "CpuModel.h"
#include "EditorHost.h"
#include "PacedAudio.h"
#include "PrivateMachine.h"
#include "PrivateXvfb.h"
#include "ThreadsNamed.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <malloc.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

// Every buffer swap of the process: the module binds to this definition (the bench exports it).
std::atomic<int> gSwaps{0};
extern "C" __attribute__((visibility("default"))) void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  using Swap = void (*)(Display*, GLXDrawable);
  static const auto real = [] {
    void* lib = dlopen("libGLX.so.0", RTLD_LAZY);
    return reinterpret_cast<Swap>(lib ? dlsym(lib, "glXSwapBuffers") : nullptr);
  }();
  gSwaps.fetch_add(1);
  if (real) real(display, drawable);
}

namespace {

// The bench's own machine, with the markers and memories its scenes need.
bool privateMachine() {
  const std::string dir = vbench::privateMachine();
  if (dir.empty()) return false;
  // The first-run and tour markers written, so no welcome card covers the panel.
  const std::string own = dir + "/config/OskelAudio/Vorrel";
  std::filesystem::create_directories(own);
  for (const char* marker : {"/first-run-done.txt", "/tour-done.txt"}) std::ofstream(own + marker) << "done\n";
  // 40 saved memories for the memory menu: the menu lists the library by file name.
  const std::string memories = dir + "/data/OskelAudio/Vorrel/memories";
  std::filesystem::create_directories(memories);
  for (int i = 1; i <= 40; ++i) std::ofstream(memories + "/Memory " + std::to_string(100 + i).substr(1) + ".bin");
  return true;
}

std::string glRenderer() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return "no display";
  int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
  XVisualInfo* vi = glXChooseVisual(d, DefaultScreen(d), attrs);
  std::string name = "unknown";
  if (vi) {
    GLXContext ctx = glXCreateContext(d, vi, nullptr, True);
    Pixmap pm = XCreatePixmap(d, DefaultRootWindow(d), 4, 4, static_cast<unsigned>(vi->depth));
    GLXPixmap gp = glXCreateGLXPixmap(d, vi, pm);
    if (ctx && glXMakeCurrent(d, gp, ctx)) {
      if (const auto* r = glGetString(GL_RENDERER)) name = reinterpret_cast<const char*>(r);
      glXMakeCurrent(d, None, nullptr);
    }
    if (ctx) glXDestroyContext(d, ctx);
    glXDestroyGLXPixmap(d, gp);
    XFreePixmap(d, pm);
    XFree(vi);
  }
  XCloseDisplay(d);
  return name;
}

double processSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * (u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

// The scenes, each an xdotool script run while the host pumps its main loop for seconds (the pointer starts from
// the header's empty corner).
struct Scene {
  const char* name;
  const char* setup;   // before measuring
  std::string script;  // during
  const char* after;   // after
};

// One xdotool process per step: xdotool sends its requests when it exits, so steps chained in one process would
// arrive together. About 60 steps a second.
std::string steps(const char* before, const char* move, int from, int span, const char* after) {
  return std::string("sh -c '") + before + "; i=0; while [ $i -lt 180 ]; do xdotool mousemove " + move + " $((" +
         std::to_string(from) + " + i % " + std::to_string(span) + ")); sleep 0.012; i=$((i+1)); done; " + after +
         "' > /dev/null 2>&1";
}

std::string knobDrag() { return steps("xdotool mousemove 130 420 mousedown 1", "130", 360, 60, "xdotool mouseup 1"); }
// The memory menu opened from the header's memory box, then the wheel over its rows: 10 notches down, 10 up, one
// notch every 16 ms (xdotool flushes each click of a repeat).
std::string menuScroll() {
  return "sh -c 'xdotool mousemove 500 300; i=0; while [ $i -lt 9 ]; do xdotool click --repeat 10 --delay 16 5; "
         "xdotool click --repeat 10 --delay 16 4; i=$((i+1)); done' > /dev/null 2>&1";
}
std::string keyHold() { return steps("xdotool mousemove 330 600 mousedown 1", "330", 595, 30, "xdotool mouseup 1"); }

void runScene(benchmark::State& state, vhost::Library& lib, vhost::Host& host, const Scene& scene, double seconds) {
  vhost::Instance inst(lib, host, "com.OskelAudio.Vorrel");
  vhost::EditorHost ed(inst);
  std::string error;
  if (!inst.ok() || !ed.open(error)) {
    state.SkipWithError(("no editor: " + error).c_str());
    return;
  }
  std::system("xdotool mousemove 5 5");
  ed.pump(1.0);
  if (scene.setup) std::system(scene.setup);
  ed.pump(1.0);
  // VORREL_BENCH_SHOT=dir: each scene's window after its setup, to see what is measured.
  if (const char* shots = std::getenv("VORREL_BENCH_SHOT")) {
    vhost::Image image;
    if (ed.capture(image))
      vhost::writePng(std::string(shots) + "/scene-" + std::to_string(state.range(0)) + ".png", image, error);
  }
  for (auto _ : state) {
    const int swaps0 = gSwaps.load();
    const double all0 = processSeconds(), ed0 = vhost::threadsNamed("vorrel-editor").cpuSeconds,
                 gl0 = vhost::threadsNamed("llvmpipe").cpuSeconds;
    const auto t0 = std::chrono::steady_clock::now();
    std::thread driver([&] {
      if (!scene.script.empty()) std::system(scene.script.c_str());
    });
    ed.pump(seconds);
    driver.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(wall);
    state.counters["frames_per_s"] = (gSwaps.load() - swaps0) / wall;
    state.counters["cpu_all_pct"] = 100.0 * (processSeconds() - all0) / wall;
    state.counters["cpu_editor_pct"] = 100.0 * (vhost::threadsNamed("vorrel-editor").cpuSeconds - ed0) / wall;
    state.counters["cpu_raster_pct"] = 100.0 * (vhost::threadsNamed("llvmpipe").cpuSeconds - gl0) / wall;
  }
  if (scene.after) std::system(scene.after);
  ed.close();
}

vhost::Library* gLib = nullptr;
vhost::Host* gHost = nullptr;

void BM_Editor(benchmark::State& state) {
  static const Scene kScenes[] = {
      {"idle, nothing moves", nullptr, "", nullptr},
      {"knob dragged", nullptr, knobDrag(), nullptr},
      {"key held and leaned on", nullptr, keyHold(), nullptr},
      {"memory menu of 40 memories open and scrolled", "xdotool mousemove 550 22 click 1", menuScroll(), nullptr},
  };
  const Scene& s = kScenes[state.range(0)];
  state.SetLabel(s.name);
  runScene(state, *gLib, *gHost, s, state.range(0) == 0 ? 10.0 : 3.0);
}
BENCHMARK(BM_Editor)->ArgName("scene")->DenseRange(0, 3)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Late blocks of our host's audio thread over 10 idle seconds: two instances processing 256-frame blocks at
// 48 kHz at the real-time pace (5.3 ms each), with none or both of their editors open. The audio thread runs at
// SCHED_FIFO 10 as a JACK client would (second argument 1), or at the priority it was started with (0).
void BM_AudioWithIdleEditors(benchmark::State& state) {
  constexpr uint32_t kBlock = 256;
  constexpr double kRate = 48000.0;
  vhost::Instance a(*gLib, *gHost, "com.OskelAudio.Vorrel");
  vhost::Instance b(*gLib, *gHost, "com.OskelAudio.Vorrel");
  for (vhost::Instance* inst : {&a, &b}) {
    if (!inst->ok() || !inst->activate(kRate, 1, kBlock) || !inst->startProcessing()) {
      state.SkipWithError("cannot start the plug-in");
      return;
    }
  }
  std::unique_ptr<vhost::EditorHost> editors[2];
  if (state.range(0) > 0) {
    std::string error;
    editors[0] = std::make_unique<vhost::EditorHost>(a);
    editors[1] = std::make_unique<vhost::EditorHost>(b);
    if (!editors[0]->open(error) || !editors[1]->open(error)) {
      state.SkipWithError(("no editor: " + error).c_str());
      return;
    }
  }
  auto pump = [&](double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (editors[0]) {
        editors[0]->pump(0.005);
        editors[1]->pump(0.005);
      } else {
        gHost->pump(a.get());
        gHost->pump(b.get());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
  };
  std::system("xdotool mousemove 5 5");
  pump(2.0);  // the editors' first frames drawn
  vhost::PacedAudio audio(*gHost, {&a, &b}, kRate, kBlock, state.range(1) ? 10 : 0);
  for (auto _ : state) {
    const double ed0 = vhost::threadsNamed("vorrel-editor").cpuSeconds,
                 gl0 = vhost::threadsNamed("llvmpipe").cpuSeconds;
    const int swaps0 = gSwaps.load();
    const auto t0 = std::chrono::steady_clock::now();
    audio.start();
    pump(10.0);
    audio.stop();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(wall);
    state.counters["blocks"] = static_cast<double>(audio.blocks());
    state.counters["late_blocks"] = static_cast<double>(audio.lateBlocks());
    state.counters["worst_late_ms"] = audio.worstLateMs();
    state.counters["fifo"] = audio.realtime() ? 1 : 0;
    state.counters["frames"] = gSwaps.load() - swaps0;
    state.counters["cpu_editors_pct"] = 100.0 * (vhost::threadsNamed("vorrel-editor").cpuSeconds - ed0) / wall;
    state.counters["cpu_raster_pct"] = 100.0 * (vhost::threadsNamed("llvmpipe").cpuSeconds - gl0) / wall;
  }
  for (auto& ed : editors)
    if (ed) ed->close();
}
BENCHMARK(BM_AudioWithIdleEditors)
    ->ArgNames({"editors", "fifo"})
    ->ArgsProduct({{0, 2}, {1, 0}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE) / 1024;
}

// Bytes malloc has handed out and not had back (small blocks and mmapped large ones), all threads' arenas.
double heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}

// Resident kB of one kind from /proc/self/status ("RssAnon:", "RssFile:").
double statusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key));
  return 0.0;
}

// Mappings of the process (/proc/self/maps lines).
double mappingCount() {
  std::ifstream maps("/proc/self/maps");
  return static_cast<double>(std::count(std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>(), '\n'));
}

// Anonymous writable and executable mappings (a JIT's code memory): how many, and their resident kB.
void jitMappings(double& count, double& residentKb) {
  count = residentKb = 0.0;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool jit = false;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string first, perms, offset, device, inode, path;
    fields >> first;
    if (first == "Rss:") {
      double kb = 0.0;
      fields >> kb;
      if (jit) residentKb += kb;
    } else if (first.find('-') != std::string::npos && first.back() != ':') {
      fields >> perms >> offset >> device >> inode >> path;
      jit = perms == "rwxp" && path.empty();
      if (jit) count += 1.0;
    }
  }
}

// Bytes malloc holds from the system, in use or free in its arenas.
double heapHeld() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.arena + m.hblkhd);
}

// Resident, heap, anonymous and file memory and mappings at the start of a run of cycles, reported per cycle.
struct GrowthProbe {
  long resident = residentKb();
  double heap = heapInUse(), held = heapHeld();
  double anon = statusKb("RssAnon:"), file = statusKb("RssFile:"), maps = mappingCount();

  void report(benchmark::State& state) const {
    const double n = static_cast<double>(state.range(0));
    state.counters["kB_per_cycle"] = static_cast<double>(residentKb() - resident) / n;
    state.counters["heap_B_per_cycle"] = (heapInUse() - heap) / n;
    state.counters["held_B_per_cycle"] = (heapHeld() - held) / n;
    state.counters["anon_kB_per_cycle"] = (statusKb("RssAnon:") - anon) / n;
    state.counters["file_kB_per_cycle"] = (statusKb("RssFile:") - file) / n;
    state.counters["maps_per_cycle"] = (mappingCount() - maps) / n;
  }
};

// Resident memory per open and close of the editor, after 20 cycles that fill the allocators' caches.
void BM_OpenClose(benchmark::State& state) {
  vhost::Instance inst(*gLib, *gHost, "com.OskelAudio.Vorrel");
  auto cycle = [&] {
    vhost::EditorHost ed(inst);
    std::string error;
    if (!ed.open(error)) return false;
    ed.pump(0.1);
    ed.close();
    return true;
  };
  for (int i = 0; i < 20; ++i) cycle();
  for (auto _ : state) {
    const GrowthProbe growth;
    double jitMaps0 = 0.0, jitKb0 = 0.0;
    jitMappings(jitMaps0, jitKb0);
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < state.range(0); ++i) {
      if (!cycle()) {
        state.SkipWithError("no editor");
        return;
      }
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    growth.report(state);
    double jitMaps = 0.0, jitKb = 0.0;
    jitMappings(jitMaps, jitKb);
    const double n = static_cast<double>(state.range(0));
    state.counters["jit_maps_per_cycle"] = (jitMaps - jitMaps0) / n;
    state.counters["jit_kB_per_cycle"] = (jitKb - jitKb0) / n;
  }
}
BENCHMARK(BM_OpenClose)->Arg(200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The same cycles without Vorrel: an X connection with pugl's input method, a GL window and context made current and
// swapped once, and all of it freed, as the editor's window library does, on the calling thread or (second argument
// 1) on a new thread each cycle as the editor; what this grows is the GL driver's, Xlib's and the C library's.
void BM_GlWindowOnly(benchmark::State& state) {
  auto cycle = [] {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    // The visual through a framebuffer configuration, as pugl chooses it.
    // clang-format off
    int attrs[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                   GLX_DOUBLEBUFFER, True, GLX_STENCIL_SIZE, 8, None};
    // clang-format on
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(d, DefaultScreen(d), attrs, &count);
    if (!configs || count <= 0) return XCloseDisplay(d), false;
    const GLXFBConfig config = configs[0];
    XFree(configs);
    XVisualInfo* vi = glXGetVisualFromFBConfig(d, config);
    if (!vi) return XCloseDisplay(d), false;
    XSetWindowAttributes wa{};
    wa.colormap = XCreateColormap(d, DefaultRootWindow(d), vi->visual, AllocNone);
    const Window w =
        XCreateWindow(d, DefaultRootWindow(d), 0, 0, 960, 660, 0, vi->depth, InputOutput, vi->visual, CWColormap, &wa);
    XMapWindow(d, w);
    // pugl's input method for text events, opened and closed with each world.
    XSetLocaleModifiers("");
    XIM im = XOpenIM(d, nullptr, nullptr, nullptr);
    XIC ic = im ? XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w, XNFocusWindow, w,
                            nullptr)
                : nullptr;
    GLXContext ctx = glXCreateNewContext(d, config, GLX_RGBA_TYPE, nullptr, True);
    glXMakeCurrent(d, w, ctx);
    glClear(GL_COLOR_BUFFER_BIT);
    glXSwapBuffers(d, w);
    glXMakeCurrent(d, None, nullptr);
    glXDestroyContext(d, ctx);
    if (ic) XDestroyIC(ic);
    if (im) XCloseIM(im);
    XDestroyWindow(d, w);
    XFreeColormap(d, wa.colormap);
    XFree(vi);
    XCloseDisplay(d);
    return true;
  };
  for (int i = 0; i < 20; ++i) cycle();
  for (auto _ : state) {
    const GrowthProbe growth;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < state.range(0); ++i) {
      if (state.range(1)) {
        std::thread t(cycle);  // as the editor does: each opening on a thread of its own
        t.join();
      } else {
        cycle();
      }
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    growth.report(state);
  }
}
BENCHMARK(BM_GlWindowOnly)
    ->ArgNames({"", "own_thread"})
    ->Args({200, 0})
    ->Args({200, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (!privateMachine()) {
    std::fprintf(stderr, "editor_bench needs root for its private /dev/shm\n");
    return 1;
  }
  const pid_t xvfb = vhost::startPrivateXvfb();
  std::printf("CPU: %s\nGL: %s\n", vbench::cpuModel().c_str(), glRenderer().c_str());
  vhost::Library lib;
  vhost::Host host;
  std::string error;
  if (!lib.load(VORREL_CLAP_PATH, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  gLib = &lib;
  gHost = &host;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  vhost::stopPrivateXvfb(xvfb);
  return 0;
}
