// The main window: the PC port group, the module address and the three setting
// groups, with the serial line MSComm1 and the reply store recv_buf.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>

#include "form/design.h"
#include "ui/module1.h"
#include "ui/ms_comm.h"
#include "ui/port_owner.h"
#include "ui/result_dialogs.h"
#include "ui/traffic.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvok::ui {

class BatchInbox;
class SpinArrows;
class WireWatch;

class main_form : public QWidget, public PortOwner {
    Q_OBJECT

public:
    explicit main_form(QWidget* parent = nullptr);
    ~main_form() override;
    main_form(const main_form&) = delete;
    main_form& operator=(const main_form&) = delete;

    // Controls, named as the window design names them.
    QLabel* Label3;
    QLineEdit* chuankou_num;
    SpinArrows* VScroll2;
    QPushButton* open_comm;
    QLabel* Label2;
    QComboBox* Combo3;
    QLabel* Label4;
    QComboBox* Combo7;
    QLabel* Label5;
    QLineEdit* add;
    SpinArrows* VScroll1;
    QGroupBox* Frame1;
    QLabel* Label7;
    QLabel* Label8;
    QComboBox* Combo2;
    QPushButton* Command1;
    QGroupBox* Frame2;
    QLabel* Label9;
    QLabel* Label10;
    QComboBox* Combo4;
    QPushButton* Command2;
    QGroupBox* Frame3;
    QLabel* Label11;
    QComboBox* Combo5;
    QLabel* Label12;
    QComboBox* Combo6;
    QPushButton* Command3;
    std::array<QComboBox*, 2> Combo1{};

    MSComm* MSComm1;
    // The last reply's eight bytes, as MSComm1_OnComm read them.
    protocol::Frame recv_buf{};

    ResultDialogs& dialogs() { return dialogs_; }
    // "通讯记录", opened with F12, Ctrl+L or the background's context menu; null
    // until first opened and after it was closed.
    QWidget* traffic_window() const { return traffic_window_; }
    void open_traffic_window();
    // "扫描总线", opened with Ctrl+F or the background's context menu; null until
    // first opened and after it was closed.
    QWidget* scan_window() const { return scan_window_; }
    void open_scan_window();
    // "批量配置", opened with Ctrl+B or the background's context menu, or with a plan
    // file (tarvok PLAN.csv); null until first opened and after it was closed.
    QWidget* batch_window() const { return batch_window_; }
    void open_batch_window();
    void open_batch_file(const QString& path);
    Module1& module1() { return module1_; }
    // The control the design names.
    QWidget* widget(form::Id id) const;

    // Lending the port to the windows that work on it (ui/port_owner.h).
    std::variant<PortChoice, QString> port_choice() const override;
    void watch_choice(QObject* context, std::function<void()> changed) override;
    serial::Port& lend() override;
    bool lent() const override { return MSComm1->lent(); }
    bool open_before_loan() const override { return open_before_loan_; }
    std::optional<QString> give_back() override;
    Traffic& traffic() override { return traffic_; }
    std::optional<QString> use_module(std::uint8_t address,
                                      const protocol::LineSetting& line) override;
    void open_batch_with(const std::vector<KnownModule>& modules) override;

    // Event handlers.
    void Form_Load();
    void open_comm_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void MSComm1_OnComm();
    void add_Change();
    void VScroll1_Change();
    void chuankou_num_Change();
    void VScroll2_Change();

    // Procedures.
    void init_lists();
    void show_result();
    void port_opened_ui();
    void port_closed_ui();

signals:
    // After a reply passed the check and its dialog was shown; for observers such
    // as tests and measurements.
    void result_shown(bool success);

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the design puts a control: this window or one of its frames.
    QWidget* in(form::Id id) const;
    void set_tab_order();
    void name_controls();
    void connect_handlers();
    void add_shortcuts();
    void follow_text(const QLineEdit* box, SpinArrows* arrows);
    void follow_arrows(QLineEdit* box, const SpinArrows* arrows);
    void finish_editing(QLineEdit* box, const SpinArrows* arrows);
    void MSComm1_Lost(const serial::SerialError& error);
    // The buttons that would use the port rest while it is lent.
    void rest_port_buttons(bool rest);
    protocol::LineSetting chosen_line() const;
    void fail_open(const QString& message);
    void report(SendResult result);
    void show_error(const QString& message);

    ResultDialogs dialogs_;
    Traffic traffic_;
    WireWatch* watch_;
    QPointer<QWidget> traffic_window_;
    QPointer<QWidget> scan_window_;
    QPointer<QWidget> batch_window_;
    BatchInbox* batch_inbox_ = nullptr;  // batch_window_'s, while it lives
    bool following_text_ = false;        // the spin value is being set from typed text
    bool open_before_loan_ = false;
    Module1 module1_;
};

}  // namespace tarvok::ui
