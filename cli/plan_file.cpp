#include "cli/plan_file.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <variant>

#include "cli/cli_words.h"
#include "cli/file_names.h"
#include "plan/plan_input.h"
#include "plan/plan_words.h"

namespace tarvok::cli {

namespace {

using plan::echo;
using plan::Plan;
using plan::PlanEncoding;
using plan::PlanReader;

constexpr std::size_t kChunkBytes = 16 * 1024;

struct CloseFile {
    void operator()(FILE* file) const {
        if (file != stdin) {
            std::fclose(file);
        }
    }
};
using File = std::unique_ptr<FILE, CloseFile>;

struct Source {
    File file;
    bool still = false;  // a regular file: it can be read whole before judging it
};

void tell(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// Opens the plan; the reason, one sentence, when it cannot be read.
std::variant<Source, std::string> open_plan(const std::string& path) {
    if (path == "-") {
        return Source{File(stdin), false};
    }
    std::error_code error;
    const auto status = std::filesystem::status(file_path(path), error);
    if (!std::filesystem::exists(status)) {
        return plan::file_fault_words(plan::FileFault::missing, path);
    }
    if (std::filesystem::is_directory(status)) {
        return plan::file_fault_words(plan::FileFault::folder, path);
    }
    File file(open_file(path, "rb"));
    if (!file) {
        return plan::file_fault_words(plan::FileFault::unreadable, path);
    }
    return Source{std::move(file), std::filesystem::is_regular_file(status)};
}

// Up to a line, or a chunk when the line is longer: from a pipe, a line is handed on
// as soon as it has come, whatever follows it.
std::string next_piece(FILE* file) {
    std::string piece;
    for (int c = 0; piece.size() < kChunkBytes && (c = std::getc(file)) != EOF;) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n') {
            break;
        }
    }
    return piece;
}

// Tells the plan's faults as they come, under one heading.
class FaultTeller {
public:
    explicit FaultTeller(std::string path) : path_(std::move(path)) {}

    void tell_new(const Plan& plan) {
        for (; told_ < plan.errors.size(); ++told_) {
            line("  " + plan::error_words(plan.errors[told_]) + "\n");
        }
    }
    void tell_rest(const Plan& plan) {
        tell_new(plan);
        if (plan.more_errors > 0) {
            line(cli::say(ToolWord::more_faults, {std::to_string(plan.more_errors)}) + "\n");
        }
        if (plan.stopped) {
            line("  " + plan::error_words(*plan.stopped) + "\n");
        }
    }

private:
    void line(const std::string& text) {
        if (!headed_) {
            tell(own(cli::say(ToolWord::plan_faulty, {echo(path_)})) + "\n");
            headed_ = true;
        }
        tell(text);
    }

    std::string path_;
    std::size_t told_ = 0;
    bool headed_ = false;
};

// Reads the plan into `reader`, telling faults as they come; false on a read error.
// A file that holds still (not a pipe or terminal) is read whole first, within the
// byte limit, so that its encoding is judged from all of it.
bool read_into(const Source& source, PlanReader& reader, FaultTeller& faults,
               const std::function<void()>& tell_encoding) {
    FILE* file = source.file.get();
    if (source.still) {
        std::string all(plan::kPlanLimits.bytes + 1, '\0');
        all.resize(std::fread(all.data(), 1, all.size(), file));
        if (std::ferror(file) != 0) {
            return false;
        }
        const std::string_view text(all);
        reader.judged(plan::whole_encoding(text.substr(0, plan::kPlanLimits.bytes)));
        reader.feed(text);
        return true;
    }
    for (;;) {
        const std::string piece = next_piece(file);
        if (std::ferror(file) != 0) {
            return false;
        }
        const bool more = !piece.empty() && reader.feed(piece);
        if (reader.encoding() != PlanEncoding::ascii) {
            tell_encoding();
        }
        faults.tell_new(reader.plan());
        if (!more) {
            return true;
        }
    }
}

}  // namespace

std::optional<std::vector<plan::PlanStep>> read_plan_file(const std::string& path, bool verbose) {
    auto opened = open_plan(path);
    if (const auto* fault = std::get_if<std::string>(&opened)) {
        tell(own(*fault) + "\n");
        return std::nullopt;
    }
    const Source source = std::move(std::get<Source>(opened));
    PlanReader reader;
    FaultTeller faults(path);
    bool encoding_told = false;
    const auto tell_encoding = [&] {
        const PlanEncoding encoding = reader.encoding();
        if (!encoding_told && (verbose || encoding == PlanEncoding::gb18030)) {
            tell(own(cli::say(ToolWord::plan_encoding,
                              {echo(path), plan::encoding_name(encoding)})) +
                 "\n");
            encoding_told = true;
        }
    };
    if (!read_into(source, reader, faults, tell_encoding)) {
        tell(own(cli::say(ToolWord::nothing_sent,
                          {plan::file_fault_words(plan::FileFault::read_error, path)})) +
             "\n");
        return std::nullopt;
    }
    reader.finish();
    tell_encoding();
    const Plan& plan = reader.plan();
    if (plan.title_line > 0) {
        tell(own(cli::say(ToolWord::plan_title, {echo(path), plan::title_words(plan.title_line)})) +
             "\n");
    }
    faults.tell_rest(plan);
    if (!plan.ok()) {
        return std::nullopt;
    }
    return plan.steps;
}

}  // namespace tarvok::cli
