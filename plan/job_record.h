// The record of a job, for people to keep: when it ran, on which port and device, at
// which line, and every setting with its outcome and the time it came. Facts in, CSV
// text out (UTF-8 with a byte-order mark, so spreadsheets read the Chinese right), the
// same from the window's 批量配置 and from tarvokctl --record. Times come in as text
// made by the front end (local time, kTimePattern), so the room needs no clock.
// Headings, outcome words, lines and notes are in the process's language, for the
// technician who keeps it; a setting's cells are plan words (the window's in Chinese,
// the aliases in English), and the outcome has a column of machine words too (done,
// refused, no-reply, unconfirmed, not-sent), --json's, the same in every language. The
// columns stand in the same order in every language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plan/step_result.h"

namespace tarvok::plan {

// The pattern of QDateTime::toString that makes every time of a record:
// "2026-12-07 14:03:05".
inline constexpr std::string_view kTimePattern = "yyyy-MM-dd HH:mm:ss";

struct JobFacts {
    std::string started;  // when the job began
    std::string ended;    // when its last run ended; empty while one runs
    int port = 0;
    std::string device;
    protocol::LineSetting line;  // the run's own line
};

struct RecordRow {
    int row = 0;  // the setting's row in its table, or its line in its plan file
    StepResult result;
    std::string time;   // when its outcome came; empty when it never went out
    std::string notes;  // what its exchange met after its outcome (late, duplicate replies)
};

struct JobRecord {
    JobFacts job;
    std::vector<RecordRow> rows;
};

// "2026-12-07 14:03:05 至 2026-12-07 14:03:41 · 串口 1（/dev/pts/3）· 9600 无校验";
// "… to … · port 1 (/dev/pts/3) · 9600 no parity".
std::string job_words(const JobFacts& job);

std::string record_csv(const JobRecord& record);

}  // namespace tarvok::plan
