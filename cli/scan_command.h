// tarvokctl scan: finds every module on the line with its address, rate and parity,
// changing nothing (protocol/scan.h says why), and prints what it found.
#pragma once

#include "cli/options.h"
#include "cli/platform.h"

namespace tarvok::cli {

// Runs the scan to its end; the exit code (cli/exit_codes.h, with 0 for modules found
// and 2 for none).
int run_scan(const RunConfig& run, const ScanBus& scan, bool json, Platform& platform);

}  // namespace tarvok::cli
