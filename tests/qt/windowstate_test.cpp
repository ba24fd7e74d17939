// The window never locks up and never shows what is no longer true: real file
// dialogs during a command, the selection after the optimization steps, an
// emptied circuit, the contraction toggle, refusals before any dialog, refused
// files, dropped files and the layout on a small screen.

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/qt/drawingsurface.h"
#include "platform/qt/gateselector.h"
#include "platform/qt/logview.h"
#include "platform/qt/mainwindow.h"
#include "platform/qt/qtpresentation.h"
#include "workspace/workspace.h"
#include "windowtesting.h"

namespace {

// Answers modal boxes with OK and remembers them; file dialogs go to `fileDialog`.
struct Answers {
    QStringList messages;
    QStringList dialogClasses;
    QString chosenFile;  // empty: file dialogs are cancelled
    std::function<int(QFileDialog&)> fileDialog;

    int operator()(QDialog& dialog)
    {
        dialogClasses << dialog.metaObject()->className();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            messages << box->text();
            return QMessageBox::Ok;
        }
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            if (fileDialog)
                return fileDialog(*files);
            if (chosenFile.isEmpty())
                return QDialog::Rejected;
            files->selectFile(chosenFile);
            return QDialog::Accepted;
        }
        return QDialog::Accepted;
    }
};

QImage pictureOf(DrawingSurface& surface) { return surface.picture().copy(); }

bool isBlank(const QImage& picture)
{
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            if (picture.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// The lowest row of `picture` that holds anything but white; -1 when blank.
int lowestInkedRow(const QImage& picture)
{
    for (int y = picture.height() - 1; y >= 0; --y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != qRgb(255, 255, 255))
                return y;
    return -1;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class WindowStateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;
    Answers* answers = nullptr;

    void decompose() { QTest::mouseClick(window->Button3, Qt::LeftButton); }

private slots:
    void init()
    {
        auto shared = std::make_shared<Answers>();
        answers = shared.get();
        window = windowAnsweredBy(shared);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    // A file dialog opened inside a command: the name typed matches files, the
    // completion list shows, and Escape, Escape close the list and the dialog.
    void fileDialogCompletionListTakesKeysInsideACommand_data()
    {
        QTest::addColumn<QString>("menuEntry");
        QTest::addColumn<bool>("needsCircuit");  // exports of an empty circuit are refused before the dialog
        for (const char* entry : {"Open", "Save", "Import circuit (OpenQASM)...", "Import matrix (.npy)..."})
            QTest::newRow(entry) << QString(entry) << false;
        for (const char* entry : {"Export OpenQASM 3...", "Export OpenQASM 2.0...", "Export picture...",
                                  "Export picture of the gates shown..."})
            QTest::newRow(entry) << QString(entry) << true;
    }

    void fileDialogCompletionListTakesKeysInsideACommand()
    {
        QFETCH(QString, menuEntry);
        QFETCH(bool, needsCircuit);
        if (needsCircuit) {
            decompose();  // 2 qubits: a small circuit of basic gates, exportable in every format
            QVERIFY(window->workspace().pocetb1 > 0);
        }
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        for (const char* name : {"tab1.mat", "tab2.mat", "tab3.qasm", "tab4.npy"})
            writeFile(directory.filePath(name), "x");

        bool listShown = false;
        int result = 0;
        answers->fileDialog = [&](QFileDialog& files) {
            files.setNameFilter("All (*)");
            files.setDirectory(directory.path());
            QTimer::singleShot(0, &files, [&] {
                // The list completes from the dialog's own model, which reads the folder in
                // the background: type only once it holds the four files.
                auto* model = files.findChild<QFileSystemModel*>();
                const bool folderRead = model && QTest::qWaitFor([&] {
                    return model->rowCount(model->index(directory.path())) == 4;
                }, 20000);
                auto* name = files.findChild<QLineEdit*>("fileNameEdit");
                if (folderRead && name && name->completer()) {
                    QTest::keyClicks(name, "ta");
                    listShown = QTest::qWaitFor([&] { return name->completer()->popup()->isVisible(); }, 10000);
                }
                // Keys go where the window system sends them: to the open popup first.
                for (int escape = 0; escape < 2; ++escape) {
                    QWidget* receiver = QApplication::activePopupWidget();
                    QTest::keyClick(receiver ? receiver : files.focusWidget(), Qt::Key_Escape);
                    (void)QTest::qWaitFor([&] { return !QApplication::activePopupWidget(); }, 500);
                }
                // A locked dialog is ended by the test.
                QTimer::singleShot(3000, &files, [&] { static_cast<QDialog&>(files).done(-1); });
            });
            result = files.exec();
            return result;
        };
        QAction* entry = nullptr;
        for (QAction* action : {window->Otvori1, window->Uloi1, window->importQasm, window->importNpy,
                                window->exportQasm3, window->exportQasm2, window->exportPicture,
                                window->exportShownPicture})
            if (action->text() == menuEntry)
                entry = action;
        QVERIFY(entry);
        entry->trigger();
        QVERIFY(listShown);
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!QApplication::activePopupWidget());
    }

    // After "Show optimization steps" answered to the end, the frame, the
    // selector, "Selected Gate:" and "U:" agree on one gate.
    void optimizationStepsLeaveTheUsersSelection()
    {
        window->Zobroptimkroky->setChecked(true);
        decompose();
        QVERIFY(answers->messages.filter("Do you want to continue showing optimization steps?").size() > 0);
        const Workspace& ws = window->workspace();
        QCOMPARE(ws.selectedGate, window->UpDown1->position());
        QCOMPARE(window->Label8->text(), QString::number(ws.selectedGate));
        QCOMPARE(window->Label12->text().isEmpty(), ws.selectedGate == 0);
    }

    // Retyping the qubit count empties the circuit: the picture, the count,
    // the selection and the browsing controls say there is none.
    void anEmptiedCircuitIsNoLongerShown_data()
    {
        QTest::addColumn<QString>("qubits");
        QTest::newRow("same count") << "2";
        QTest::newRow("another count") << "3";
    }

    void anEmptiedCircuitIsNoLongerShown()
    {
        QFETCH(QString, qubits);
        decompose();
        QVERIFY(window->workspace().pocetb1 > 0);
        QVERIFY(!isBlank(pictureOf(*window->Image1)));
        typeQubits(*window, qubits);
        QCOMPARE(window->workspace().pocetb1, 0);
        QCOMPARE(window->Label11->text(), QString("0"));
        QCOMPARE(window->Label8->text(), QString("0"));
        QVERIFY(window->Label12->text().isEmpty());
        QVERIFY(!window->TrackBar1->isEnabled());
        QVERIFY(!window->UpDown1->isEnabled());
        QVERIFY(isBlank(pictureOf(*window->Image1)));
    }

    // The contraction toggle redraws, so the picture is the layout that clicks use.
    void contractionToggleRedrawsThePicture()
    {
        typeQubits(*window, "3");
        decompose();
        const QImage contracted = pictureOf(*window->Image1);
        window->Zuzeniezobrazenia1->trigger();
        QVERIFY(!window->Zuzeniezobrazenia1->isChecked());
        const QImage spread = pictureOf(*window->Image1);
        QVERIFY(spread != contracted);
        window->Zuzeniezobrazenia1->trigger();
        QCOMPARE(pictureOf(*window->Image1), contracted);
    }

    // Exports that cannot be made are refused before the file dialog.
    void exportsRefusedBeforeAnyFileDialog_data()
    {
        QTest::addColumn<int>("gateCount");
        QTest::addColumn<int>("controls");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("reason");
        QTest::newRow("OpenQASM 2.0, two controls") << 1 << 2 << "Export OpenQASM 2.0..." << "control";
        QTest::newRow("whole picture too tall") << 20000 << 0 << "Export picture..." << "too large to look at";
    }

    void exportsRefusedBeforeAnyFileDialog()
    {
        QFETCH(int, gateCount);
        QFETCH(int, controls);
        QFETCH(QString, entry);
        QFETCH(QString, reason);
        typeQubits(*window, "3");
        Workspace& ws = window->workspace();
        for (int g = 1; g <= gateCount; ++g) {
            TGATE1 gate{};
            gate.u = ws.pauliX;
            gate.type = static_cast<std::uint8_t>(controls);
            gate.target = 1;
            gate.controls[1] = 2;
            gate.controls[2] = 3;
            ws.gates[g] = gate;
        }
        ws.pocetb1 = gateCount;
        answers->chosenFile = QDir::temp().filePath("udecomp-refused-export");
        answers->messages.clear();
        for (QAction* action : {window->exportQasm2, window->exportPicture})
            if (action->text() == entry)
                action->trigger();
        QVERIFY(!answers->dialogClasses.contains("QFileDialog"));
        QCOMPARE(answers->messages.size(), 1);
        QVERIFY2(answers->messages[0].contains(reason), qPrintable(answers->messages[0]));
    }

    // What the window shows can always be exported, and the status bar says what was written.
    void theGatesShownAreExportedAsShown()
    {
        QTemporaryDir directory;
        decompose();
        window->TrackBar1->setValue(3);
        answers->chosenFile = directory.filePath("shown.svg");
        window->exportShownPicture->trigger();
        QFile svg(answers->chosenFile);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        QVERIFY(text.contains("id=\"gate-3\""));
        QVERIFY(!text.contains("id=\"gate-2\""));
        QVERIFY2(window->statusBar()->currentMessage().contains("gates 3 to"),
                 qPrintable(window->statusBar()->currentMessage()));
    }

    // Long work beside a command (encoding a tall picture): the busy bar and its
    // text show, the window keeps processing events, and the job's result or
    // error comes back; afterwards the bar is gone.
    void longWorkShowsProgressAndKeepsTheWindowAnswering()
    {
        QtPresentation& ui = window->presentation();
        std::atomic<bool> released{false};
        bool barShown = false;
        QString status;
        QTimer ticker;
        int ticks = 0;
        connect(&ticker, &QTimer::timeout, this, [&] {
            barShown = barShown || window->ProgressBar1->isVisible();
            status = window->statusBar()->currentMessage();
            if (++ticks == 3)
                released = true;
        });
        ticker.start(10);
        bool result = false;
        ui.runWindowCommand([&] {
            result = ui.runBeside("Writing the test picture...", [&] {
                // Ends only when the window's timer ran three times meanwhile.
                for (int waited = 0; waited < 5000 && !released; ++waited)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return released.load();
            });
        });
        ticker.stop();
        QVERIFY(result);
        QVERIFY(barShown);
        QCOMPARE(status, QString("Writing the test picture..."));
        QVERIFY(window->ProgressBar1->isHidden());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 ui.runBeside("Failing", []() -> bool { throw std::runtime_error("disk full"); }));
    }

    // Every refused matrix file says which file and why, and changes nothing.
    void refusedFilesAreNamedWithTheirReason_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\x01\xfe\xff\x10", 5);
        for (const char* size : {"0", "1", "2", "6", "65"})
            QTest::newRow(size) << QByteArray(size) + "\n";
    }

    void refusedFilesAreNamedWithTheirReason()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir directory;
        const QString path = directory.filePath("refused.mat");
        writeFile(path, content);
        const Workspace& ws = window->workspace();
        const auto entryBefore = ws.matrixA(1, 4);
        answers->chosenFile = path;
        window->Otvori1->trigger();
        QCOMPARE(answers->messages.size(), 1);
        QVERIFY2(answers->messages[0].contains(path), qPrintable(answers->messages[0]));
        QCOMPARE(window->Edit1->text(), QString("2"));
        QCOMPARE(ws.matrixA(1, 4).im, entryBefore.im);
    }

    // A dropped file does what its menu command does; any other file is refused.
    void droppedFilesOpenAsTheirCommands()
    {
        QTemporaryDir directory;
        const QString matrix = directory.filePath("three.mat");
        typeQubits(*window, "3");
        answers->chosenFile = matrix;
        window->Uloi1->trigger();
        const QString savedEntry = window->StringGrid1->item(0, 0) ? window->StringGrid1->item(0, 0)->text() : "";
        typeQubits(*window, "2");
        QCOMPARE(window->StringGrid1->rowCount(), 4);
        QVERIFY(!window->Edit1->acceptDrops());

        const auto drop = [&](const QString& path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window.get(), &dropped);
            QTest::qWait(20);
        };
        drop(matrix);
        QCOMPARE(window->Edit1->text(), QString("3"));
        QCOMPARE(window->StringGrid1->rowCount(), 8);
        QCOMPARE(window->StringGrid1->item(0, 0) ? window->StringGrid1->item(0, 0)->text() : "", savedEntry);

        const QString other = directory.filePath("notes.txt");
        writeFile(other, "hello");
        answers->messages.clear();
        drop(other);
        QCOMPARE(answers->messages.size(), 1);
        QVERIFY(answers->messages[0].contains(other));
        QCOMPARE(window->Edit1->text(), QString("3"));
    }

    // At 1366 x 768 the whole picture shows without scrolling; the grid has
    // its own scroll bars only; log lines wrap.
    void thePictureFitsASmallScreen()
    {
        window->resize(1366, 768 - 30);
        QTest::qWait(20);
        auto* scroll = qobject_cast<QScrollArea*>(window->Image1->parentWidget()->parentWidget());
        QVERIFY(scroll);
        QVERIFY2(scroll->viewport()->width() >= DrawingSurface::pictureWidth &&
                     scroll->viewport()->height() >= DrawingSurface::pictureHeight,
                 qPrintable(QString("%1 x %2").arg(scroll->viewport()->width()).arg(scroll->viewport()->height())));
        for (QWidget* up = window->StringGrid1->parentWidget(); up; up = up->parentWidget())
            QVERIFY(!qobject_cast<QAbstractScrollArea*>(up));
        QVERIFY(window->Memo1->lineWrapMode() != QPlainTextEdit::NoWrap);
    }

    // Maximized on a 1366 x 768 screen (a title bar above the window), every band
    // that fits the drawing area shows whole without scrolling: all its wires
    // and its label, nothing cut at the picture's lower edge, no scroll bar.
    // Where the picture cannot fit (1600 x 1000 at scale 1.5) it scrolls, and
    // every band drawn lies within its scrolled height.
    void noBandIsCutWhenMaximizedOnASmallScreen_data()
    {
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<QString>("qubits");
        QTest::addColumn<int>("bands");  // of the area 740 pixels high at the start-up zoom
        QTest::addColumn<bool>("lastBandUsed");  // a 2-qubit circuit fills one band only
        const QSize small(1366, 768 - 19);
        const QSize scaled(1066, 666 - 13);
        QTest::newRow("1366 x 768, 2") << small << "2" << 3 << false;
        QTest::newRow("1366 x 768, 3") << small << "3" << 2 << true;
        QTest::newRow("1366 x 768, 4") << small << "4" << 2 << true;
        QTest::newRow("1366 x 768, 5") << small << "5" << 2 << true;
        QTest::newRow("1600 x 1000 at 1.5, 4") << scaled << "4" << 2 << true;
        QTest::newRow("1600 x 1000 at 1.5, 5") << scaled << "5" << 2 << true;
    }

    void noBandIsCutWhenMaximizedOnASmallScreen()
    {
        QFETCH(QSize, windowSize);
        QFETCH(QString, qubits);
        QFETCH(int, bands);
        QFETCH(bool, lastBandUsed);
        window->resize(windowSize);
        typeQubits(*window, qubits);
        decompose();
        QTest::qWait(20);
        auto* scroll = qobject_cast<QScrollArea*>(window->Image1->parentWidget()->parentWidget());
        QVERIFY(scroll);
        const bool fits = scroll->maximumViewportSize().height() >= DrawingSurface::pictureHeight;
        QCOMPARE(fits, windowSize.height() > 700);
        QCOMPARE(scroll->verticalScrollBar()->isVisible(), !fits);
        const int shownHeight = fits ? std::min(window->Image1->height(), scroll->viewport()->height())
                                     : window->Image1->height();
        const QImage shown = pictureOf(*window->Image1).copy(0, 0, DrawingSurface::pictureWidth, shownHeight);

        QList<int> wireRows;
        const int pastLastColumn = shown.width() - 8;  // right of every gate and label
        for (int y = 0; y < shown.height(); ++y)
            if (qGray(shown.pixel(pastLastColumn, y)) < 128 && (y == 0 || qGray(shown.pixel(pastLastColumn, y - 1)) >= 128))
                wireRows << y;
        QCOMPARE(wireRows.size(), qubits.toInt() * bands);
        // The last band's label stands below its last wire, and the lowest row shown is blank.
        if (lastBandUsed)
            QVERIFY(!isBlank(shown.copy(0, wireRows.last() + 3, 80, shownHeight - wireRows.last() - 3)));
        QVERIFY2(lowestInkedRow(shown) < shownHeight - 1, qPrintable(QString("cut at y = %1").arg(shownHeight)));
    }

    // Zoomed out, the bands fill the whole drawing area: at 1366 x 768 the
    // picture then scrolls, and its last band, wires and label, can be reached.
    // Zoomed in again, it fits without scrolling as before.
    void everyBandCountedCanBeScrolledTo()
    {
        window->resize(1366, 768 - 19);
        typeQubits(*window, "3");
        decompose();
        window->TrackBar2->setValue(45);
        QTest::qWait(20);
        auto* scroll = qobject_cast<QScrollArea*>(window->Image1->parentWidget()->parentWidget());
        QVERIFY(scroll);
        QVERIFY(scroll->verticalScrollBar()->isVisible());
        const int reach = window->Image1->height();
        QVERIFY2(reach > scroll->viewport()->height(), qPrintable(QString::number(reach)));
        const QImage shown = pictureOf(*window->Image1).copy(0, 0, DrawingSurface::pictureWidth, reach);
        int wires = 0;
        const int pastLastColumn = shown.width() - 8;
        for (int y = 0; y < shown.height(); ++y)
            if (qGray(shown.pixel(pastLastColumn, y)) < 128 && (y == 0 || qGray(shown.pixel(pastLastColumn, y - 1)) >= 128))
                ++wires;
        QCOMPARE(wires, 3 * 8);
        QVERIFY2(lowestInkedRow(shown) < reach - 1, qPrintable(QString("cut at y = %1").arg(reach)));

        window->TrackBar2->setValue(125);
        QTest::qWait(20);
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
    }

    // In a narrow window (1600 x 1000 at scale 1.5) the captions of the side
    // column stay whole beside the largest numbers they show.
    void captionsAreNotCutByTheirNumbers()
    {
        window->resize(1066, 666 - 13);
        QtPresentation& ui = window->presentation();
        ui.setLabelText(Label::Label3, "146100");
        ui.setLabelText(Label::Label5, "146119");
        ui.setLabelText(Label::Label11, "146119");
        ui.setLabelText(Label::Label8, "146119");
        QTest::qWait(20);
        for (QLabel* label : {window->Label2, window->Label3, window->Label4, window->Label5, window->Label10,
                              window->Label11, window->Label6, window->Label7, window->Label9, window->Label8})
            QVERIFY2(label->width() >= label->sizeHint().width(),
                     qPrintable(QString("\"%1\" %2 < %3").arg(label->text()).arg(label->width()).arg(label->sizeHint().width())));
    }

    // The drawing keeps the workspace's area below the surface's edge: at 4 qubits
    // two bands show (8 wires), and no label of a band that no longer fits
    // stands in the blank below them.
    void theDrawingKeepsItsBandsOnTheSurface()
    {
        typeQubits(*window, "4");
        decompose();
        const QImage picture = pictureOf(*window->Image1);
        int wires = 0;
        bool onWire = false;
        const int pastLastColumn = picture.width() - 8;  // right of every gate and label
        for (int y = 0; y < picture.height(); ++y) {
            const bool dark = qGray(picture.pixel(pastLastColumn, y)) < 128;
            wires += dark && !onWire ? 1 : 0;
            onWire = dark;
        }
        QCOMPARE(wires, 8);
        // Band 2's label ends above y = 580; band 3's would be written below the surface.
        QVERIFY(isBlank(picture.copy(0, 580, picture.width(), picture.height() - 580)));
    }
};

QTEST_MAIN(WindowStateTest)
#include "windowstate_test.moc"
