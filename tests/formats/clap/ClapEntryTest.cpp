// The entry, the factory and the descriptor as a host's scan sees them.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "ClapFixture.h"
#include "support/FileCallCounter.h"

namespace {
std::vector<std::string> features(const clap_plugin_descriptor_t* descriptor) {
  std::vector<std::string> list;
  for (const char* const* feature = descriptor->features; feature && *feature; ++feature)
    list.push_back(*feature);
  return list;
}
}  // namespace

TEST(ClapEntry, DescriptorNamesTheVocoderAsAStereoEffect) {
  ClapLibrary& library = sharedClap();
  const clap_plugin_entry_t* entry = library.entry();
  ASSERT_NE(entry, nullptr) << dlerror();
  EXPECT_GE(entry->clap_version.major, 1u);
  const clap_plugin_factory_t* factory = library.factory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_GE(d->clap_version.major, 1u);
  EXPECT_STREQ(d->id, "com.zandervoltmusic.zorq");
  EXPECT_STREQ(d->name, "ZORQ");
  EXPECT_STREQ(d->vendor, "Zander Volt Music");
  EXPECT_STREQ(d->version, "1.1.3");
  for (const char* text : {d->url, d->manual_url, d->support_url, d->description})
    EXPECT_NE(text, nullptr);
  const std::vector<std::string> list = features(d);
  EXPECT_EQ(list, (std::vector<std::string>{"audio-effect", "stereo", "zandervoltmusic:vocoder"}));
}

// The factory answers its exact id only; a plug-in is made for the exact plug-in id,
// and carries the factory's descriptor.
TEST(ClapEntry, IdsMatchExactly) {
  ClapLibrary& library = sharedClap();
  ASSERT_NE(library.factory(), nullptr);
  for (const char* id :
       {"clap.plugin-factory/2", "clap.plugin-factor", "", "clap.preset-discovery-factory/2"})
    EXPECT_EQ(library.entry()->get_factory(id), nullptr) << id;
  ClapTestHost host;
  EXPECT_FALSE(host.create(library.factory(), "com.zandervoltmusic.zorq2"));
  EXPECT_FALSE(host.create(library.factory(), "COM.ZANDERVOLTMUSIC.ZORQ"));
  ASSERT_TRUE(host.create(library.factory(), "com.zandervoltmusic.zorq"));
  EXPECT_EQ(host.plugin()->desc, library.descriptor());
  EXPECT_EQ(host.plugin()->get_extension(host.plugin(), "clap.no-such-extension"), nullptr);
}

// init may come again before deinit (a wrapper in the same process); only the last
// deinit ends the library's life, and instances can be made until then.
TEST(ClapEntry, InitAndDeinitAreCounted) {
  const clap_plugin_entry_t* entry = sharedClap().entry();  // initialised once already
  ASSERT_NE(entry, nullptr);
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(entry->get_factory(kClapPluginFactoryId));
  ASSERT_TRUE(entry->init(ZORQ_CLAP_PATH));
  entry->deinit();
  {
    ClapTestHost host;
    EXPECT_TRUE(host.create(factory, "com.zandervoltmusic.zorq"));
  }
  entry->deinit();
  ClapTestHost late;
  EXPECT_FALSE(late.create(factory, "com.zandervoltmusic.zorq"));
  EXPECT_TRUE(entry->init(ZORQ_CLAP_PATH));  // as it was
}

// A scan (init, factory, descriptor, deinit) builds no instance: it reads no file.
TEST(ClapEntry, ScanReadsNoFile) {
  ClapLibrary& library = sharedClap();
  const clap_plugin_entry_t* entry = library.entry();
  ASSERT_NE(entry, nullptr);
  const size_t before = fileCallCount();
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(entry->init(ZORQ_CLAP_PATH));
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(entry->get_factory(kClapPluginFactoryId));
    ASSERT_NE(factory->get_plugin_descriptor(factory, 0), nullptr);
    entry->deinit();
  }
  EXPECT_EQ(fileCallCount(), before);
  ClapTestHost host;  // an instance does read (its settings): the count sees the library
  ASSERT_TRUE(host.create(library.factory(), library.descriptor()->id));
  EXPECT_GT(fileCallCount(), before);
}
