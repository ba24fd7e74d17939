// The main window on the offscreen platform: start-up state and the commands
// as the user reaches them. Modal boxes are answered through the presentation.

#include <QAbstractFileIconProvider>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "platform/qt/aboutwindow.h"
#include "platform/qt/comparisonwindow.h"
#include "platform/qt/drawingsurface.h"
#include "platform/qt/gatematrixdialog.h"
#include "platform/qt/gateselector.h"
#include "engine/endstage.h"
#include "platform/qt/mainwindow.h"
#include "platform/qt/userguidewindow.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"
#include "windowtesting.h"

namespace {

// The driver's first line of a run, as Qt counts it in the log.
QString runStartLine()
{
    return QString::fromUtf8(driverText::runStart.data(), static_cast<qsizetype>(driverText::runStart.size()));
}

struct SeenMessage {
    QString text;
    QMessageBox::Icon icon;
};

// Answers every modal box: messages with OK, questions from a script, file
// dialogs with a chosen path, the gate dialog with OK. Remembers what it saw.
struct ModalAnswers {
    QList<SeenMessage> messages;
    QStringList dialogClasses;  // every modal box and window, by class
    QList<bool> questionAnswers;  // taken from the front; OK when empty
    QString chosenFile;           // empty: file dialogs are cancelled
    QString fileDialogTitle;
    QStringList fileDialogFilters;
    QStringList fileDialogProposal;
    std::function<void(GateMatrixDialog&)> fillGateDialog;
    std::function<void(QMessageBox&)> whileMessageShown;
    std::function<void(QFileDialog&)> whileFileDialogShown;

    int operator()(QDialog& dialog)
    {
        dialogClasses << dialog.metaObject()->className();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            messages.append({box->text(), box->icon()});
            if (whileMessageShown)
                whileMessageShown(*box);
            const bool isQuestion = box->standardButtons().testFlag(QMessageBox::Cancel);
            if (isQuestion && !questionAnswers.isEmpty() && !questionAnswers.takeFirst())
                return QMessageBox::Cancel;
            return QMessageBox::Ok;
        }
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            fileDialogTitle = files->windowTitle();
            fileDialogFilters = files->nameFilters();
            fileDialogProposal = files->selectedFiles();
            if (whileFileDialogShown)
                whileFileDialogShown(*files);
            if (chosenFile.isEmpty())
                return QDialog::Rejected;
            files->selectFile(chosenFile);
            return QDialog::Accepted;
        }
        if (auto* gate = qobject_cast<GateMatrixDialog*>(&dialog)) {
            if (fillGateDialog)
                fillGateDialog(*gate);
            return QDialog::Accepted;
        }
        return QDialog::Accepted;
    }
};

QString cell(const MainWindow& w, int column, int row)
{
    if (row == 0)
        return w.StringGrid1->horizontalHeaderItem(column - 1)->text();
    if (column == 0)
        return w.StringGrid1->verticalHeaderItem(row - 1)->text();
    const QTableWidgetItem* item = w.StringGrid1->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void postClick(QWidget* widget, QPoint at)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(widget, new QMouseEvent(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                                                            type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                             : Qt::NoButton,
                                                            Qt::NoModifier));
}

int nonWhitePixels(DrawingSurface& surface)
{
    const QImage& picture = surface.picture();
    int count = 0;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            count += picture.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    return count;
}

// With UDECOMP_SCREENSHOT_DIR set, keeps a picture of the window for a person to look at.
void keepScreenshot(QWidget& window, const char* name)
{
    const QString directory = qEnvironmentVariable("UDECOMP_SCREENSHOT_DIR");
    if (!directory.isEmpty())
        window.grab().save(QDir(directory).filePath(QString(name) + ".png"));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;
    ModalAnswers* answers = nullptr;

private slots:
    void init()
    {
        auto shared = std::make_shared<ModalAnswers>();
        answers = shared.get();
        window = windowAnsweredBy(shared);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void startsWithTheDefaultMatrixAndItsControlsAtRest()
    {
        keepScreenshot(*window, "startup");
        QCOMPARE(window->windowTitle(), QString("Decomposition of unitary matrices into Quantum Logic Circuits"));
        QCOMPARE(window->StringGrid1->columnCount() + 1, 5);
        QCOMPARE(window->StringGrid1->rowCount() + 1, 5);
        QVERIFY(window->StringGrid1->isVisible());
        QVERIFY(!window->Image1->isVisible());
        QCOMPARE(cell(*window, 4, 1), QString("-1.00i"));
        QCOMPARE(cell(*window, 3, 2), QString("-1.00i"));
        QCOMPARE(cell(*window, 2, 3), QString("1.00i"));
        QCOMPARE(cell(*window, 1, 4), QString("1.00i"));
        QCOMPARE(cell(*window, 1, 1), QString());
        const QStringList labels{"00", "01", "10", "11"};
        for (int r = 1; r <= 4; ++r) {
            QCOMPARE(cell(*window, 0, r), labels[r - 1]);
            QCOMPARE(cell(*window, r, 0), labels[r - 1]);
        }
        QCOMPARE(window->StringGrid1->horizontalHeader()->defaultSectionSize(), 70);
        QCOMPARE(window->StringGrid1->verticalHeader()->defaultSectionSize(), 35);

        QVERIFY(window->roboptim->isChecked());
        QVERIFY(!window->Kontrolptimkrok1->isChecked());
        QVERIFY(!window->Zobroptimkroky->isChecked());
        QVERIFY(window->Zuzeniezobrazenia1->isChecked());

        QVERIFY(!window->TrackBar1->isEnabled());
        QVERIFY(!window->TrackBar2->isEnabled());
        QVERIFY(!window->UpDown1->isEnabled());
        QCOMPARE(window->TrackBar2->value(), 125);
        QCOMPARE(window->Label7->text(), QString("1,00"));
        QCOMPARE(window->ComboBox1->currentIndex(), -1);
        QCOMPARE(window->ComboBox1->placeholderText(), QString("basic gates"));
        // The box's items are the end stages' own, in the order of their indices.
        const QStringList items{"basic gates", "L1(U) gates", "Generalized Toffoli gates", "basic gates, fewest CNOTs",
                                "basic gates, fewest CNOTs, numerical"};
        QCOMPARE(window->ComboBox1->count(), items.size());
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(window->ComboBox1->itemText(i), items[i]);
            QCOMPARE(window->ComboBox1->itemText(i).toStdString(), std::string(endStageOfBox(i).itemText));
        }
        QCOMPARE(window->presentation().endStage(), -1);
        QCOMPARE(window->Edit1->text(), QString("2"));
        // Hidden, yet holding its place: a computation paints it at once when it shows it.
        QVERIFY(!window->ProgressBar1->isVisible());
        QVERIFY(window->ProgressBar1->width() > 0);

        QCOMPARE(window->userGuideWindow->windowTitle(), QString("Form4"));
        QCOMPARE(window->userGuideWindow->text->toPlainText().split('\n').size(), 28);
        QCOMPARE(window->aboutWindow->windowTitle(), QString("Info o programe"));
        QCOMPARE(window->aboutWindow->picture().size(), QSize(512, 384));
    }

    void qubitFieldEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lastMessage");
        QTest::addColumn<int>("gridSize");
        QTest::newRow("empty") << "" << "The number of Qubits has to be a number > 1" << 5;
        QTest::newRow("0") << "0" << "The number of Qubits has to be a number > 1" << 5;
        QTest::newRow("1") << "1" << "The number of Qubits has to be a number > 1" << 5;
        QTest::newRow("-1") << "-1" << "The number of Qubits has to be a number > 1" << 5;
        QTest::newRow("3") << "3" << "" << 9;
        QTest::newRow("6") << "6" << "The number of Qubits has to be smaller than 5." << 5;
    }

    void qubitFieldEdits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, lastMessage);
        QFETCH(int, gridSize);
        typeQubits(*window, typed);
        if (lastMessage.isEmpty()) {
            // Clearing the field first was refused; the accepted count says nothing more.
            QCOMPARE(answers->messages.size(), 1);
            QVERIFY(window->Memo1->toPlainText().contains("The unitary matrix was randomly generated."));
        } else {
            QVERIFY(!answers->messages.isEmpty());
            QCOMPARE(answers->messages.back().text, lastMessage);
            QCOMPARE(answers->messages.back().icon, QMessageBox::Information);
        }
        QCOMPARE(window->StringGrid1->columnCount() + 1, gridSize);
        QCOMPARE(window->StringGrid1->rowCount() + 1, gridSize);
        QCOMPARE(window->workspace().matrixSize, gridSize - 1);
        QVERIFY(window->StringGrid1->isVisible());
    }

    void generateShowsANewMatrix()
    {
        window->presentation().setGridVisible(false);
        QTest::mouseClick(window->Button5, Qt::LeftButton);
        keepScreenshot(*window, "generated");
        QVERIFY(window->StringGrid1->isVisible());
        QVERIFY(window->Memo1->toPlainText().contains("The unitary matrix was randomly generated."));
        QVERIFY(cell(*window, 4, 1) != QString("-1.00i") || cell(*window, 1, 1) != QString());
    }

    void decompositionDrawsAndTheBrowsingControlsRedraw()
    {
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        keepScreenshot(*window, "decomposed-startup");
        QVERIFY(window->Image1->isVisible());
        QVERIFY(!window->StringGrid1->isVisible());
        QVERIFY(window->Button3->isEnabled());
        QVERIFY(window->TrackBar1->isEnabled());
        QVERIFY(window->TrackBar2->isEnabled());
        QVERIFY(window->UpDown1->isEnabled());
        QVERIFY(window->Label11->text().toInt() > 0);
        QCOMPARE(window->TrackBar1->maximum(), window->workspace().pocetb1);
        QVERIFY(nonWhitePixels(*window->Image1) > 100);
        const QImage atStartZoom = window->Image1->picture().copy();

        window->TrackBar2->setValue(45);
        QCOMPARE(window->workspace().zoom, 0.45);
        QCOMPARE(window->Label7->text(), QString("0.45"));
        QVERIFY2(window->Image1->picture() != atStartZoom, "redrawn at the new zoom");

        // The selector selects the gate it shows after the press.
        QTest::mouseClick(window->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(window->Label8->text(), QString("1"));
        QCOMPARE(window->workspace().selectedGate, 1);
        const auto matrixShown = [&] {
            return window->Label12->text() + window->Label13->text() + window->Label14->text() +
                   window->Label15->text();
        };
        QVERIFY(!matrixShown().isEmpty());
        QTest::mouseClick(window->UpDown1->downButton(), Qt::LeftButton);
        QCOMPARE(window->workspace().selectedGate, 0);
        QVERIFY(matrixShown().isEmpty());
        QVERIFY(answers->messages.isEmpty());

        // A click on gate 1's glyph (column 1 on its target wire, zoom 0.45) selects it.
        const int target = window->workspace().gates[1].target;
        QTest::mouseClick(window->Image1, Qt::LeftButton, {}, QPoint(10 + 16, 10 + qRound(40 * target * 0.45)));
        QCOMPARE(window->workspace().selectedGate, 1);
        QCOMPARE(window->Label8->text(), QString("1"));
        QVERIFY(!matrixShown().isEmpty());
        QTest::mouseClick(window->Image1, Qt::LeftButton, {}, QPoint(990, 590));
        QCOMPARE(window->workspace().selectedGate, 1);
    }

    void inputArrivingDuringACommandIsDroppedNotReplayed()
    {
        // Clicks made while the decomposition computes wait in the event queue.
        postClick(window->Button3, window->Button3->rect().center());
        QAction* fileEntry = window->menuBar()->actions().front();
        postClick(window->menuBar(), window->menuBar()->actionGeometry(fileEntry).center());
        window->Button3->click();
        QCoreApplication::processEvents();
        QCOMPARE(window->Memo1->toPlainText().count(runStartLine()), 1);
        QVERIFY2(QApplication::activePopupWidget() == nullptr, "the File menu stays closed");

        // Outside a command the same clicks act.
        postClick(window->Button3, window->Button3->rect().center());
        QCoreApplication::processEvents();
        QCOMPARE(window->Memo1->toPlainText().count(runStartLine()), 2);
    }

    void aMessageInsideACommandStillTakesInput()
    {
        bool closedByKey = false;
        window->presentation().modalHook = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                QTest::keyClick(&dialog, Qt::Key_Escape);
                closedByKey = !dialog.isVisible();
            });
            QTimer::singleShot(5000, &dialog, &QDialog::reject);  // a dropped key must fail, not hang
            return dialog.exec();
        };
        typeQubits(*window, "6");
        QVERIFY(closedByKey);
        QCOMPARE(window->workspace().qubitCount, 2);
    }

    void keyboardReachesTheCommands()
    {
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(answers->fileDialogTitle, QString("Open the file with matrix"));
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(answers->fileDialogTitle, QString("Save matrix A"));
        QTest::keyClick(window.get(), Qt::Key_F1);
        QCOMPARE(answers->dialogClasses.back(), QString("UserGuideWindow"));

        QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actions().front()->text(), QString("Open"));
        menu->close();

        typeQubits(*window, "3");
        QTest::keyClick(window->Edit1, Qt::Key_Return);
        QCOMPARE(window->Memo1->toPlainText().count(runStartLine()), 1);
        window->Button3->setFocus();
        QTest::keyClick(window->Button3, Qt::Key_Space);
        QCOMPARE(window->Memo1->toPlainText().count(runStartLine()), 2);

        QApplication::setActiveWindow(window.get());  // the offscreen platform leaves the closed menu active
        QTest::keyClick(window->Button3, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window->isVisible());
    }

    void logKeepsItsLastLineInViewUnlessScrolledUp()
    {
        QtPresentation& ui = window->presentation();
        QScrollBar* bar = window->Memo1->verticalScrollBar();
        const auto atEnd = [&] {
            QTextCursor end(window->Memo1->document());
            end.movePosition(QTextCursor::End);
            const QRect last = window->Memo1->cursorRect(end);
            return bar->maximum() > 0 && last.top() >= 0 && last.bottom() <= window->Memo1->viewport()->height();
        };
        for (int line = 0; line < 200; ++line)
            ui.appendLog("A line of the log: " + std::to_string(line));
        QVERIFY(atEnd());
        window->resize(window->width() - 150, window->height());
        window->Memo1->resize(window->Memo1->width() - 150, window->Memo1->height() - 100);
        QCoreApplication::processEvents();
        ui.appendLog("after the resize");
        QCoreApplication::processEvents();
        QVERIFY(atEnd());

        bar->triggerAction(QAbstractSlider::SliderPageStepSub);  // the user pages up
        const int reading = bar->value();
        ui.appendLog("while reading older lines");
        QCOMPARE(bar->value(), reading);
    }

    void decomposesARandomThreeQubitMatrix()
    {
        typeQubits(*window, "3");
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        window->TrackBar2->setValue(60);
        QTest::mouseClick(window->UpDown1->upButton(), Qt::LeftButton);
        QTest::mouseClick(window->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(window->workspace().selectedGate, 2);
        keepScreenshot(*window, "decomposed-3-qubits");
        keepScreenshot(*window->aboutWindow, "about");
        QVERIFY(window->Image1->isVisible());
        QVERIFY(window->Label11->text().toInt() > 1);
        const QString log = window->Memo1->toPlainText();
        QVERIFY(!log.contains("!!!"));
    }

    void gateToolShowsItsMatrixWithTheInitialTexts()
    {
        bool drawingShownDuringMessage = false;
        answers->fillGateDialog = [](GateMatrixDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Matrix of the gate Ln(U)"));
            const GateDialogFields shown = dialog.fields();
            QCOMPARE(shown.type, std::string("0"));
            QCOMPARE(shown.target, std::string("1"));
            QCOMPARE(shown.controls, std::string("2"));
            QCOMPARE(shown.u11, std::string("0+0i"));
            QCOMPARE(shown.u12, std::string("1+0i"));
            QCOMPARE(shown.u21, std::string("1+0i"));
            QCOMPARE(shown.u22, std::string("0+0i"));
            QCOMPARE(dialog.showButton->toolTip(), QString("rozne cisla 1-9 oddelene 1 medzerou"));
        };
        answers->whileMessageShown = [&](QMessageBox&) {
            drawingShownDuringMessage = window->Image1->isVisible() && !window->StringGrid1->isVisible();
            keepScreenshot(*window, "gate-tool");
        };
        window->Optimalizova1->trigger();

        QCOMPARE(answers->messages.size(), 1);
        QCOMPARE(answers->messages[0].text, QString("You are asking for the matrix of this gate:"));
        QVERIFY(drawingShownDuringMessage);
        QVERIFY(window->StringGrid1->isVisible());
        QVERIFY(!window->Image1->isVisible());
        QCOMPARE(cell(*window, 3, 1), QString("1.00"));
        QCOMPARE(cell(*window, 4, 2), QString("1.00"));
        QCOMPARE(cell(*window, 1, 1), QString());
        QCOMPARE(cell(*window, 0, 4), QString("11"));
        QVERIFY(window->TrackBar1->isEnabled());
        QVERIFY(window->TrackBar2->isEnabled());
        QCOMPARE(window->workspace().pocetb1, 0);
        QVERIFY2(window->workspace().gates[1].target == 0, "the circuit list is not written");
    }

    // The error box names the field; the dialog then opens again holding what
    // was typed, and the corrected text shows the gate's matrix.
    void gateToolTextThatIsNoNumberIsAskedForAgain()
    {
        QStringList seenInU12;
        answers->fillGateDialog = [&](GateMatrixDialog& dialog) {
            seenInU12 << dialog.Edit5->text();
            dialog.Edit5->setText(seenInU12.size() == 1 ? "one" : "1+0i");
        };
        window->Optimalizova1->trigger();
        QCOMPARE(seenInU12.size(), 2);
        QCOMPARE(seenInU12[1], QString("one"));
        QCOMPARE(answers->messages.size(), 2);
        QCOMPARE(answers->messages[0].icon, QMessageBox::Critical);
        QCOMPARE(answers->messages[1].icon, QMessageBox::Information);
        QVERIFY2(window->isVisible(), "the program goes on");
    }

    void saveAndOpenGoThroughTheFileDialogs()
    {
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString path = directory.filePath("matrix.mat");

        window->Uloi1->trigger();  // cancelled
        QCOMPARE(answers->fileDialogTitle, QString("Save matrix A"));
        QCOMPARE(answers->fileDialogFilters, QStringList{"Matrices (*.mat)"});
        QVERIFY(!answers->fileDialogProposal.isEmpty());
        QVERIFY(answers->fileDialogProposal.front().endsWith("matica1.mat"));
        QVERIFY(!QFile::exists(path));

        answers->chosenFile = path;
        window->Uloi1->trigger();
        QVERIFY(QFile::exists(path));
        QVERIFY(window->Memo1->toPlainText().contains("Matrix was saved into the file."));

        QTest::mouseClick(window->Button5, Qt::LeftButton);
        QVERIFY(cell(*window, 4, 1) != QString("-1.00i") || cell(*window, 1, 1) != QString());

        window->Otvori1->trigger();
        QCOMPARE(answers->fileDialogTitle, QString("Open the file with matrix"));
        QCOMPARE(cell(*window, 4, 1), QString("-1.00i"));
        QCOMPARE(cell(*window, 1, 1), QString());
        QVERIFY(window->Memo1->toPlainText().endsWith("The matrix was successfully loaded from the file."));

        answers->chosenFile = directory.filePath("missing.mat");
        window->Otvori1->trigger();
        QCOMPARE(answers->messages.size(), 1);
        QCOMPARE(answers->messages[0].icon, QMessageBox::Critical);
    }

    void fileMenuOffersTheExportsRightAfterSave()
    {
        QMenu* file = nullptr;
        for (QAction* entry : window->menuBar()->actions())
            if (entry->text() == "File")
                file = entry->menu();
        QVERIFY(file != nullptr);
        QStringList texts;
        for (const QAction* action : file->actions())
            texts << action->text();
        // Separators have no text.
        QCOMPARE(texts, (QStringList{"Open", "Import circuit (OpenQASM)...", "Import matrix (.npy)...", "", "Save",
                                     "Export OpenQASM 3...", "Export OpenQASM 2.0...", "", "Export picture...",
                                     "Export picture of the gates shown...", "", "Exit"}));
    }

    // Run as root, a file dialog that sniffs contents for its icons and types
    // blocks for good on /proc/kmsg. The dialogs name files by their names
    // alone, and a name under /proc typed into Open and an export ends in a
    // message box.
    void fileDialogsListProcWithoutReadingItsFiles()
    {
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        QStringList types;
        answers->whileFileDialogShown = [&](QFileDialog& files) {
            files.setDirectory("/proc");
            const QAbstractFileIconProvider* provider = files.iconProvider();
            QVERIFY(provider != nullptr);
            for (const char* name : {"/proc/kmsg", "/proc/version"}) {
                QVERIFY(!provider->icon(QFileInfo(name)).isNull());
                types << provider->type(QFileInfo(name));
            }
        };
        answers->chosenFile = "/proc/version";
        window->Otvori1->trigger();
        window->exportQasm3->trigger();
        QCOMPARE(types, (QStringList{"File", "File", "File", "File"}));
        QCOMPARE(answers->messages.size(), 2);
        QCOMPARE(answers->messages[0].icon, QMessageBox::Critical);
        QVERIFY2(answers->messages[0].text.contains("/proc/version"), qPrintable(answers->messages[0].text));
        QCOMPARE(answers->messages[1].icon, QMessageBox::Critical);
        QVERIFY2(window->isVisible(), "the window goes on");
    }

    // Cancel, pressed while a five-qubit numerical run instantiates, gets
    // through the command's input filter; the circuit, the drawing and the log
    // stay as they were, with one line more in the log.
    void cancelStopsANumericalRunAndLeavesTheWindowAsItWas()
    {
        typeQubits(*window, "5");
        QTest::mouseClick(window->Button5, Qt::LeftButton);
        window->ComboBox1->setCurrentIndex(0);
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        const int gatesBefore = window->workspace().pocetb1;
        QVERIFY(gatesBefore > 0);
        const QString logBefore = window->Memo1->toPlainText();
        const QString gatesLabelBefore = window->Label11->text();

        bool cancelShown = false;
        bool progressShown = false;
        QTimer::singleShot(300, window.get(), [&] {
            cancelShown = window->CancelButton->isVisible();
            progressShown = window->ProgressBar1->isVisible();
            // As a real click comes: to the top-level window first, then to the button under it.
            const QPoint center = window->CancelButton->rect().center();
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                              window->CancelButton->mapTo(window.get(), center));
        });
        window->ComboBox1->setCurrentIndex(4);
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        QVERIFY(cancelShown);
        QVERIFY(progressShown);
        QCOMPARE(window->Memo1->toPlainText(), logBefore + "\n" + QString::fromUtf8(driverText::runCancelled.data(),
                                                                                   driverText::runCancelled.size()));
        QCOMPARE(window->workspace().pocetb1, gatesBefore);
        QCOMPARE(window->Label11->text(), gatesLabelBefore);
        QVERIFY(window->Image1->isVisible());
        QVERIFY(!window->CancelButton->isVisible());
        QVERIFY(!window->ProgressBar1->isVisible());
        QVERIFY(window->Button3->isEnabled());
    }

    // Tools > Compare routes... fills the table, sorts by a column without
    // losing which route a row is, draws the chosen route and copies the
    // table as tab-separated rows.
    void compareRoutesFillsATableWhoseRowsDrawTheirCircuits()
    {
        typeQubits(*window, "3");
        QTest::mouseClick(window->Button5, Qt::LeftButton);
        window->compareRoutes->trigger();
        ComparisonWindow* compared = window->comparisonWindow;
        QVERIFY(compared->isVisible());
        QTableWidget* table = compared->table;
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("CNOTs"));
        QCOMPARE(table->item(2, 2)->text(), QString("14"));
        QVERIFY(table->item(2, 2)->textAlignment() & Qt::AlignRight);
        QVERIFY(window->Memo1->toPlainText().endsWith("The routes were compared: the table is in the window \"Compare routes\"."));

        table->sortItems(2, Qt::AscendingOrder);
        QCOMPARE(table->item(0, 0)->text(), QString("basic gates, fewest CNOTs, numerical"));
        table->selectRow(0);
        QCOMPARE(window->workspace().pocetb1, table->item(0, 1)->text().toInt());
        QCOMPARE(window->Label11->text(), table->item(0, 1)->text());
        QVERIFY(window->Image1->isVisible());
        table->selectRow(2);
        QCOMPARE(window->workspace().pocetb1, table->item(2, 1)->text().toInt());

        QApplication::clipboard()->clear();
        QTest::mouseClick(compared->copyButton, Qt::LeftButton);
        const QStringList rows = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0].split('\t').size(), 9);
        QVERIFY(rows[4].startsWith("lower bound (3 qubits)\t\t14"));
        keepScreenshot(*compared, "compare-routes");
    }

    void pictureExportWritesAPngTheSizeOfTheSvg()
    {
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        QTemporaryDir directory;
        QVERIFY(directory.isValid());

        answers->chosenFile = directory.filePath("circuit.svg");
        window->exportPicture->trigger();
        QCOMPARE(answers->fileDialogTitle, QString("Export the picture of the circuit"));
        QCOMPARE(answers->fileDialogFilters, (QStringList{"SVG picture (*.svg)", "PNG picture (*.png)"}));
        QFile svgFile(answers->chosenFile);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(svgFile.readAll());
        const QRegularExpressionMatch size =
            QRegularExpression("<svg [^>]*width=\"(\\d+)\" height=\"(\\d+)\"").match(svg);
        QVERIFY(size.hasMatch());

        answers->chosenFile = directory.filePath("circuit.png");
        window->exportPicture->trigger();
        QCOMPARE(answers->messages.size(), 0);
        QImage png(answers->chosenFile, "PNG");
        QVERIFY(!png.isNull());
        QCOMPARE(png.width(), size.captured(1).toInt());
        QCOMPARE(png.height(), size.captured(2).toInt());
        int dark = 0;
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x)
                dark += qGray(png.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY(dark > 1000);
        const QString directoryForPeople = qEnvironmentVariable("UDECOMP_SCREENSHOT_DIR");
        if (!directoryForPeople.isEmpty())
            png.save(QDir(directoryForPeople).filePath("exported-picture.png"));
    }

    void cancelInAStepDialogStopsShowingSteps()
    {
        window->Zobroptimkroky->setChecked(true);
        answers->questionAnswers = {true, false};
        QTest::mouseClick(window->Button3, Qt::LeftButton);
        int questions = 0;
        for (const SeenMessage& m : answers->messages)
            questions += m.text.contains("Do you want to continue showing optimization steps?") ? 1 : 0;
        QCOMPARE(questions, 2);
        QVERIFY(!window->Zobroptimkroky->isChecked());
        QVERIFY(window->Image1->isVisible());
        QVERIFY(window->Button3->isEnabled());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
