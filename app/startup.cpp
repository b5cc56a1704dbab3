#include "app/startup.h"

#include <QApplication>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/end_on_signals.h"
#include "cmdline/error.h"
#include "ui/fonts.h"
#include "ui/main_form.h"
#include "words/language.h"

namespace tarvok::app {

namespace {

constexpr std::array kIconSizes{16, 24, 32, 48, 64, 128, 256};

// Said before or instead of any window, so in the Qt-free catalogues' way.
constexpr words::Text kNoDisplaySet = {
    "无法打开 Tarvok 窗口：没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置），"
    "请在桌面会话中运行。",
    "Cannot open the Tarvok window: there is no display (neither DISPLAY nor "
    "WAYLAND_DISPLAY is set); run it in a desktop session."};
constexpr words::Text kNoConnection = {
    "无法打开 Tarvok 窗口：连接不上图形显示“{}”，请检查 DISPLAY 设置或在桌面会话中运行。",
    "Cannot open the Tarvok window: the display \"{}\" cannot be reached; check DISPLAY "
    "or run it in a desktop session."};

void say(const std::string& sentence) { std::fprintf(stderr, "%s\n", sentence.c_str()); }
void say(const QString& sentence) { say(sentence.toStdString()); }

void name_application() {
    QCoreApplication::setApplicationName(QStringLiteral("tarvok"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVOK_VERSION));
}

// The exit code for a command line that is wrong, after saying why.
int refuse(const cmdline::Error& error) {
    say(cmdline::usage_line("tarvok", cmdline::error_text(error)));
    return kUsage;
}

// Loads a translation and lets it speak for the application; null when it is missing.
QTranslator* install(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

// The platform Qt will start: -platform beats QT_QPA_PLATFORM beats Debian's xcb.
QString requested_platform(const CommandLine& line) {
    if (!line.platform.empty()) {
        return QString::fromStdString(line.platform);
    }
    const QString variable = qEnvironmentVariable("QT_QPA_PLATFORM");
    return variable.isEmpty() ? QStringLiteral("xcb") : variable;
}

// True when every platform in the list is a window system (X11 or Wayland) and
// nothing names a display to connect to.
bool display_missing(const CommandLine& line) {
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || line.display_named) {
        return false;
    }
    const QStringList platforms = requested_platform(line).split(QLatin1Char(';'));
    return std::all_of(platforms.begin(), platforms.end(), [](const QString& entry) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        return name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland"));
    });
}

// Qt gives up on a platform it cannot start with a fatal message and an abort.
void no_window_on_fatal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        say(qFormatLogMessage(type, context, text));
        return;
    }
    const QString display = !qEnvironmentVariableIsEmpty("DISPLAY")
                                ? qEnvironmentVariable("DISPLAY")
                                : qEnvironmentVariable("WAYLAND_DISPLAY");
    say(QString::fromStdString(words::fill(words::pick(kNoConnection), {display.toStdString()})));
    std::_Exit(kNoDisplay);
}

// Every size of the icon, each decoded when first asked for: on most platforms
// nothing ever draws the window's icon (X11 asks for each size as the window is
// created). Everything is answered by the set itself, built on first use.
class IconOnDemand : public QIconEngine {
public:
    IconOnDemand() = default;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        files().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return files().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return files().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return files().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return files().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new IconOnDemand(*this); }

private:
    IconOnDemand(const IconOnDemand&) = default;

    const QIcon& files() {
        if (files_.isNull()) {
            for (const int size : kIconSizes) {
                files_.addFile(QStringLiteral(":/tarvok/icons/tarvok-%1.png").arg(size),
                               QSize(size, size));
            }
        }
        return files_;
    }

    QIcon files_;
};

// The arguments after the program's name that Qt's application object left.
std::vector<std::string> leftovers(const QStringList& arguments) {
    std::vector<std::string> args;
    for (const QString& argument : arguments.mid(1)) {
        args.push_back(argument.toStdString());
    }
    return args;
}

// The plan file named on the command line, once Qt has taken its own options out.
std::optional<QString> plan_argument(const QStringList& arguments) {
    const auto read = read_leftovers(leftovers(arguments));
    const auto* line = std::get_if<CommandLine>(&read);
    if (line == nullptr || line->plan.empty()) {
        return std::nullopt;
    }
    return QString::fromStdString(line->plan);
}

}  // namespace

std::optional<int> answer_before_gui(int argc, char** argv) {
    name_application();
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const auto read = read_command_line(args);
    if (const auto* error = std::get_if<cmdline::Error>(&read)) {
        return refuse(*error);
    }
    const auto& line = std::get<CommandLine>(read);
    switch (line.asked) {
    case Asked::help:
        std::fputs(help_text().c_str(), stdout);
        return 0;
    case Asked::version:
        std::fputs("tarvok " TARVOK_VERSION "\n", stdout);
        return 0;
    case Asked::window:
        break;
    }
    if (display_missing(line)) {
        say(std::string(words::pick(kNoDisplaySet)));
        return kNoDisplay;
    }
    return std::nullopt;
}

std::unique_ptr<QApplication> make_application(int& argc, char** argv) {
    qInstallMessageHandler(no_window_on_fatal);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(nullptr);
    return app;
}

std::optional<int> refuse_unknown_options(const QStringList& arguments) {
    if (const auto read = read_leftovers(leftovers(arguments));
        const auto* error = std::get_if<cmdline::Error>(&read)) {
        return refuse(*error);
    }
    return std::nullopt;
}

QTranslator* load_translations(QCoreApplication& app) {
    switch (words::language()) {
    case words::Language::chinese:
        return install(app, QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    case words::Language::english:
        break;
    }
    return install(app, QStringLiteral("tarvok_en"), QStringLiteral(":/tarvok/i18n"));
}

void prepare(QApplication& app) {
    name_application();
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvok"));
    load_translations(app);
    ui::register_song_face();
    QApplication::setWindowIcon(window_icon());
}

int run_window(int argc, char** argv, const std::function<void(QWidget&)>& before_show) {
    if (const auto code = answer_before_gui(argc, argv)) {
        return *code;
    }
    const auto app = make_application(argc, argv);
    if (const auto code = refuse_unknown_options(QApplication::arguments())) {
        return *code;
    }
    prepare(*app);
    ui::main_form form;
    form.setWindowIcon(QApplication::windowIcon());
    const EndOnSignals end_on_signals(form);
    if (before_show) {
        before_show(form);
    }
    form.show();
    if (const auto plan = plan_argument(QApplication::arguments())) {
        form.open_batch_file(*plan);
    }
    const int code = QApplication::exec();
    return end_on_signals.exit_code().value_or(code);
}

QIcon window_icon() { return QIcon(new IconOnDemand); }

}  // namespace tarvok::app
