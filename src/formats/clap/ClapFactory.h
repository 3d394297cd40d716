#pragma once

// The library side of a CLAP plug-in file: the entry's init and deinit, counted (a host
// or a wrapper in the same process may call init again before deinit; only the first
// call and the last deinit count), and the plug-in factory that describes the one
// plug-in and creates its instances through the function the plug-in file gives.
#include <memory>
#include <mutex>

#include "formats/clap/ClapAbi.h"

class IPlugBase;

class ClapFactory {
 public:
  // Builds a plug-in with its editor attached; null or an exception when it cannot.
  // Any thread; the factory serialises the calls.
  using CreatePlug = std::unique_ptr<IPlugBase> (*)();

  ClapFactory(const clap_plugin_descriptor_t* descriptor, CreatePlug createPlug);
  ClapFactory(const ClapFactory&) = delete;
  ClapFactory& operator=(const ClapFactory&) = delete;

  // The entry's functions; never concurrent with each other or any other call.
  bool init(const char* pluginPath);
  void deinit();
  // Thread-safe: the factory for its exact id, else null.
  const void* getFactory(const char* factoryId) const;
  // How many inits are not yet undone.
  int initCount() const;

 private:
  // The record the host holds, with the way back to its owner.
  struct Record {
    clap_plugin_factory_t factory;
    ClapFactory* owner;
  };
  static ClapFactory* owner(const clap_plugin_factory_t* factory);
  const clap_plugin_t* create(const clap_host_t* host, const char* pluginId);

  const clap_plugin_descriptor_t* descriptor_;
  CreatePlug create_;
  Record record_;
  mutable std::mutex mutex_;
  int initCount_ = 0;
};
