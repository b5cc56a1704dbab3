// The window program's start, in the order main() runs it: what can be answered
// before any window system is touched (--help, --version, no display), the
// application object, then the process-wide look: the window's language, the
// Song-style face and the icon set.
#pragma once

#include <QIcon>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QApplication;
class QCoreApplication;
class QTranslator;
class QWidget;

namespace tarvok::app {

// Exit codes of the window program besides 0.
inline constexpr int kNoDisplay = 1;
inline constexpr int kUsage = 64;

// Answers --help and --version, refuses options that are neither ours nor Qt's
// (command_line.h), and refuses to start without a display, before Qt opens a
// connection to one. Returns the exit code when the program ends here.
std::optional<int> answer_before_gui(int argc, char** argv);

// The application object; a window system that cannot be reached ends the program
// with one sentence and kNoDisplay instead of Qt's abort.
std::unique_ptr<QApplication> make_application(int& argc, char** argv);

// Options Qt did not take for itself are not ours either: the exit code kUsage. Catches
// what the list of Qt's options in answer_before_gui lets through on a platform that
// does not take it (-display under Wayland).
std::optional<int> refuse_unknown_options(const QStringList& arguments);

// The window's words in the process's language (words/language.h). Chinese: the
// design's own words, and Qt's own texts (buttons, context menus, file dialogs) from
// Qt's Chinese translation. English: the window's English translation built into the
// program (ui/translations/), and Qt's texts as Qt writes them. Returns the translation
// installed (the application owns it; deleting it takes it back), or null.
QTranslator* load_translations(QCoreApplication& app);

// Name and version, the translations, the face "宋体" and the window icon.
void prepare(QApplication& app);

// Every size of the icon, so each screen and panel picks a sharp one.
QIcon window_icon();

// The whole of the window program's main(): the steps above, the main window, and the
// event loop, which SIGTERM, SIGHUP and SIGINT end as closing the window does, with
// 128 plus the signal's number (end_on_signals.h). `before_show` sees the window just
// before it is first shown.
int run_window(int argc, char** argv, const std::function<void(QWidget&)>& before_show = {});

}  // namespace tarvok::app
