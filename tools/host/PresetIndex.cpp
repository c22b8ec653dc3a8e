// An indexer as a DAW runs one: declared locations first, then each location's metadata.
#include "PresetIndex.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace vhost {
namespace {

struct Location {
  uint32_t kind;
  uint32_t flags;
  std::string name;
  std::string path;
};

struct IndexerState {
  std::vector<Location> locations;
};

struct ReceiverState {
  std::vector<IndexedPreset>* out;
  const Location* location;
  std::string error;
};

IndexedPreset* current(const clap_preset_discovery_metadata_receiver_t* r) {
  auto* st = static_cast<ReceiverState*>(r->receiver_data);
  return st->out->empty() ? nullptr : &st->out->back();
}

std::string text(const char* s) { return s ? s : ""; }

clap_preset_discovery_metadata_receiver_t makeReceiver(ReceiverState& st) {
  clap_preset_discovery_metadata_receiver_t r{};
  r.receiver_data = &st;
  r.on_error = [](const clap_preset_discovery_metadata_receiver_t* rc, int32_t, const char* msg) {
    static_cast<ReceiverState*>(rc->receiver_data)->error = text(msg);
  };
  r.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* rc, const char* name, const char* key) {
    auto* st = static_cast<ReceiverState*>(rc->receiver_data);
    IndexedPreset p;
    p.kind = st->location->kind;
    p.location = st->location->path;
    p.locationName = st->location->name;
    p.flags = st->location->flags;
    p.name = text(name);
    p.loadKey = text(key);
    st->out->push_back(p);
    return true;
  };
  r.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t* rc, const clap_universal_plugin_id_t* id) {
    if (auto* p = current(rc); p && id) p->pluginIds.push_back(text(id->abi) + ":" + text(id->id));
  };
  r.set_soundpack_id = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
  r.set_flags = [](const clap_preset_discovery_metadata_receiver_t* rc, uint32_t flags) {
    if (auto* p = current(rc)) p->flags = flags;
  };
  r.add_creator = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
  r.set_description = [](const clap_preset_discovery_metadata_receiver_t* rc, const char* d) {
    if (auto* p = current(rc)) p->description = text(d);
  };
  r.set_timestamps = [](const clap_preset_discovery_metadata_receiver_t*, clap_timestamp_t, clap_timestamp_t) {};
  r.add_feature = [](const clap_preset_discovery_metadata_receiver_t* rc, const char* f) {
    if (auto* p = current(rc)) p->features.push_back(text(f));
  };
  r.add_extra_info = [](const clap_preset_discovery_metadata_receiver_t* rc, const char* key, const char* value) {
    if (auto* p = current(rc); p && key && !std::strcmp(key, "category")) p->category = text(value);
  };
  return r;
}

clap_preset_discovery_indexer_t makeIndexer(IndexerState& st) {
  clap_preset_discovery_indexer_t ix{};
  ix.clap_version = CLAP_VERSION;
  ix.name = "vorrel-host";
  ix.vendor = "OskelAudio";
  ix.url = "";
  ix.version = "1.0.0";
  ix.indexer_data = &st;
  ix.declare_filetype = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_filetype_t* t) {
    return t != nullptr;
  };
  ix.declare_location = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_location_t* l) {
    if (!l) return false;
    static_cast<IndexerState*>(i->indexer_data)
        ->locations.push_back({l->kind, l->flags, text(l->name), text(l->location)});
    return true;
  };
  ix.declare_soundpack = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_soundpack_t*) {
    return true;
  };
  ix.get_extension = [](const clap_preset_discovery_indexer_t*, const char*) -> const void* { return nullptr; };
  return ix;
}

}  // namespace

bool indexPresets(const Library& lib, std::vector<IndexedPreset>& out, std::string& error) {
  out.clear();
  if (!lib.entry()) {
    error = "no library";
    return false;
  }
  const auto* factory =
      static_cast<const clap_preset_discovery_factory_t*>(lib.entry()->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID));
  if (!factory)
    factory = static_cast<const clap_preset_discovery_factory_t*>(
        lib.entry()->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT));
  if (!factory) {
    error = "no preset-discovery factory";
    return false;
  }
  const uint32_t n = factory->count(factory);
  for (uint32_t i = 0; i < n; ++i) {
    const auto* desc = factory->get_descriptor(factory, i);
    if (!desc) continue;
    IndexerState st;
    const clap_preset_discovery_indexer_t ix = makeIndexer(st);
    const auto* provider = factory->create(factory, &ix, desc->id);
    if (!provider) {
      error = std::string("cannot create provider ") + text(desc->id);
      return false;
    }
    bool ok = provider->init(provider);
    for (const auto& loc : st.locations) {
      if (!ok) break;
      // As a DAW's crawler does: a declared file location is opened before the provider is asked about it.
      struct stat info {};
      if (loc.kind == CLAP_PRESET_DISCOVERY_LOCATION_FILE && ::stat(loc.path.c_str(), &info) != 0) {
        error = loc.name + ": " + std::strerror(errno);
        ok = false;
        break;
      }
      ReceiverState rs{&out, &loc, ""};
      const auto receiver = makeReceiver(rs);
      if (!provider->get_metadata(provider, loc.kind, loc.path.empty() ? nullptr : loc.path.c_str(), &receiver)) {
        error = loc.name + ": " + (rs.error.empty() ? "get_metadata failed" : rs.error);
        ok = false;
      }
    }
    provider->destroy(provider);
    if (!ok) {
      if (error.empty()) error = "provider init failed";
      return false;
    }
  }
  return true;
}

bool loadPreset(const Instance& inst, uint32_t kind, const std::string& location, const std::string& loadKey) {
  const clap_plugin_t* p = inst.get();
  if (!p) return false;
  const auto* ext = static_cast<const clap_plugin_preset_load_t*>(p->get_extension(p, CLAP_EXT_PRESET_LOAD));
  if (!ext) ext = static_cast<const clap_plugin_preset_load_t*>(p->get_extension(p, CLAP_EXT_PRESET_LOAD_COMPAT));
  return ext && ext->from_location(p, kind, location.empty() ? nullptr : location.c_str(), loadKey.c_str());
}

}  // namespace vhost
