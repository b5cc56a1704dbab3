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

#include "bus/traffic_words.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/text.h"

namespace tarvok::ui {

QWidget* make_traffic_window(Traffic& traffic, QWidget* parent) {
    return new TrafficWindow(traffic, parent);
}

namespace {

// Lines arrive up to once per eight bytes; the view takes them in batches so a
// flood costs one layout per batch, not one per line.
constexpr int kFlushMs = 50;

using bus::TrafficWord;

QString said(TrafficWord id) { return from(bus::word(id)); }

}  // namespace

TrafficWindow::TrafficWindow(Traffic& traffic, QWidget* owner)
    : QWidget(owner, Qt::Window),
      view(new QPlainTextEdit(this)),
      dropped_note(new QLabel(this)),
      clear_button(new QPushButton(said(TrafficWord::clear), this)),
      save_button(new QPushButton(said(TrafficWord::save), this)),
      traffic_(traffic),
      flush_timer_(new QTimer(this)) {
    setWindowTitle(said(TrafficWord::title));
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
            lines.append(from(bus::traffic_line(bus::traffic_words(event))));
        }
        view->appendPlainText(lines.join(QLatin1Char('\n')));
        pending_.clear();
    }
    dropped_note->setText(from(bus::dropped_words(traffic_.dropped())));
}

void TrafficWindow::clear_all() {
    traffic_.clear();
    pending_.clear();
    view->clear();
    flush();
}

void TrafficWindow::choose_file() {
    auto* dialog = new QFileDialog(
        this, said(TrafficWord::save_title), QDir::home().filePath(said(TrafficWord::file_name)),
        said(TrafficWord::text_files) + QStringLiteral(" (*.txt);;CSV (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &TrafficWindow::save_to);
    dialog->open();
}

void TrafficWindow::save_to(const QString& path) {
    QSaveFile file(path);
    const std::string saved =
        bus::saved_traffic(traffic_.events(), stamp_of(traffic_.began()).toStdString(),
                           bus::saved_as_csv(path.toStdString()));
    if (file.open(QIODevice::WriteOnly) &&
        file.write(saved.data(), static_cast<qint64>(saved.size())) >= 0 && file.commit()) {
        return;
    }
    const std::string why = std::string(bus::word(file.error() == QFileDevice::PermissionsError
                                                      ? TrafficWord::no_permission
                                                      : TrafficWord::cannot_write));
    auto* box = new QMessageBox(
        QMessageBox::Warning, tr("提示"),
        from(tarvok::words::fill(bus::word(TrafficWord::not_saved), {path.toStdString(), why})),
        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tarvok::ui
