#include "cli/console.h"

#include "cli/cli_words.h"
#include "cli/json_line.h"

namespace tarvok::cli {

void Output::write(FILE* stream, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() ||
        std::fflush(stream) != 0) {
        failed_ = true;
        std::clearerr(stream);
    }
}

Console::Console(bool json, bool plan, bool follow)
    : json_(json), plan_(plan), follow_(follow), progress_(json) {}

void Console::words(const std::string& text) {
    progress_.clear();
    if (json_) {
        output_.err(own(text) + "\n");
    } else {
        output_.out(text + "\n");
    }
}

void Console::say(const std::string& text) {
    progress_.clear();
    output_.err(own(text) + "\n");
}

void Console::step_started(std::size_t index, std::size_t total) {
    if (results_ != nullptr) {
        progress_.show(progress_text(index, total, results_->at(index)));
    }
}

void Console::step_finished(const plan::StepResult& result) {
    ++shown_;
    if (keeper_ != nullptr) {
        keeper_->finished(result);
    }
    progress_.clear();
    if (json_) {
        output_.out(json_line(result));
    } else {
        output_.out(result_line(result, follow_) + "\n");
    }
}

void Console::remarked(const plan::Remark& remark) {
    if (keeper_ != nullptr) {
        keeper_->remarked(remark);
    }
    const plan::StepResult* about =
        results_ != nullptr && remark.step && *remark.step < results_->size()
            ? &results_->at(*remark.step)
            : nullptr;
    if (const auto text = remark_line(remark, about)) {
        words(*text);
    }
}

void Console::run_finished(plan::RunEnd end) {
    if (end_) {
        end_(end);
    }
}

void Console::finish(RunStop stop) {
    progress_.clear();
    if (results_ == nullptr) {
        return;
    }
    if (json_) {
        for (std::size_t i = shown_; i < results_->size(); ++i) {
            output_.out(json_line(results_->at(i)));
        }
    }
    // With --json standard output stays one object per line; people still see the
    // summary on standard error.
    if (plan_ || stop.signo != 0) {
        const std::string summary = summary_text(*results_, stop);
        if (json_) {
            output_.err(summary);
        } else {
            output_.out(summary);
        }
    }
}

}  // namespace tarvok::cli
