// The one line tarvokctl rewrites in place while a terminal watches a run or a scan:
// on standard output, or on standard error with --json, so that standard output
// carries JSON objects and nothing else, terminal or not.
#pragma once

#include <cstdio>
#include <string>

namespace tarvok::cli {

class ProgressLine {
public:
    explicit ProgressLine(bool json);

    void show(const std::string& text);
    // Before any other output, so a line never starts after the progress text.
    void clear();

private:
    FILE* stream_;  // null: no terminal watches
    bool shown_ = false;
};

}  // namespace tarvok::cli
