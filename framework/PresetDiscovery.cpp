// One preset provider: a location inside the plug-in for the factory presets and a file location for the users'.
#include "PresetDiscovery.h"

#include "ClapExtras.h"
#include "Entry.h"

#include <clap/version.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>

namespace vfw {
namespace {

// Set on the first request for the factory; a plug-in has one catalog for the life of the process.
std::atomic<const PresetCatalog*> gCatalog{nullptr};

const clap_preset_discovery_provider_descriptor_t* descriptor() {
  static clap_preset_discovery_provider_descriptor_t desc{};
  static const bool filled = [] {
    const PresetCatalog* c = gCatalog.load(std::memory_order_acquire);
    desc.clap_version = CLAP_VERSION;
    desc.id = c->providerId;
    desc.name = c->providerName;
    desc.vendor = c->vendor;
    return true;
  }();
  (void)filled;
  return &desc;
}

// One per create call; the indexer uses it from one thread at a time.
struct Provider {
  clap_preset_discovery_provider_t clap{};
  const clap_preset_discovery_indexer_t* indexer = nullptr;
  const PresetCatalog* catalog = nullptr;
  std::string userPath;  // fixed at init, so locations and metadata agree
};

Provider* self(const clap_preset_discovery_provider_t* p) { return static_cast<Provider*>(p->provider_data); }

void describe(const clap_preset_discovery_metadata_receiver_t* r, const PresetEntry& e, const PresetCatalog& c,
              uint32_t flags) {
  if (!r->begin_preset(r, e.name.c_str(), e.loadKey.c_str())) return;
  const clap_universal_plugin_id_t id{"clap", c.pluginId};
  // A receiver from an odd host may leave calls out; each is optional here.
  if (r->add_plugin_id) r->add_plugin_id(r, &id);
  if (r->set_flags) r->set_flags(r, flags);
  if ((flags & CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT) && r->add_creator) r->add_creator(r, c.vendor);
  if (!e.description.empty() && r->set_description) r->set_description(r, e.description.c_str());
  if (!e.category.empty()) {
    if (r->add_feature) r->add_feature(r, e.category.c_str());
    if (r->add_extra_info) r->add_extra_info(r, "category", e.category.c_str());
  }
}

bool providerInit(const clap_preset_discovery_provider_t* p) {
  Provider* pr = self(p);
  const PresetCatalog& c = *pr->catalog;
  const auto* ix = pr->indexer;
  pr->userPath = c.userLibraryPath();
  const clap_preset_discovery_filetype_t type{c.fileTypeName, "", c.fileExtension};
  const clap_preset_discovery_location_t factory{CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, c.factoryLocationName,
                                                 CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
  const clap_preset_discovery_location_t user{CLAP_PRESET_DISCOVERY_IS_USER_CONTENT, c.userLocationName,
                                              CLAP_PRESET_DISCOVERY_LOCATION_FILE, pr->userPath.c_str()};
  bool ok = !ix->declare_filetype || ix->declare_filetype(ix, &type);
  ok = ix->declare_location && ix->declare_location(ix, &factory) && ok;
  if (!pr->userPath.empty() && c.userLibraryReadable(pr->userPath)) ok = ix->declare_location(ix, &user) && ok;
  return ok;
}

void providerDestroy(const clap_preset_discovery_provider_t* p) { delete self(p); }

bool providerMetadata(const clap_preset_discovery_provider_t* p, uint32_t kind, const char* location,
                      const clap_preset_discovery_metadata_receiver_t* r) {
  if (!r || !r->begin_preset) return false;
  const PresetCatalog& c = *self(p)->catalog;
  std::vector<PresetEntry> entries;
  uint32_t flags = 0;
  if (kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN) {
    c.factoryPresets(entries);
    flags = CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT;
  } else if (kind == CLAP_PRESET_DISCOVERY_LOCATION_FILE && location) {
    if (!c.userPresets(location, entries)) {
      if (r->on_error) r->on_error(r, EIO, "cannot read the preset library");
      return false;
    }
    flags = CLAP_PRESET_DISCOVERY_IS_USER_CONTENT;
  } else {
    return false;
  }
  for (const auto& e : entries) describe(r, e, c, flags);
  return true;
}

const void* providerExtension(const clap_preset_discovery_provider_t*, const char*) { return nullptr; }

uint32_t factoryCount(const clap_preset_discovery_factory_t*) { return 1; }

const clap_preset_discovery_provider_descriptor_t* factoryDescriptor(const clap_preset_discovery_factory_t*,
                                                                     uint32_t index) {
  return index == 0 ? descriptor() : nullptr;
}

const clap_preset_discovery_provider_t* factoryCreate(const clap_preset_discovery_factory_t*,
                                                      const clap_preset_discovery_indexer_t* indexer,
                                                      const char* providerId) {
  const PresetCatalog* c = gCatalog.load(std::memory_order_acquire);
  if (!c || !indexer || !providerId || std::strcmp(providerId, c->providerId) != 0) return nullptr;
  auto* pr = new (std::nothrow) Provider;
  if (!pr) return nullptr;
  pr->indexer = indexer;
  pr->catalog = c;
  pr->clap.desc = descriptor();
  pr->clap.provider_data = pr;
  pr->clap.init = providerInit;
  pr->clap.destroy = providerDestroy;
  pr->clap.get_metadata = providerMetadata;
  pr->clap.get_extension = providerExtension;
  return &pr->clap;
}

const clap_preset_discovery_factory_t kFactory{factoryCount, factoryDescriptor, factoryCreate};

}  // namespace

const void* presetDiscoveryFactory(const char* factoryId, const PresetCatalog& catalog) {
  if (!factoryId || (std::strcmp(factoryId, CLAP_PRESET_DISCOVERY_FACTORY_ID) != 0 &&
                     std::strcmp(factoryId, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) != 0))
    return nullptr;
  if (!currentDescriptor()) return nullptr;  // only between init and deinit
  const PresetCatalog* expected = nullptr;
  gCatalog.compare_exchange_strong(expected, &catalog, std::memory_order_acq_rel);
  return &kFactory;
}

}  // namespace vfw
