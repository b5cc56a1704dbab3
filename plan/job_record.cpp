#include "plan/job_record.h"

#include "plan/plan_writer.h"
#include "plan/run_words.h"

namespace tarvok::plan {

namespace {

constexpr std::string_view kColumns =
    "行,地址,设置,通道,值,线路,备注,结果,结果代码,应答毫秒,发送次数,发送线路,时间,说明";

std::string row_text(const RecordRow& row) {
    const StepResult& r = row.result;
    const PlanRow cells = row_cells(r.step, PlanLanguage::chinese);
    const bool sent = r.attempts > 0;
    std::string note = result_note(r);
    if (!row.notes.empty()) {
        note += (note.empty() ? "" : "；") + row.notes;
    }
    std::string text = std::to_string(row.row);
    for (const std::string& cell :
         {cells.address, cells.setting, cells.channel, cells.value, cells.line, cells.remark,
          std::string(outcome_word(r.outcome)), std::string(outcome_name(r.outcome)),
          reply_ms_text(r), sent ? std::to_string(r.attempts) : std::string(),
          sent ? line_text(r.line) : std::string(), row.time, note}) {
        text += "," + csv_field(cell);
    }
    return text + "\r\n";
}

std::string tally_text(const std::vector<RecordRow>& rows) {
    std::vector<StepResult> results;
    results.reserve(rows.size());
    for (const RecordRow& row : rows) {
        results.push_back(row.result);
    }
    const Tally t = tally(results);
    std::string text;
    for (std::size_t i = 0; i < kOutcomeNames.size(); ++i) {
        const auto outcome = static_cast<Outcome>(i);
        if (t.of(outcome) > 0) {
            text += (text.empty() ? "" : "，") + std::string(outcome_word(outcome)) + " " +
                    std::to_string(t.of(outcome));
        }
    }
    return text;
}

}  // namespace

std::string job_words(const JobFacts& job) {
    return job.started + " 至 " + job.ended + " · 串口 " + std::to_string(job.port) + "（" +
           job.device + "）· " + line_text(job.line);
}

std::string record_csv(const JobRecord& record) {
    const JobFacts& job = record.job;
    std::string text(kUtf8Mark);
    for (const auto& [name, value] : {std::pair<std::string_view, std::string>{"批量配置记录", ""},
                                      {"开始", job.started},
                                      {"结束", job.ended},
                                      {"串口号", std::to_string(job.port)},
                                      {"设备", job.device},
                                      {"线路", line_text(job.line)},
                                      {"汇总", "共 " + std::to_string(record.rows.size()) +
                                                   " 项：" + tally_text(record.rows)}}) {
        text += std::string(name) + (value.empty() ? "" : "," + csv_field(value)) + "\r\n";
    }
    text += "\r\n" + std::string(kColumns) + "\r\n";
    for (const RecordRow& row : record.rows) {
        text += row_text(row);
    }
    return text;
}

}  // namespace tarvok::plan
