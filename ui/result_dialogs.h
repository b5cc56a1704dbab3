// The two result windows: fm_cg says a change succeeded, fm_sb that it failed.
// Modeless top-level windows with no owner; their button only hides them, the
// title-bar close box destroys them.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tarvok::ui {

class fm_cg : public QWidget {
    Q_OBJECT

public:
    fm_cg();
    QLabel* Label1;
    QPushButton* cmd_queding;

    void cmd_queding_Click();

protected:
    void showEvent(QShowEvent* event) override;
};

class fm_sb : public QWidget {
    Q_OBJECT

public:
    fm_sb();
    QLabel* Label1;
    QPushButton* Command1;

    void Command1_Click();

protected:
    void showEvent(QShowEvent* event) override;
};

// One shared instance of each dialog, created on its first show and again after
// the close box destroyed it.
class ResultDialogs {
public:
    ResultDialogs() = default;
    ~ResultDialogs();
    ResultDialogs(const ResultDialogs&) = delete;
    ResultDialogs& operator=(const ResultDialogs&) = delete;

    void show_success();
    void show_failure();
    // Destroys both, shown or hidden.
    void dispose();

    fm_cg* success() const { return success_; }
    fm_sb* failure() const { return failure_; }

private:
    QPointer<fm_cg> success_;
    QPointer<fm_sb> failure_;
};

}  // namespace tarvok::ui
