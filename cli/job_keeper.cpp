#include "cli/job_keeper.h"

#include <QDateTime>
#include <QSaveFile>

#include "plan/plan_words.h"
#include "plan/run_words.h"

namespace tarvok::cli {

namespace {

std::string now() {
    return QDateTime::currentDateTime()
        .toString(QString::fromLatin1(plan::kTimePattern.data(),
                                      static_cast<qsizetype>(plan::kTimePattern.size())))
        .toStdString();
}

}  // namespace

JobKeeper::JobKeeper(int port, std::string device, const protocol::LineSetting& line)
    : job_{now(), {}, port, std::move(device), line} {}

void JobKeeper::finished(const plan::StepResult& /*result*/) {
    times_.push_back(now());
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
        notes += (notes.empty() ? "" : "；") + note;
    }
}

const plan::JobFacts& JobKeeper::end() {
    job_.ended = now();
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
    QSaveFile file(QString::fromLocal8Bit(path.c_str()));
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) ==
            static_cast<qint64>(text.size()) &&
        file.commit()) {
        return std::nullopt;
    }
    const std::string why =
        file.error() == QFileDevice::PermissionsError ? "没有写入权限" : "无法写入";
    return "记录文件" + plan::echo(path) + "没有写成（" + why +
           "）：设置已经发送，结果见上；请换一个位置再用 --record";
}

}  // namespace tarvok::cli
