#include "plan/job_record.h"

#include "plan/plan_writer.h"
#include "plan/run_words.h"
#include "protocol/request.h"

namespace tarvok::plan {

namespace {

using W = RunWord;

// The plan's own words for its cells: the window's in Chinese, the aliases in English;
// the plan reader takes either.
PlanLanguage cell_language() {
    return words::language() == words::Language::english ? PlanLanguage::english
                                                         : PlanLanguage::chinese;
}

std::string row_text(const RecordRow& row) {
    const StepResult& r = row.result;
    const PlanRow cells = row_cells(r.step, cell_language());
    const bool sent = r.attempts > 0;
    std::string note = result_note(r);
    if (!row.notes.empty()) {
        note += (note.empty() ? std::string() : std::string(word(W::note_separator))) + row.notes;
    }
    std::string text = std::to_string(row.row);
    for (const std::string& cell :
         {cells.address, cells.setting, cells.channel, cells.value, cells.line, cells.remark,
          std::string(outcome_word(r.outcome)), std::string(outcome_name(r.outcome)),
          reply_ms_text(r), sent ? std::to_string(r.attempts) : std::string(),
          sent ? protocol::line_words(r.line) : std::string(), row.time, note}) {
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
            text += (text.empty() ? std::string() : std::string(word(W::tally_separator))) +
                    std::string(outcome_word(outcome)) + " " + std::to_string(t.of(outcome));
        }
    }
    return text;
}

}  // namespace

std::string job_words(const JobFacts& job) {
    return words::fill(word(W::job), {job.started, job.ended, std::to_string(job.port), job.device,
                                      protocol::line_words(job.line)});
}

std::string record_csv(const JobRecord& record) {
    const JobFacts& job = record.job;
    std::string text(kUtf8Mark);
    const std::string tally = words::fill(
        word(W::record_tally), {std::to_string(record.rows.size()), tally_text(record.rows)});
    for (const auto& [name, value] :
         {std::pair<std::string_view, std::string>{word(W::record_title), ""},
          {word(W::record_started), job.started},
          {word(W::record_ended), job.ended},
          {word(W::record_port), std::to_string(job.port)},
          {word(W::record_device), job.device},
          {word(W::record_line), protocol::line_words(job.line)},
          {word(W::record_summary), tally}}) {
        text += std::string(name) + (value.empty() ? "" : "," + csv_field(value)) + "\r\n";
    }
    text += "\r\n" + std::string(word(W::record_columns)) + "\r\n";
    for (const RecordRow& row : record.rows) {
        text += row_text(row);
    }
    return text;
}

}  // namespace tarvok::plan
