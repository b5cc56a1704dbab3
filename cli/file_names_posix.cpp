#include "cli/file_names.h"

namespace tarvok::cli {

std::filesystem::path file_path(const std::string& name) { return name; }

std::FILE* open_file(const std::string& name, const char* mode) {
    return std::fopen(name.c_str(), mode);
}

}  // namespace tarvok::cli
