// The entry, the factory and the descriptor as a host's scan sees them.
#include <string>

#include "ClapFixture.h"
#include "hosting/HostError.h"
#include "support/FileCallCounter.h"

// One plug-in, a stereo effect with the vocoder's own feature. The factory answers its
// exact id only; a plug-in is made for the exact plug-in id and carries the factory's
// descriptor.
TEST(ClapEntry, OneStereoEffectMadeForExactIdsOnly) {
  ClapLibrary& library = *sharedClap();
  const clap_plugin_factory_t* factory = library.factory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  const clap_plugin_descriptor_t* d = library.descriptor();
  ASSERT_NE(d, nullptr);
  for (const char* text : {d->url, d->manual_url, d->support_url, d->description})
    EXPECT_NE(text, nullptr);
  std::vector<std::string> features;
  for (const char* const* feature = d->features; feature && *feature; ++feature)
    features.push_back(*feature);
  EXPECT_EQ(features,
            (std::vector<std::string>{"audio-effect", "stereo", "zandervoltmusic:vocoder"}));
  for (const char* id :
       {"clap.plugin-factory/2", "clap.plugin-factor", "", "clap.preset-discovery-factory/2"})
    EXPECT_EQ(library.entry()->get_factory(id), nullptr) << id;
  for (const char* id : {"com.zandervoltmusic.zorq2", "COM.ZANDERVOLTMUSIC.ZORQ"})
    EXPECT_THROW(ClapPluginHost(sharedClap(), id), HostError) << id;
  ClapPluginHost host(sharedClap(), d->id);
  EXPECT_EQ(host.plugin()->desc, d);
  EXPECT_EQ(host.plugin()->get_extension(host.plugin(), "clap.no-such-extension"), nullptr);
}

// init may come again before deinit (a wrapper in the same process); only the last
// deinit ends the library's life, and instances can be made until then.
TEST(ClapEntry, InitAndDeinitAreCounted) {
  const clap_plugin_entry_t* entry = sharedClap()->entry();  // initialised once already
  ASSERT_NE(entry, nullptr);
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(entry->get_factory(kClapPluginFactoryId));
  ASSERT_TRUE(entry->init(ZORQ_CLAP_PATH));
  entry->deinit();
  const ClapPluginHost::Maker make = [factory](const clap_host_t* host) {
    return factory->create_plugin(factory, host, "com.zandervoltmusic.zorq");
  };
  EXPECT_NO_THROW(ClapPluginHost{make});
  entry->deinit();
  EXPECT_THROW(ClapPluginHost{make}, HostError);
  EXPECT_TRUE(entry->init(ZORQ_CLAP_PATH));  // as it was
}

// A scan (init, factory, descriptor, deinit) builds no instance: it reads no file.
TEST(ClapEntry, ScanReadsNoFile) {
  if (!fileCallsAreCounted()) GTEST_SKIP() << "file calls are not counted here";
  const clap_plugin_entry_t* entry = sharedClap()->entry();
  const size_t before = fileCallCount();
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(entry->init(ZORQ_CLAP_PATH));
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(entry->get_factory(kClapPluginFactoryId));
    ASSERT_NE(factory->get_plugin_descriptor(factory, 0), nullptr);
    entry->deinit();
  }
  EXPECT_EQ(fileCallCount(), before);
  ClapPluginHost host(sharedClap(), "");  // an instance reads its settings: the count sees it
  EXPECT_GT(fileCallCount(), before);
}
