#include "cli/job_keeper.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_words.h"
#include "cli/file_names.h"
#include "plan/plan_words.h"
#include "plan/run_words.h"

namespace tarvok::cli {

namespace {

enum class WriteFault { none, permission, other };

// Writes `text` beside `path` and renames it over: a reader never sees half a record,
// and an old record stays whole when the new one cannot be written.
WriteFault write_whole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".part";
    FILE* file = open_file(temporary, "wb");
    if (file == nullptr) {
        return errno == EACCES || errno == EPERM ? WriteFault::permission : WriteFault::other;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) {
        std::filesystem::rename(file_path(temporary), file_path(path), error);
        if (!error) {
            return WriteFault::none;
        }
    }
    std::filesystem::remove(file_path(temporary), error);
    return WriteFault::other;
}

}  // namespace

JobKeeper::JobKeeper(int port, std::string device, const protocol::LineSetting& line,
                     std::function<std::string()> clock)
    : clock_(std::move(clock)), job_{clock_(), {}, port, std::move(device), line} {}

void JobKeeper::finished(const plan::StepResult& /*result*/) {
    times_.push_back(clock_());
    notes_.emplace_back();
}

// Remarks that come after their setting's result are the record's notes; those before
// it are in the result already.
void JobKeeper::remarked(const plan::Remark& remark) {
    if (!remark.step || *remark.step >= notes_.size()) {
        return;
    }
    const std::string note = plan::remark_note(remark);
    std::string& notes = notes_[*remark.step];
    if (!note.empty()) {
        notes += (notes.empty() ? std::string()
                                : std::string(plan::word(plan::RunWord::note_separator))) +
                 note;
    }
}

const plan::JobFacts& JobKeeper::end() {
    job_.ended = clock_();
    return job_;
}

std::optional<std::string> JobKeeper::write(const std::string& path,
                                            std::span<const plan::StepResult> results) const {
    plan::JobRecord record{job_, {}};
    for (std::size_t i = 0; i < results.size(); ++i) {
        const bool came = i < times_.size();
        record.rows.push_back(plan::RecordRow{results[i].step.line, results[i],
                                              came ? times_[i] : std::string(),
                                              came ? notes_[i] : std::string()});
    }
    const std::string text = plan::record_csv(record);
    const WriteFault fault = write_whole(path, text);
    if (fault == WriteFault::none) {
        return std::nullopt;
    }
    const auto why =
        word(fault == WriteFault::permission ? ToolWord::no_permission : ToolWord::cannot_write);
    return say(ToolWord::record_failed, {plan::echo(path), why});
}

}  // namespace tarvok::cli
