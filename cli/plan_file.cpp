#include "cli/plan_file.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstdio>
#include <functional>

#include "plan/plan_input.h"
#include "plan/plan_words.h"

namespace tarvok::cli {

namespace {

using plan::echo;
using plan::Plan;
using plan::PlanEncoding;
using plan::PlanReader;

constexpr qint64 kChunkBytes = 16 * 1024;

void say(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// Opens the plan; the reason, one sentence, when it cannot be read.
std::optional<std::string> open_plan(QFile& file, const std::string& path) {
    if (path == "-") {
        // Through the C stream: an unbuffered read then returns what a pipe holds.
        return file.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered)
                   ? std::nullopt
                   : std::optional<std::string>("无法读取标准输入上的计划");
    }
    const QString local = QString::fromLocal8Bit(path.c_str());
    if (!QFileInfo::exists(local)) {
        return plan::file_fault_words(plan::FileFault::missing, path);
    }
    if (QFileInfo(local).isDir()) {
        return plan::file_fault_words(plan::FileFault::folder, path);
    }
    file.setFileName(local);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return plan::file_fault_words(plan::FileFault::unreadable, path);
    }
    return std::nullopt;
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
            line("  还有 " + std::to_string(plan.more_errors) + " 行有误\n");
        }
        if (plan.stopped) {
            line("  " + plan::error_words(*plan.stopped) + "\n");
        }
    }

private:
    void line(const std::string& text) {
        if (!headed_) {
            say("tarvokctl：计划文件" + echo(path_) + "有误，什么也没有发送：\n");
            headed_ = true;
        }
        say(text);
    }

    std::string path_;
    std::size_t told_ = 0;
    bool headed_ = false;
};

// Reads the plan into `reader`, telling faults as they come; false on a read error.
// A file that holds still (not a pipe or terminal) is read whole first, within the
// byte limit, so that its encoding is judged from all of it.
bool read_into(QFile& file, PlanReader& reader, FaultTeller& faults,
               const std::function<void()>& tell_encoding) {
    if (!file.isSequential()) {
        const QByteArray all = file.read(static_cast<qint64>(plan::kPlanLimits.bytes) + 1);
        if (file.error() != QFileDevice::NoError) {
            return false;
        }
        const std::string_view text(all.constData(), static_cast<std::size_t>(all.size()));
        reader.judged(plan::whole_encoding(text.substr(0, plan::kPlanLimits.bytes)));
        reader.feed(text);
        return true;
    }
    std::array<char, kChunkBytes> chunk{};
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkBytes);
        if (got < 0) {
            return false;
        }
        const bool more = got > 0 && reader.feed({chunk.data(), static_cast<std::size_t>(got)});
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
    QFile file;
    if (const auto fault = open_plan(file, path)) {
        say("tarvokctl：" + *fault + "\n");
        return std::nullopt;
    }
    PlanReader reader;
    FaultTeller faults(path);
    bool encoding_told = false;
    const auto tell_encoding = [&] {
        const PlanEncoding encoding = reader.encoding();
        if (!encoding_told && (verbose || encoding == PlanEncoding::gb18030)) {
            say("tarvokctl：计划文件" + echo(path) + "的编码为 " +
                std::string(plan::encoding_name(encoding)) + "\n");
            encoding_told = true;
        }
    };
    if (!read_into(file, reader, faults, tell_encoding)) {
        say("tarvokctl：" + plan::file_fault_words(plan::FileFault::read_error, path) +
            "，什么也没有发送\n");
        return std::nullopt;
    }
    reader.finish();
    tell_encoding();
    const Plan& plan = reader.plan();
    if (plan.title_line > 0) {
        say("tarvokctl：计划文件" + echo(path) + plan::title_words(plan.title_line) + "\n");
    }
    faults.tell_rest(plan);
    if (!plan.ok()) {
        return std::nullopt;
    }
    return plan.steps;
}

}  // namespace tarvok::cli
