// Files by the names tarvokctl was given: on Linux the bytes as they came, on Windows
// UTF-8 (the arguments as win/tarvokctl_main.cpp hands them on), which Windows'
// narrow calls would read in the ANSI code page. Each system defines these once:
// cli/file_names_posix.cpp, win/file_names.cpp.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace tarvok::cli {

std::filesystem::path file_path(const std::string& name);
// std::fopen by that name; null with errno set when it fails.
std::FILE* open_file(const std::string& name, const char* mode);

}  // namespace tarvok::cli
