#include "cli/progress_line.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace tarvok::cli {

namespace {

FILE* watched_stream(bool json) {
    FILE* stream = json ? stderr : stdout;
    return ::isatty(fileno(stream)) != 0 ? stream : nullptr;
}

}  // namespace

ProgressLine::ProgressLine(bool json) : stream_(watched_stream(json)) {}

void ProgressLine::show(const std::string& text) {
    if (stream_ == nullptr) {
        return;
    }
    const std::string line = "\r\033[K" + text;
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
    shown_ = true;
}

void ProgressLine::clear() {
    if (shown_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        shown_ = false;
    }
}

}  // namespace tarvok::cli
