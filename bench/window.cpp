// The Decomposition button in the window against the same command without one:
// a seeded random matrix of 4 and of 5 qubits decomposed through the Qt
// presentation (the shown main window, its progress bar, log and picture) and
// through the headless presentation, run alternately; prints the medians and
// their ratio. Runs on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise (under Xvfb: QT_QPA_PLATFORM=xcb xvfb-run bench/bench_window).
//
//   bench_window [repetitions] [qubits...]      default: 5 repetitions, 4 and 5 qubits
//   bench_window --click
//       shows the window, prints where the qubit field and the Decomposition
//       button are on the screen, and for every real click on the button the
//       time from the press to the end of the command, painted
//       (scripts/measure-window-click drives it with xdotool under Xvfb).
//   bench_window --exports [repetitions]
//       File > Export picture... of the largest whole circuit the window
//       accepts (the longest start of a 5-qubit circuit whose picture is at
//       most largestSensiblePictureHeight tall) as SVG and as PNG, and its
//       refusal of the whole circuit, at the smallest and the starting zoom.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QSlider>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/headlesspresentation.h"
#include "platform/qt/mainwindow.h"
#include "platform/qt/qtpresentation.h"
#include "ui/circuitdrawing.h"
#include "ui/circuitpicture.h"
#include "ui/commands.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

constexpr std::uint64_t seed = 20261208;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double secondsSince(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e9; }

struct Times {
    std::vector<double> window;
    std::vector<double> headless;
    int windowGates = 0;
    int headlessGates = 0;
};

Times measure(int qubits, int repetitions)
{
    MainWindow window;
    window.show();
    QApplication::processEvents();
    Workspace& ws = window.workspace();
    QtPresentation& ui = window.presentation();
    ws.random.fixSeed(seed);
    ui.setQubitFieldText(std::to_string(qubits));
    window.Edit1->setText(QString::number(qubits));
    Edit1Change(ws, ui);
    QApplication::processEvents();
    const auto input = std::make_unique<TMATICA1>(ws.matrixA);

    HeadlessPresentation headless;
    headless.recordEvents = false;
    headless.recordingCanvas.recording = false;
    auto headlessWs = createWorkspace(headless);
    headless.setQubitFieldText(std::to_string(qubits));
    Edit1Change(*headlessWs, headless);
    headlessWs->matrixA = *input;

    Times times;
    QElapsedTimer clock;
    for (int run = 0; run < repetitions; ++run) {
        headlessWs->matrixA = *input;
        headless.log.clear();
        clock.start();
        Button3Click(*headlessWs, headless);
        times.headless.push_back(secondsSince(clock));
        times.headlessGates = headlessWs->pocetb1;

        ws.matrixA = *input;
        clock.start();
        window.Button3->click();
        QApplication::processEvents();  // whatever is left to paint counts too
        times.window.push_back(secondsSince(clock));
        times.windowGates = ws.pocetb1;
    }
    return times;
}

// Starts the clock when the real press on the button arrives.
class PressClock : public QObject {
public:
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress && event->spontaneous())
            clock.start();
        return false;
    }
};

int runClicks()
{
    MainWindow window;
    window.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QApplication::processEvents();
    PressClock press;
    window.Button3->installEventFilter(&press);
    // Connected after the window's own command, so it runs when that has ended.
    QObject::connect(window.Button3, &QPushButton::clicked, [&] {
        const double seconds = press.clock.isValid() ? secondsSince(press.clock) : 0.0;
        std::printf("clicked %d qubits %d gates %.3f s\n", window.workspace().qubitCount, window.workspace().pocetb1,
                    seconds);
        std::fflush(stdout);
    });
    const auto centre = [](const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); };
    std::printf("field %d %d\nbutton %d %d\n", centre(window.Edit1).x(), centre(window.Edit1).y(),
                centre(window.Button3).x(), centre(window.Button3).y());
    std::fflush(stdout);
    return QApplication::exec();
}

// The largest gate count whose whole picture the export accepts.
int largestAcceptedCount(const Workspace& ws, const Presentation& ui, int count)
{
    const auto accepted = [&](int n) {
        const auto layout = circuitPictureLayout(windowDrawingView(ws, ui), ws.gates, n);
        return layout && layout->height <= largestSensiblePictureHeight;
    };
    int low = 0;  // accepted
    int high = count + 1;  // refused (or beyond the circuit)
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (accepted(middle) ? low : high) = middle;
    }
    return low;
}

int runExports(int repetitions)
{
    MainWindow window;
    window.show();
    QApplication::processEvents();
    Workspace& ws = window.workspace();
    QtPresentation& ui = window.presentation();
    QTemporaryDir directory;
    QString chosenFile;
    int boxes = 0;
    ui.modalHook = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(chosenFile);
            return int(QDialog::Accepted);
        }
        ++boxes;
        return int(QDialog::Accepted);
    };
    ws.random.fixSeed(seed);
    window.Edit1->setText("5");
    Edit1Change(ws, ui);
    window.Button3->click();
    QApplication::processEvents();
    const int wholeCount = ws.pocetb1;

    const auto timeExport = [&](const QString& name) {
        chosenFile = directory.filePath(name);
        QElapsedTimer clock;
        clock.start();
        window.exportPicture->trigger();
        QApplication::processEvents();
        return secondsSince(clock);
    };
    std::printf("platform %s, 5 qubits, %d gates, %d repetitions, medians\n", qPrintable(QApplication::platformName()),
                wholeCount, repetitions);
    for (const int zoom : {window.TrackBar2->minimum(), window.TrackBar2->value()}) {
        window.TrackBar2->setValue(zoom);
        QApplication::processEvents();
        ws.pocetb1 = wholeCount;
        std::vector<double> refusal;
        boxes = 0;
        for (int run = 0; run < repetitions; ++run)
            refusal.push_back(timeExport("refused.svg"));
        const bool refused = boxes == repetitions && !QFile::exists(directory.filePath("refused.svg"));

        ws.pocetb1 = largestAcceptedCount(ws, ui, wholeCount);
        const auto layout = circuitPictureLayout(windowDrawingView(ws, ui), ws.gates, ws.pocetb1);
        std::vector<double> svg;
        std::vector<double> png;
        for (int run = 0; run < repetitions; ++run) {
            svg.push_back(timeExport("largest.svg"));
            png.push_back(timeExport("largest.png"));
        }
        std::printf("zoom %d %%: whole circuit %s in %.3f s; largest accepted %d gates, %d x %d pixels: "
                    "SVG %.3f s (%lld bytes), PNG %.3f s (%lld bytes)\n",
                    zoom, refused ? "refused" : "NOT refused", median(refusal), ws.pocetb1, layout ? layout->width : 0,
                    layout ? layout->height : 0, median(svg), QFile(directory.filePath("largest.svg")).size(),
                    median(png), QFile(directory.filePath("largest.png")).size());
        std::fflush(stdout);
        ws.pocetb1 = wholeCount;
    }
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("udecomp");

    const QStringList arguments = QApplication::arguments();
    if (arguments.contains("--click"))
        return runClicks();
    if (arguments.contains("--exports"))
        return runExports(arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 5);
    const int repetitions = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 5;
    std::vector<int> qubitCounts;
    for (qsizetype i = 2; i < arguments.size(); ++i)
        qubitCounts.push_back(arguments[i].toInt());
    if (qubitCounts.empty())
        qubitCounts = {4, 5};

    std::printf("platform %s, %d repetitions, medians\n", qPrintable(QApplication::platformName()), repetitions);
    for (const int qubits : qubitCounts) {
        const Times times = measure(qubits, repetitions);
        const double window = median(times.window);
        const double headless = median(times.headless);
        std::printf("%d qubits: window %.3f s, headless %.3f s, ratio %.2f (gates %d / %d)\n", qubits, window, headless,
                    window / headless, times.windowGates, times.headlessGates);
        std::fflush(stdout);
    }
    return EXIT_SUCCESS;
}
