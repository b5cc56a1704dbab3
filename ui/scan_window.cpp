#include "ui/scan_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTreeWidget>

#include "bus/port_line.h"
#include "protocol/scan.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/value_words.h"
#include "ui/windows.h"

namespace tarvok::ui {

namespace {

enum ScanColumn { scan_address_column, scan_baud_column, scan_parity_column };

}  // namespace

QWidget* make_scan_window(PortOwner& owner, QWidget* parent) {
    return new ScanWindow(owner, parent);
}

ScanWindow::ScanWindow(PortOwner& owner, QWidget* parent)
    : QWidget(parent, Qt::Window),
      port_label(new QLabel(this)),
      current_line(new QRadioButton(this)),
      all_lines(new QRadioButton(tr("全部（%1 种波特率和校验位）")
                                     .arg(protocol::scan_lines(std::nullopt, std::nullopt).size()),
                                 this)),
      first_address(new QSpinBox(this)),
      last_address(new QSpinBox(this)),
      start_button(new QPushButton(tr("开始"), this)),
      stop_button(new QPushButton(tr("停止"), this)),
      progress(new QProgressBar(this)),
      status(new QLabel(this)),
      modules(new QTreeWidget(this)),
      copy_button(new QPushButton(tr("复制"), this)),
      save_button(new QPushButton(tr("保存…"), this)),
      batch_button(new QPushButton(tr("加入批量配置"), this)),
      note(new QLabel(this)),
      owner_(owner) {
    setWindowTitle(tr("扫描总线"));
    setFont(song(10.5));
    resize(440, 460);
    current_line->setChecked(true);
    for (QSpinBox* box : {first_address, last_address}) {
        box->setRange(0, 255);
    }
    last_address->setValue(255);
    modules->setHeaderLabels({tr("地址"), tr("波特率"), tr("校验位")});
    modules->setRootIsDecorated(false);
    modules->setSortingEnabled(true);
    modules->sortByColumn(scan_address_column, Qt::AscendingOrder);
    modules->header()->setSectionResizeMode(QHeaderView::Stretch);
    modules->setSelectionMode(QAbstractItemView::ExtendedSelection);
    copy_button->setToolTip(
        tr("把选中的模块（没有选中时为全部）以制表符分隔复制到剪贴板（Ctrl+C）"));
    save_button->setToolTip(tr("把选中的模块（没有选中时为全部）保存为 CSV 文件"));
    batch_button->setToolTip(
        tr("把选中的模块（没有选中时为全部）的地址和线路交给批量配置（Ctrl+B）"));
    note->setWordWrap(true);
    status->setWordWrap(true);
    start_button->setToolTip(
        tr("向每个地址发送一条通讯参数命令，内容正是发送时所用的波特率和校验位：模块按原设置回复，"
           "不会改变任何设置（模块可能把同样的值再保存一次）"));
    lay_out();
    name_controls();
    set_running(false);
    connect(start_button, &QPushButton::clicked, this, &ScanWindow::start);
    connect(stop_button, &QPushButton::clicked, this, &ScanWindow::stop);
    connect(modules, &QTreeWidget::itemActivated, this, &ScanWindow::use_module);
    connect(copy_button, &QPushButton::clicked, this, &ScanWindow::copy_modules);
    connect(save_button, &QPushButton::clicked, this, &ScanWindow::choose_file);
    connect(batch_button, &QPushButton::clicked, this, &ScanWindow::send_to_batch);
    auto* copy_key = new QShortcut(QKeySequence::Copy, modules, [this] { copy_modules(); });
    copy_key->setContext(Qt::WidgetWithChildrenShortcut);
    owner_.watch_choice(this, [this] { show_choices(); });
    show_choices();
}

ScanWindow::~ScanWindow() = default;

void ScanWindow::lay_out() {
    auto* range = new QHBoxLayout;
    auto* from = new QLabel(tr("起始地址"), this);
    auto* to = new QLabel(tr("结束地址"), this);
    caption_for(from, first_address);
    caption_for(to, last_address);
    for (QWidget* widget : std::initializer_list<QWidget*>{from, first_address, to, last_address}) {
        range->addWidget(widget);
    }
    range->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_button);
    buttons->addWidget(stop_button);
    buttons->addStretch(1);
    auto* found = new QHBoxLayout;
    for (QPushButton* button : {copy_button, save_button, batch_button}) {
        found->addWidget(button);
    }
    found->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget : std::initializer_list<QWidget*>{port_label, current_line, all_lines}) {
        layout->addWidget(widget);
    }
    layout->addLayout(range);
    layout->addLayout(buttons);
    layout->addWidget(progress);
    layout->addWidget(status);
    layout->addWidget(modules, 1);
    layout->addLayout(found);
    layout->addWidget(note);
}

void ScanWindow::name_controls() {
    for (QPushButton* button :
         {start_button, stop_button, copy_button, save_button, batch_button}) {
        button->setAutoDefault(false);
        button->setAccessibleName(button->text());
        press_on_enter(button);
    }
    progress->setAccessibleName(tr("扫描进度"));
    modules->setAccessibleName(tr("找到的模块"));
    status->setAccessibleName(tr("扫描状态"));
    note->setAccessibleName(tr("提示"));
}

// The choices name what they stand for now: the port and the line in the main window.
void ScanWindow::show_choices() {
    const auto choice = owner_.port_choice();
    const auto* chosen = std::get_if<PortChoice>(&choice);
    port_label->setText(chosen != nullptr ? tr("串口号：%1").arg(chosen->port) : tr("串口号：？"));
    current_line->setText(chosen != nullptr
                              ? tr("当前波特率和校验位（%1）").arg(line_text(chosen->line))
                              : tr("当前波特率和校验位"));
    current_line->setAccessibleName(tr("当前波特率和校验位"));
}

void ScanWindow::progressed(int done, int /*total*/, std::uint8_t address) {
    progress->setValue(done);
    if (!stopping_) {
        status->setText(tr("正在扫描 %1 · 地址 %2 · 已找到 %3 个模块")
                            .arg(line_now_)
                            .arg(address)
                            .arg(modules->topLevelItemCount()));
    }
}

void ScanWindow::module_found(const bus::FoundModule& module) {
    auto* item = new QTreeWidgetItem;
    item->setData(scan_address_column, Qt::DisplayRole, module.address);
    item->setData(scan_baud_column, Qt::DisplayRole, module.line.baud);
    item->setText(scan_parity_column, parity_text(module.line.parity));
    item->setData(scan_parity_column, Qt::UserRole, static_cast<int>(module.line.parity));
    if (module.late) {
        item->setToolTip(scan_address_column, tr("回复迟到，但只能是对这个地址的回复"));
    }
    modules->addTopLevelItem(item);
}

void ScanWindow::found_again(const bus::FoundModule& first, const protocol::LineSetting& again) {
    note->setText(
        QString::fromStdString(protocol::found_again_words(first.address, first.line, again)));
}

// The module's address goes to 模块地址; its line to 波特率 and 校验位 while the port
// is closed, or, while it is open at another line, a word that it must be reopened.
void ScanWindow::use_module(const QTreeWidgetItem* item) {
    const auto address =
        static_cast<std::uint8_t>(item->data(scan_address_column, Qt::DisplayRole).toInt());
    const protocol::LineSetting line{
        item->data(scan_baud_column, Qt::DisplayRole).toUInt(),
        static_cast<protocol::Parity>(item->data(scan_parity_column, Qt::UserRole).toInt())};
    const auto said = owner_.use_module(address, line);
    note->setText(said.value_or(QString()));
}

void ScanWindow::set_running(bool running) {
    start_button->setEnabled(!running);
    batch_button->setEnabled(!running);
    stop_button->setEnabled(running);
    for (QWidget* choice :
         std::initializer_list<QWidget*>{current_line, all_lines, first_address, last_address}) {
        choice->setEnabled(!running);
    }
}

// Closing stops the scan; the window goes once the port is back where it was.
void ScanWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!scanning()) {
        deleteLater();
        return;
    }
    close_when_done_ = true;
    stop();
}

void ScanWindow::showEvent(QShowEvent* event) {
    close_when_done_ = false;
    QWidget::showEvent(event);
}

}  // namespace tarvok::ui
