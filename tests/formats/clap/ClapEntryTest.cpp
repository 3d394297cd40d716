// The entry and the factory as a host's scan sees them: counted init and deinit, and a
// scan that reads no file.
#include "ClapFixture.h"
#include "support/FileCallCounter.h"

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
