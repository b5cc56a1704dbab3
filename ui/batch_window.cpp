#include "ui/batch_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

#include <algorithm>

#include "bus/port_line.h"
#include "plan/run_words.h"
#include "ui/batch_cells.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/text.h"
#include "ui/value_words.h"
#include "ui/windows.h"

namespace tarvok::ui {

BatchWindowParts make_batch_window(PortOwner& owner, QWidget* parent) {
    auto* window = new BatchWindow(owner, parent);
    return {window, window};
}

BatchWindow::BatchWindow(PortOwner& owner, QWidget* parent)
    : QWidget(parent, Qt::Window),
      port_label(new QLabel(this)),
      addresses(new QLineEdit(this)),
      channels(new QComboBox(this)),
      setting(new QComboBox(this)),
      value(new QComboBox(this)),
      add_button(new QPushButton(tr("添加"), this)),
      delete_button(new QPushButton(tr("删除行"), this)),
      up_button(new QPushButton(tr("上移"), this)),
      down_button(new QPushButton(tr("下移"), this)),
      open_button(new QPushButton(tr("打开…"), this)),
      save_button(new QPushButton(tr("保存…"), this)),
      start_button(new QPushButton(tr("开始"), this)),
      stop_button(new QPushButton(tr("停止"), this)),
      retry_button(new QPushButton(tr("重试失败的行"), this)),
      record_button(new QPushButton(tr("保存结果…"), this)),
      copy_button(new QPushButton(tr("复制"), this)),
      table(new QTableWidget(0, kBatchColumns, this)),
      progress(new QProgressBar(this)),
      status(new QLabel(this)),
      note(new QLabel(this)),
      owner_(owner) {
    setWindowTitle(tr("批量配置"));
    setFont(song(10.5));
    resize(960, 600);
    addresses->setPlaceholderText(tr("如 1-8,12"));
    channels->setEditable(true);
    channels->addItems({QStringLiteral("1-8"), QStringLiteral("1-16"), QStringLiteral("1-32"),
                        cell_choices(channel_column, {}).constLast()});
    channels->setToolTip(tr("一路（3）、范围（1-8，每路一行）或 全部（一帧）"));
    setting->addItems(cell_choices(setting_column, {}));
    table->setHorizontalHeaderLabels(batch_headers());
    table->setItemDelegate(new CellChoices(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for the words each column holds; 说明 takes the rest.
    constexpr std::array<int, kBatchColumns - 1> kWidths = {60, 80, 70, 110, 110, 110, 60, 70, 70};
    for (std::size_t column = 0; column < kWidths.size(); ++column) {
        table->setColumnWidth(static_cast<int>(column), kWidths.at(column));
    }
    // 结果 as wide as the longest outcome word of the language shown ("no reply").
    const QFontMetrics metrics(table->font());
    int widest = 0;
    for (std::size_t outcome = 0; outcome < plan::kOutcomeNames.size(); ++outcome) {
        const auto word = plan::outcome_word(static_cast<plan::Outcome>(outcome));
        widest = std::max(widest, metrics.horizontalAdvance(from(word)));
    }
    table->setColumnWidth(outcome_column, std::max(table->columnWidth(outcome_column),
                                                   widest + 2 * metrics.averageCharWidth()));
    table->setWordWrap(false);
    for (QLabel* label : {status, note}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    lay_out();
    add_keys();
    name_controls();
    fill_values();
    set_running(false);
    connect(setting, &QComboBox::currentIndexChanged, this, &BatchWindow::fill_values);
    connect(add_button, &QPushButton::clicked, this, &BatchWindow::add_generated);
    connect(addresses, &QLineEdit::returnPressed, this, &BatchWindow::add_generated);
    connect(delete_button, &QPushButton::clicked, this, &BatchWindow::delete_rows);
    connect(up_button, &QPushButton::clicked, this, [this] { move_rows(-1); });
    connect(down_button, &QPushButton::clicked, this, [this] { move_rows(1); });
    connect(copy_button, &QPushButton::clicked, this, &BatchWindow::copy_rows);
    connect(start_button, &QPushButton::clicked, this, &BatchWindow::start);
    connect(stop_button, &QPushButton::clicked, this, &BatchWindow::stop);
    connect(retry_button, &QPushButton::clicked, this, &BatchWindow::retry_failed);
    connect(open_button, &QPushButton::clicked, this,
            [this] { choose_file(false, tr("打开计划"), {}, &BatchWindow::open_chosen); });
    connect(save_button, &QPushButton::clicked, this, [this] {
        choose_file(true, tr("保存计划"), tr("计划.csv"), &BatchWindow::save_chosen);
    });
    connect(record_button, &QPushButton::clicked, this, [this] {
        const QString name =
            tr("批量配置记录 %1.csv")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmm")));
        choose_file(true, tr("保存结果"), name, &BatchWindow::record_chosen);
    });
    connect(table, &QTableWidget::cellChanged, this, &BatchWindow::cell_changed);
    owner_.watch_choice(this, [this] { show_choices(); });
    show_choices();
}

BatchWindow::~BatchWindow() = default;

void BatchWindow::lay_out() {
    auto* generator = new QGroupBox(tr("添加"), this);
    auto* made = new QHBoxLayout(generator);
    const std::array<std::pair<QString, QWidget*>, 4> boxes = {{{tr("地址"), addresses},
                                                                {tr("通道"), channels},
                                                                {tr("设置"), setting},
                                                                {tr("值"), value}}};
    for (const auto& [caption, box] : boxes) {
        auto* label = new QLabel(caption, generator);
        caption_for(label, box);
        made->addWidget(label);
        made->addWidget(box, box == addresses ? 2 : 1);
    }
    made->addWidget(add_button);
    const auto row_of = [](std::initializer_list<QWidget*> widgets) {
        auto* row = new QHBoxLayout;
        for (QWidget* widget : widgets) {
            row->addWidget(widget);
        }
        row->addStretch(1);
        return row;
    };
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(port_label);
    layout->addWidget(generator);
    layout->addLayout(row_of({open_button, save_button, delete_button, up_button, down_button}));
    layout->addWidget(table, 1);
    layout->addLayout(
        row_of({start_button, stop_button, retry_button, record_button, copy_button}));
    layout->addWidget(progress);
    layout->addWidget(status);
    layout->addWidget(note);
}

// F5 starts and Esc stops, as the buttons say; the table's own keys work where the
// table has the focus, so a cell being edited keeps Delete, Ctrl+C and the arrows.
void BatchWindow::add_keys() {
    const auto key = [this](QKeySequence keys, QWidget* on, auto slot) {
        auto* shortcut = new QShortcut(keys, on, slot);
        shortcut->setContext(on == this ? Qt::WindowShortcut : Qt::WidgetWithChildrenShortcut);
        return shortcut;
    };
    key(QKeySequence(Qt::Key_F5), this, [this] { start_button->click(); });
    stop_key_ = key(QKeySequence(Qt::Key_Escape), this, [this] { stop(); });
    key(QKeySequence::Open, this, [this] { open_button->click(); });
    key(QKeySequence::Save, this, [this] { save_button->click(); });
    key(QKeySequence::Copy, table, [this] { copy_rows(); });
    key(QKeySequence::Delete, table, [this] { delete_button->click(); });
    key(QKeySequence(Qt::ALT | Qt::Key_Up), table, [this] { up_button->click(); });
    key(QKeySequence(Qt::ALT | Qt::Key_Down), table, [this] { down_button->click(); });
    start_button->setToolTip(tr("按表中各行逐项发送（F5）"));
    stop_button->setToolTip(tr("进行中的一项结束后停下（Esc）"));
    open_button->setToolTip(tr("打开 tarvokctl 使用的计划文件（Ctrl+O）"));
    save_button->setToolTip(tr("把表中各行保存为计划文件（Ctrl+S）"));
    copy_button->setToolTip(tr("把选中的行以制表符分隔复制到剪贴板（Ctrl+C）"));
    delete_button->setToolTip(tr("删除选中的行（Delete）"));
    up_button->setToolTip(tr("选中的行上移（Alt+↑）"));
    down_button->setToolTip(tr("选中的行下移（Alt+↓）"));
}

void BatchWindow::name_controls() {
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setAccessibleName(button->text());
        press_on_enter(button);
    }
    table->setAccessibleName(tr("计划各行"));
    progress->setAccessibleName(tr("进度"));
    status->setAccessibleName(tr("状态"));
    note->setAccessibleName(tr("提示"));
}

void BatchWindow::show_choices() {
    const auto choice = owner_.port_choice();
    const auto* chosen = std::get_if<PortChoice>(&choice);
    port_label->setText(chosen != nullptr ? tr("串口号：%1 · %2（主窗口的串口号、波特率和校验位）")
                                                .arg(chosen->port)
                                                .arg(line_text(chosen->line))
                                          : tr("串口号：？"));
}

// The value list follows the setting; a line setting takes no channel.
void BatchWindow::fill_values() {
    value->clear();
    value->addItems(cell_choices(value_column, setting->currentText()));
    const auto* kind = plan::find_kind(setting->currentText().toStdString());
    channels->setEnabled(!running() && !(kind && kind->value == protocol::Kind::line));
}

void BatchWindow::set_running(bool running) {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{addresses, setting, value, add_button, delete_button,
                                         up_button, down_button, open_button, start_button}) {
        widget->setEnabled(!running);
    }
    retry_button->setEnabled(!running && job_.has_value());
    record_button->setEnabled(!running && job_.has_value());
    stop_button->setEnabled(running);
    stop_key_->setEnabled(running);
    table->setEditTriggers(running ? QAbstractItemView::NoEditTriggers
                                   : QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed);
    fill_values();
}

void BatchWindow::say(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, tr("提示"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void BatchWindow::choose_file(bool save, const QString& title, const QString& name,
                              void (BatchWindow::*then)(const QString&)) {
    auto* dialog =
        new QFileDialog(this, title, QDir::home().filePath(name), tr("CSV (*.csv);;所有文件 (*)"));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, then);
    dialog->open();
}

// Closing stops a run; the window goes once the port is back where it was.
void BatchWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!running()) {
        deleteLater();
        return;
    }
    close_when_done_ = true;
    stop();
}

void BatchWindow::showEvent(QShowEvent* event) {
    close_when_done_ = false;
    QWidget::showEvent(event);
}

}  // namespace tarvok::ui
