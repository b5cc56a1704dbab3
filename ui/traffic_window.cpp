#include "ui/traffic_window.h"

#include "ui/windows.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QTimer>

#include "ui/controls.h"
#include "ui/design.h"

namespace tarvok::ui {

QWidget* make_traffic_window(Traffic& traffic, QWidget* parent) {
    return new TrafficWindow(traffic, parent);
}

namespace {

// Lines arrive up to once per eight bytes; the view takes them in batches so a
// flood costs one layout per batch, not one per line.
constexpr int kFlushMs = 50;

QString csv_field(QString text) {
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

}  // namespace

TrafficWindow::TrafficWindow(Traffic& traffic, QWidget* owner)
    : QWidget(owner, Qt::Window),
      view(new QPlainTextEdit(this)),
      dropped_note(new QLabel(this)),
      clear_button(new QPushButton(tr("清空"), this)),
      save_button(new QPushButton(tr("保存…"), this)),
      traffic_(traffic),
      flush_timer_(new QTimer(this)) {
    setWindowTitle(tr("通讯记录"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 420);
    view->setReadOnly(true);
    view->setFont(song(10.5));
    view->setMaximumBlockCount(static_cast<int>(Traffic::kMostEvents));
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    for (auto* button : {clear_button, save_button}) {
        button->setAutoDefault(false);
        press_on_enter(button);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dropped_note, 1);
    buttons->addWidget(clear_button);
    buttons->addWidget(save_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    flush_timer_->setSingleShot(true);
    flush_timer_->setInterval(kFlushMs);
    connect(flush_timer_, &QTimer::timeout, this, &TrafficWindow::flush);
    connect(clear_button, &QPushButton::clicked, this, &TrafficWindow::clear_all);
    connect(save_button, &QPushButton::clicked, this, &TrafficWindow::choose_file);
    connect(&traffic_, &Traffic::recorded, this, &TrafficWindow::append);
    pending_ = traffic_.events();
    flush();
}

void TrafficWindow::append(const TrafficEvent& event) {
    if (pending_.size() == Traffic::kMostEvents) {
        pending_.pop_front();  // would scroll out of the view unseen
    }
    pending_.push_back(event);
    if (!flush_timer_->isActive()) {
        flush_timer_->start();
    }
}

void TrafficWindow::flush() {
    if (!pending_.empty()) {
        QStringList lines;
        if (view->document()->isEmpty()) {
            lines.append(began_words(traffic_.began()));
        }
        for (const TrafficEvent& event : pending_) {
            lines.append(line(words(event)));
        }
        view->appendPlainText(lines.join(QLatin1Char('\n')));
        pending_.clear();
    }
    dropped_note->setText(traffic_.dropped() == 0
                              ? QString()
                              : tr("较早的 %1 条记录已丢弃，只保留最近 %2 条。")
                                    .arg(grouped(traffic_.dropped()),
                                         grouped(static_cast<qint64>(Traffic::kMostEvents))));
}

void TrafficWindow::clear_all() {
    traffic_.clear();
    pending_.clear();
    view->clear();
    flush();
}

void TrafficWindow::choose_file() {
    auto* dialog =
        new QFileDialog(this, tr("保存通讯记录"), QDir::home().filePath(tr("通讯记录.txt")),
                        tr("文本 (*.txt);;CSV (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &TrafficWindow::save_to);
    dialog->open();
}

QByteArray TrafficWindow::saved_form(bool csv) const {
    QStringList lines;
    if (csv) {
        lines.append(tr("记录开始,%1").arg(stamp_of(traffic_.began())));
        lines.append(tr("毫秒,类型,字节,说明"));
    } else {
        lines.append(began_words(traffic_.began()));
    }
    for (const TrafficEvent& event : traffic_.events()) {
        const TrafficWords w = words(event);
        lines.append(
            csv ? QStringList{QString::number(w.ms), w.kind, w.hex, csv_field(w.meaning)}.join(
                      QLatin1Char(','))
                : line(w));
    }
    // Spreadsheets on Windows read a CSV without a byte order mark in the local code
    // page, which garbles every Chinese word.
    const QByteArray mark = csv ? QByteArrayLiteral("\xEF\xBB\xBF") : QByteArray();
    return mark + (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

void TrafficWindow::save_to(const QString& path) {
    QSaveFile file(path);
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    if (file.open(QIODevice::WriteOnly) && file.write(saved_form(csv)) >= 0 && file.commit()) {
        return;
    }
    const QString why =
        file.error() == QFileDevice::PermissionsError ? tr("没有写入权限") : tr("无法写入");
    auto* box = new QMessageBox(QMessageBox::Warning, tr("提示"),
                                tr("通讯记录没有保存到 %1：%2，请换一个位置再试。").arg(path, why),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tarvok::ui
