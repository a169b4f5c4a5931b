// Vantor's entry point: reads the command line, builds the platform backend and the main window.
#include "core/shell/command_line.h"
#include "core/shell/control.h"
#include "platform/dryrun/dry_run_platform.h"
#include "platform/native.h"
#include "ui/common/app_context.h"
#include "ui/common/app_setup.h"
#include "ui/common/data_folder.h"
#include "ui/common/message_boxes.h"
#include "ui/common/single_instance.h"
#include "ui/common/twips.h"
#include "ui/control/remote_control.h"
#include "ui/control/session_bus.h"
#include "ui/main_window/main_window.h"
#include "ui/tray/tray_icon.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

// Without a display the windowing system would abort the program with a terse message; say plainly what
// is needed and how to see the window anyway.
bool GraphicalSessionMissing() {
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

// The standard output as a C++ stream, for the dry run's lines: each line is handed to WriteText whole
// when the stream is flushed (std::endl). Made only for a dry run: the streams of <iostream> are set up at
// every start of any program that includes it, and with them the C++ library's locale machinery, which
// brings half a megabyte of its code into memory for nothing.
class StdoutStream : public std::ostream {
public:
    StdoutStream() : std::ostream(&buf_) {}

private:
    class Buf : public std::streambuf {
    protected:
        int_type overflow(int_type c) override {
            if (!traits_type::eq_int_type(c, traits_type::eof())) {
                pending_ += traits_type::to_char_type(c);
            }
            return traits_type::not_eof(c);
        }
        std::streamsize xsputn(const char* s, std::streamsize n) override {
            pending_.append(s, static_cast<size_t>(n));
            return n;
        }
        int sync() override {
            vantor::WriteText(vantor::TextStream::Out, pending_);
            pending_.clear();
            return 0;
        }

    private:
        std::string pending_;
    };
    Buf buf_;
};

void PrintOut(const std::string& text) {
    vantor::WriteText(vantor::TextStream::Out, text);
}

void PrintError(const std::string& text) {
    vantor::WriteText(vantor::TextStream::Error, text);
}

// Height of the main window with the task panel closed.
constexpr int kClosedPanelTwips = 4395;

// Renders the window into the PNG once its size is what the program set (or after `triesLeft` waits of
// 10 ms), then ends the program: 0 when the picture was written, 1 otherwise.
void TakeScreenshotWhenSettled(vantor::ui::MainWindow& window, const QString& path, int triesLeft) {
    if (window.height() != vantor::ui::Twips(window.heightTwips()) && triesLeft > 0) {
        QTimer::singleShot(10, &window, [&window, path, triesLeft] {
            TakeScreenshotWhenSettled(window, path, triesLeft - 1);
        });
        return;
    }
    const QPixmap picture = window.grab();
    if (picture.isNull() || !picture.save(path, "PNG")) {
        PrintError("Could not write the screenshot to " + path.toStdString() + "\n");
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}

// A command for the copy running for this program folder: sent over its channel, the answer printed.
// Exit codes: those of the answer (0 done, 1 refused, 2 not understood), 1 when the running copy did not
// answer, 3 when no copy runs for the folder.
int SendControlCommand(vantor::Platform& platform, const vantor::ControlRequest& request) {
    const vantor::ui::ProgramFolder folder = vantor::ui::ChooseProgramFolder(platform, false);
    vantor::ui::SingleInstance instance(platform, folder.shown);
    if (instance.claim(false)) {
        PrintError("Vantor is not running for " + folder.path + "\n");
        return 3;
    }
    const vantor::ControlReply reply = instance.ask(vantor::FormatControlRequest(request));
    const std::optional<vantor::ControlAnswer> answer = reply.status == vantor::ControlReply::Status::Answered
                                                            ? vantor::ParseControlAnswer(reply.answer)
                                                            : std::nullopt;
    if (!answer) {
        PrintError("Vantor is running for this folder but did not answer.\n");
        return 1;
    }
    if (answer->outcome == vantor::ControlOutcome::Done) {
        PrintOut(answer->text);
    } else {
        PrintError(answer->text);
    }
    return vantor::ControlExitCode(answer->outcome);
}

} // namespace

int main(int argc, char* argv[]) {
    // Answered before anything needs a display: --help and --version work in any terminal.
    const vantor::CommandLine cl = vantor::ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    if (cl.action != vantor::CommandLine::Action::Run || cl.dryRun) {
        vantor::UseCallersConsole();
    }
    if (cl.action == vantor::CommandLine::Action::Invalid) {
        PrintError("vantor: " + cl.error + "\n\n" + vantor::HelpText());
        return 2;
    }
    if (cl.action == vantor::CommandLine::Action::Version) {
        PrintOut(vantor::VersionLine() + "\n");
        return 0;
    }
    // Declared before the platform that writes to it, so it outlives it.
    std::unique_ptr<StdoutStream> dryRunOut;
    std::unique_ptr<vantor::Platform> platform = vantor::CreateNativePlatform();
    if (cl.action == vantor::CommandLine::Action::Control) {
        return SendControlCommand(*platform, *cl.control);
    }
    if (cl.action == vantor::CommandLine::Action::Help) {
        const vantor::ui::ProgramFolder folder = vantor::ui::ChooseProgramFolder(*platform, false);
        // The folder as the system names it: its own bytes on Linux, UTF-8 like the rest on Windows, where
        // it is shown with the system's separators.
        std::string shown = folder.path;
        if (QDir::separator() == QLatin1Char('\\')) {
            std::replace(shown.begin(), shown.end(), '/', '\\');
        }
        PrintOut(vantor::HelpText(shown));
        return 0;
    }
    if (GraphicalSessionMissing()) {
        PrintError(std::string("Vantor needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set).\n"
                               "To see the window without one, render it into a picture (--dry-run: no "
                               "task acts\non this computer):\n"
                               "  QT_QPA_PLATFORM=offscreen ") +
                   argv[0] + " --dry-run --screenshot vantor.png\n");
        return 2;
    }
    vantor::ui::QuietQtNoise();
    QApplication app(argc, argv);
    QTranslator qtTranslations;
    vantor::ui::SetUpApplication(qtTranslations);

    const bool screenshotWanted = cl.screenshot.has_value();
    const QString screenshotPath = QFile::decodeName(cl.screenshot.value_or(std::string()).c_str());

    if (cl.dryRun) {
        dryRunOut = std::make_unique<StdoutStream>();
        platform = vantor::CreateDryRunPlatform(std::move(platform), *dryRunOut);
    }

    // Nobody can answer a message box in a headless picture run: each one is reported on the error
    // output and closed, so the start-up goes on to its end and the picture is still taken.
    QTimer boxCloser;
    if (screenshotWanted) {
        QObject::connect(&boxCloser, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (const auto* box = qobject_cast<QMessageBox*>(modal)) {
                    PrintError("Message closed for the screenshot: " + box->text().toStdString() + "\n");
                }
                modal->close();
            }
        });
        boxCloser.start(100);
    }

    // Chosen once: beside the program, or the user's own folder for an installed program.
    const vantor::ui::ProgramFolder folder = vantor::ui::ChooseProgramFolder(*platform, true);
    vantor::ui::AppContext context{*platform, folder.shown};
    context.folderPath = folder.path;
    context.folderDistrust = folder.distrust;
    context.folderDistrustedPath = folder.distrustedPath;
    context.dryRun = cl.dryRun;
    // A picture run may start beside a running copy, and a task due at once would act in it too.
    context.pictureOnly = screenshotWanted;
    // One running copy per program folder: a second start brings the running copy to the front and ends.
    // A picture run only reads the files and stays out of it.
    // Requests that come while this copy starts wait for its window to be ready.
    vantor::ui::SingleInstance instance(*platform, context.programFolder);
    if (!screenshotWanted && !instance.claim()) {
        platform->AllowForegroundHandOver();
        if (instance.activateRunningCopy()) {
            return 0;
        }
        PrintError("Vantor is already running for this folder and could not be reached.\n");
        vantor::ui::MessageBoxes::inform(nullptr,
                                         vantor::Message{"Vantor 已在运行，但无法与它取得联系。",
                                                         vantor::kNoticeTitle, vantor::MessageIcon::Warning});
        return 1;
    }
    vantor::ui::MainWindow window(context);
    QObject::connect(&instance, &vantor::ui::SingleInstance::activationRequested, window.tray(),
                     &vantor::ui::TrayIcon::restoreWindow);
    // The window exists first; the start-up runs; it is shown unless the start-up sent it to the tray.
    window.start();
    if (!window.tray()->iconShown()) {
        window.show();
    }
    vantor::ui::RemoteControl remote(window);
    instance.setResponder([&remote](const std::string& request) { return remote.answerLine(request); });
    const std::unique_ptr<QObject> bus = vantor::ui::OfferOnSessionBus(remote);

    if (screenshotWanted) {
        // Once start-up has finished. The task list is part of what the picture is for: a closed task
        // panel is opened first, as a click on "任务设置" would (the program ends right after), and the
        // picture is taken once the window system has given the window its new height.
        QTimer::singleShot(0, &window, [&window, screenshotPath] {
            if (window.heightTwips() == kClosedPanelTwips) {
                window.labTaskClick();
            }
            TakeScreenshotWhenSettled(window, screenshotPath, 200);
        });
    }
    return QApplication::exec();
}
