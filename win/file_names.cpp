// tarvokctl.exe's file names are UTF-8 (win/tarvokctl_main.cpp makes them so); Windows
// takes them as UTF-16, since its narrow calls would read them in the ANSI code page.
#include "cli/file_names.h"

#include "win/text.h"

namespace tarvok::cli {

std::filesystem::path file_path(const std::string& name) {
    return std::filesystem::path(win::wide(name));
}

std::FILE* open_file(const std::string& name, const char* mode) {
    return _wfopen(win::wide(name).c_str(), win::wide(mode).c_str());
}

}  // namespace tarvok::cli
