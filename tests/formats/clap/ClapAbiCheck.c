/* The declarations compile as C too, with the same layout checks. */
#include "formats/clap/ClapAbi.h"

const clap_plugin_entry_t* zorqClapAbiCheck(void);
const clap_plugin_entry_t* zorqClapAbiCheck(void) { return 0; }
