// 批量配置's files: plan files opened and saved in the format tarvokctl reads, the
// scan's modules taken in as rows, and the job saved as a record.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTableWidget>

#include "plan/plan_input.h"
#include "plan/plan_table.h"
#include "plan/plan_words.h"
#include "plan/plan_writer.h"
#include "plan/run_words.h"
#include "protocol/number_text.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"
#include "ui/text.h"
#include "ui/traffic.h"

namespace tarvok::ui {

namespace {

std::string path_text(const QString& path) { return path.toStdString(); }

// The bytes, or the sentence why there are none.
std::variant<QByteArray, QString> read_plan(const QString& path) {
    const auto fault = [&path](plan::FileFault f) {
        return from(plan::file_fault_words(f, path_text(path)));
    };
    const QFileInfo info(path);
    if (!info.exists()) {
        return fault(plan::FileFault::missing);
    }
    if (info.isDir()) {
        return fault(plan::FileFault::folder);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fault(plan::FileFault::unreadable);
    }
    QByteArray bytes = file.read(static_cast<qint64>(plan::kPlanLimits.bytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        return fault(plan::FileFault::read_error);
    }
    return bytes;
}

// Writes `text` whole or not at all; the sentence when it could not.
std::optional<QString> write_file(const QString& path, const std::string& text,
                                  const QString& what) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) ==
            static_cast<qint64>(text.size()) &&
        file.commit()) {
        return std::nullopt;
    }
    const QString why = file.error() == QFileDevice::PermissionsError
                            ? BatchWindow::tr("没有写入权限")
                            : BatchWindow::tr("无法写入");
    return BatchWindow::tr("%1没有保存到 %2：%3，请换一个位置再试。").arg(what, path, why);
}

}  // namespace

void BatchWindow::open_plan(const QString& path) {
    if (running()) {
        return;
    }
    auto read = read_plan(path);
    if (const auto* why = std::get_if<QString>(&read)) {
        say(*why);
        return;
    }
    load(std::get<QByteArray>(read), path);
}

void BatchWindow::load(const QByteArray& bytes, const QString& path) {
    const plan::PlanTable plan_table =
        plan::read_table({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    const QString name = QFileInfo(path).fileName();
    if (!plan_table.ok()) {
        QStringList lines{tr("计划文件“%1”有误，没有打开：").arg(name)};
        for (const plan::PlanError& fault : plan_table.faults) {
            lines.append(from(plan::error_words(fault)));
        }
        if (plan_table.more_faults > 0) {
            lines.append(tr("还有 %n 处有误", nullptr, plan_table.more_faults));
        }
        say(lines.join(QLatin1Char('\n')));
        return;
    }
    table->setRowCount(0);
    results_.clear();
    job_.reset();
    set_running(false);
    for (const plan::TableRow& row : plan_table.rows) {
        append_row(row.cells);
    }
    QStringList said{tr("已打开“%1”：%n 行", nullptr, table->rowCount()).arg(name)};
    if (plan_table.encoding == plan::PlanEncoding::gb18030) {
        said.append(
            tr("编码为 %1").arg(from(std::string(plan::encoding_name(plan_table.encoding)))));
    }
    if (plan_table.title_line > 0) {
        said.append(from(plan::title_words(plan_table.title_line)));
    }
    status->setText(tr("%1。").arg(said.join(tr("，"))));
    show_faults();
}

bool BatchWindow::save_plan(const QString& path) {
    std::vector<plan::PlanRow> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        rows.push_back(cells_of(row));
    }
    if (const auto failed = write_file(path, plan::write_rows(rows, plan_language()), tr("计划"))) {
        say(*failed);
        return false;
    }
    status->setText(tr("计划已保存到 %1（%n 行）。", nullptr, int(rows.size())).arg(path));
    return true;
}

bool BatchWindow::save_record(const QString& path) {
    if (!job_) {
        say(tr("还没有运行过：按“开始”运行之后，再保存结果。"));
        return false;
    }
    plan::JobRecord record{*job_, {}};
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const auto shown = results_.find(row_id(row)); shown != results_.end()) {
            record.rows.push_back(plan::RecordRow{row + 1, shown->second.result, shown->second.time,
                                                  shown->second.notes});
        }
    }
    if (const auto failed = write_file(path, plan::record_csv(record), tr("运行记录"))) {
        say(*failed);
        return false;
    }
    status->setText(
        tr("运行记录已保存到 %1（%n 行）。", nullptr, int(record.rows.size())).arg(path));
    return true;
}

// The modules become rows that name them and their line; the generator then fills
// those rows for the addresses it is given, which are theirs.
void BatchWindow::take_modules(const std::vector<KnownModule>& modules) {
    if (running() || modules.empty()) {
        return;
    }
    std::vector<std::uint8_t> list;
    for (const KnownModule& module : modules) {
        known_lines_[module.address] = module.line;
        list.push_back(module.address);
        plan::PlanRow row;
        row.address = std::to_string(module.address);
        row.line = line_cell(module.line).toStdString();
        append_row(row);
    }
    addresses->setText(from(protocol::address_list_text(list)));
    note->setText(
        tr("已加入扫描找到的 %n 个模块。选好通道、设置和值后按“添加”，"
           "为它们各生成设置（按各自的线路）；也可以在表中直接填写。",
           nullptr, int(modules.size())));
    raise();
    activateWindow();
}

QString BatchWindow::stamp() { return stamp_of(QDateTime::currentDateTime()); }

// "共 32 项：成功 30，失败 1，无应答 1。可按“重试失败的行”再发失败的行。"
QString BatchWindow::tally_words() const {
    std::vector<plan::StepResult> shown;
    for (const auto& [id, row] : results_) {
        shown.push_back(row.result);
    }
    const plan::Tally t = plan::tally(shown);
    QStringList parts;
    for (std::size_t i = 0; i < plan::kOutcomeNames.size(); ++i) {
        const auto outcome = static_cast<plan::Outcome>(i);
        if (t.of(outcome) > 0) {
            parts.append(from(plan::outcome_word(outcome)) + QLatin1Char(' ') +
                         QString::number(t.of(outcome)));
        }
    }
    const bool failed = t.of(plan::Outcome::done) < static_cast<int>(shown.size());
    return tr("共 %n 项：%1。", nullptr, int(shown.size())).arg(parts.join(tr("，"))) +
           (failed ? tr("可按“重试失败的行”再发没有成功的行，或按“保存结果…”留下记录。")
                   : tr("可按“保存结果…”留下记录。"));
}

}  // namespace tarvok::ui
