// tarvok-sim --help (in the process's language) and --version.
#include "protocol/request.h"
#include "sim/cli_options.h"
#include "sim/sim_words.h"

namespace tarvok::sim {

std::string help_text() { return say(SimWord::help, {protocol::baud_list_text()}); }

std::string version_text() { return std::string("tarvok-sim ") + TARVOK_VERSION + "\n"; }

}  // namespace tarvok::sim
