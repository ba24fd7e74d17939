#include "platform/qt/qtpresentation.h"
#include "platform/qt/plainiconprovider.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStringList>
#include <QTableWidget>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <future>

#include "platform/qt/aboutwindow.h"
#include "platform/qt/drawingsurface.h"
#include "platform/qt/gatematrixdialog.h"
#include "platform/qt/gateselector.h"
#include "platform/qt/inputdiscarder.h"
#include "platform/qt/logview.h"
#include "platform/qt/mainwindow.h"
#include "platform/qt/userguidewindow.h"
#include "ui/commands.h"

namespace {

QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Messages break their lines with carriage returns; a text label breaks on line feeds.
QString messageText(std::string_view text)
{
    QString result = toQString(text);
    result.replace("\r\n", "\n");
    result.replace('\r', '\n');
    return result;
}

QAction* settingAction(const MainWindow& window, Setting setting)
{
    switch (setting) {
    case Setting::roboptim: return window.roboptim;
    case Setting::Kontrolptimkrok1: return window.Kontrolptimkrok1;
    case Setting::Zobroptimkroky: return window.Zobroptimkroky;
    case Setting::Zuzeniezobrazenia1: return window.Zuzeniezobrazenia1;
    }
    return nullptr;
}

std::size_t settingIndex(Setting setting) { return static_cast<std::size_t>(setting); }

constexpr Setting allSettings[] = {Setting::roboptim, Setting::Kontrolptimkrok1, Setting::Zobroptimkroky,
                                   Setting::Zuzeniezobrazenia1};

// Milliseconds of a monotonic clock. The engine reports up to millions of steps
// a second: the coarse clock costs a few nanoseconds where the precise one costs
// tens, and its few milliseconds of resolution are plenty for paintIntervalMs.
long long nowMs()
{
#ifdef CLOCK_MONOTONIC_COARSE
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
#else
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
#endif
}

}  // namespace

QtPresentation::QtPresentation(MainWindow& window)
    : window_(window),
      progressMaximum_(window.ProgressBar1->maximum()),
      progressPosition_(window.ProgressBar1->value()),
      progressVisible_(!window.ProgressBar1->isHidden()),
      inputDiscarder_(std::make_unique<InputDiscarder>())
{
    for (const Setting setting : allSettings) {
        QAction* action = settingAction(window, setting);
        const std::size_t index = settingIndex(setting);
        checked_[index] = action->isChecked();
        QObject::connect(action, &QAction::toggled, inputDiscarder_.get(), [this, index](bool on) { checked_[index] = on; });
    }
    QObject::connect(window.CancelButton, &QPushButton::clicked, inputDiscarder_.get(),
                     [this] { cancelRequested_ = true; });
}

QtPresentation::~QtPresentation()
{
    if (commandDepth_ > 0)
        QApplication::instance()->removeEventFilter(inputDiscarder_.get());
}

bool QtPresentation::runWindowCommand(const std::function<void()>& command)
{
    if (commandDepth_++ == 0) {
        QApplication::instance()->installEventFilter(inputDiscarder_.get());
        lastPaintMs_ = nowMs();
    }
    const bool completed = runCommand(*this, command);
    if (commandDepth_ == 1)
        paintNow();  // with the discarder still in place: what queued up meanwhile is dropped
    if (--commandDepth_ == 0) {
        QApplication::instance()->removeEventFilter(inputDiscarder_.get());
        if (busyCursor_) {
            QApplication::restoreOverrideCursor();
            busyCursor_ = false;
        }
    }
    return completed;
}

bool QtPresentation::runBeside(std::string_view text, const std::function<bool()>& job)
{
    const int maximumBefore = progressMaximum_;
    const int positionBefore = progressPosition_;
    const bool visibleBefore = progressVisible_;
    // No known end: a bar of maximum 0 moves to show the program works.
    progressMaximum_ = 0;
    progressPosition_ = -1;
    progressVisible_ = true;
    window_.statusBar()->showMessage(toQString(text));
    paintNow();
    auto result = std::async(std::launch::async, job);
    while (result.wait_for(std::chrono::milliseconds(paintIntervalMs)) != std::future_status::ready)
        paintNow();
    window_.statusBar()->clearMessage();
    progressMaximum_ = maximumBefore;
    progressPosition_ = positionBefore;
    progressVisible_ = visibleBefore;
    updateWidgets();
    return result.get();
}

void QtPresentation::shownStateChanged()
{
    if (commandDepth_ == 0) {
        updateWidgets();
        return;
    }
    if (nowMs() - lastPaintMs_ >= paintIntervalMs)
        paintNow();
}

void QtPresentation::updateWidgets()
{
    QProgressBar* bar = window_.ProgressBar1;
    if (bar->maximum() != progressMaximum_)
        bar->setRange(0, progressMaximum_);
    if (progressPosition_ < 0)
        bar->reset();
    else
        bar->setValue(progressPosition_);
    if (bar->isHidden() == progressVisible_)
        bar->setVisible(progressVisible_);
    if (!pendingLogLines_.isEmpty()) {
        window_.Memo1->appendLines(pendingLogLines_.join('\n'));
        pendingLogLines_.clear();
    }
}

void QtPresentation::paintNow()
{
    // A command still running at its first paint is a long one.
    if (commandDepth_ > 0 && !busyCursor_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        busyCursor_ = true;
    }
    updateWidgets();
    QApplication::processEvents();
    lastPaintMs_ = nowMs();
}

int QtPresentation::execModal(QDialog& dialog)
{
    // The user sees the window as it stands when the box asks something.
    if (commandDepth_ > 0)
        paintNow();
    else
        updateWidgets();
    // A box waits for the user, not for the computation.
    if (busyCursor_)
        QApplication::changeOverrideCursor(Qt::ArrowCursor);
    const int result = modalHook ? modalHook(dialog) : dialog.exec();
    if (busyCursor_)
        QApplication::changeOverrideCursor(Qt::BusyCursor);
    lastPaintMs_ = nowMs();
    return result;
}

void QtPresentation::appendLog(std::string_view line)
{
    pendingLogLines_.append(messageText(line));
    shownStateChanged();
}

void QtPresentation::showMessage(std::string_view text, MessageStyle style)
{
    showDetailedMessage(text, {}, style);
}

void QtPresentation::showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style)
{
    const auto icon = style == MessageStyle::error ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, QApplication::applicationName(), messageText(text), QMessageBox::Ok, &window_);
    if (!detail.empty())
        box.setDetailedText(messageText(detail));
    execModal(box);
}

bool QtPresentation::askOkCancel(std::string_view text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), messageText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, &window_);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return execModal(box) == QMessageBox::Ok;
}

void QtPresentation::setProgressMaximum(int maximum)
{
    progressMaximum_ = std::max(0, maximum);
    // As the bar itself does: a position outside the new range empties it.
    if (progressPosition_ > progressMaximum_)
        progressPosition_ = -1;
    shownStateChanged();
}

void QtPresentation::setProgressPosition(int position)
{
    const int clamped = std::clamp(position, 0, progressMaximum_);
    if (clamped == progressPosition_)
        return;
    progressPosition_ = clamped;
    shownStateChanged();
}

void QtPresentation::setProgressStep(int step) { progressStep_ = step; }

void QtPresentation::stepProgress()
{
    // Past its maximum a stepped bar starts again from 0.
    long long position = static_cast<long long>(progressPosition_) + progressStep_;
    if (position > progressMaximum_ || position < 0)
        position = 0;
    if (position == progressPosition_)
        return;
    progressPosition_ = static_cast<int>(position);
    shownStateChanged();
}

void QtPresentation::setProgressVisible(bool visible)
{
    if (visible == progressVisible_)
        return;
    progressVisible_ = visible;
    shownStateChanged();
}

void QtPresentation::setGridSize(int columns, int rows)
{
    QTableWidget* grid = window_.StringGrid1;
    // Column 0 and row 0 are the header cells.
    grid->setColumnCount(std::max(0, columns - 1));
    grid->setRowCount(std::max(0, rows - 1));
}

void QtPresentation::setGridCell(int column, int row, std::string_view text)
{
    QTableWidget* grid = window_.StringGrid1;
    if (column < 0 || row < 0 || column > grid->columnCount() || row > grid->rowCount() || (column == 0 && row == 0))
        return;
    const QString value = toQString(text);
    QTableWidgetItem* item = nullptr;
    if (row == 0) {
        item = grid->horizontalHeaderItem(column - 1);
        if (!item) {
            grid->setHorizontalHeaderItem(column - 1, new QTableWidgetItem(value));
            return;
        }
    } else if (column == 0) {
        item = grid->verticalHeaderItem(row - 1);
        if (!item) {
            grid->setVerticalHeaderItem(row - 1, new QTableWidgetItem(value));
            return;
        }
    } else {
        item = grid->item(row - 1, column - 1);
        if (!item) {
            grid->setItem(row - 1, column - 1, new QTableWidgetItem(value));
            return;
        }
    }
    item->setText(value);
}

void QtPresentation::setGridVisible(bool visible)
{
    window_.StringGrid1->setVisible(visible);
    if (visible)
        window_.StringGrid1->raise();
}

bool QtPresentation::isGridVisible() const { return !window_.StringGrid1->isHidden(); }

Canvas& QtPresentation::canvas() { return window_.Image1->canvas(); }

void QtPresentation::setDrawingVisible(bool visible) { window_.Image1->setVisible(visible); }
void QtPresentation::setLowestLabel(int y, int fontHeight)
{
    // Digits stand on the baseline row's upper edge: the picture keeps that row, blank.
    window_.Image1->setDrawnBottom(y + window_.Image1->canvas().ascentAt(fontHeight) + 1);
}

int QtPresentation::gateSliderPosition() const { return window_.TrackBar1->value(); }

// The controls are set by commands and the engine; only the user's moves run commands.
void QtPresentation::setGateSliderPosition(int position)
{
    const QSignalBlocker quiet(window_.TrackBar1);
    window_.TrackBar1->setValue(position);
}

void QtPresentation::setGateSliderMaximum(int maximum)
{
    const QSignalBlocker quiet(window_.TrackBar1);
    window_.TrackBar1->setMaximum(std::max(window_.TrackBar1->minimum(), maximum));
    applyGateSliderTicks();
}

void QtPresentation::setGateSliderTickFrequency(int frequency)
{
    gateSliderTickFrequency_ = frequency;
    applyGateSliderTicks();
}

void QtPresentation::applyGateSliderTicks()
{
    // Ticks closer than a pixel look the same as fewer ticks but cost a line
    // each on every repaint of the slider: a long circuit would slow it down.
    constexpr int mostTicks = 500;
    const QSlider* slider = window_.TrackBar1;
    const int range = slider->maximum() - slider->minimum();
    window_.TrackBar1->setTickInterval(std::max(gateSliderTickFrequency_, range / mostTicks));
}

void QtPresentation::setGateSliderEnabled(bool enabled) { window_.TrackBar1->setEnabled(enabled); }

int QtPresentation::zoomSliderPosition() const { return window_.TrackBar2->value(); }

void QtPresentation::setZoomSliderPosition(int position)
{
    const QSignalBlocker quiet(window_.TrackBar2);
    window_.TrackBar2->setValue(position);
}

void QtPresentation::setZoomSliderEnabled(bool enabled) { window_.TrackBar2->setEnabled(enabled); }

int QtPresentation::gateSelectorPosition() const { return window_.UpDown1->position(); }
void QtPresentation::setGateSelectorPosition(int position) { window_.UpDown1->setPosition(position); }
void QtPresentation::setGateSelectorMaximum(int maximum) { window_.UpDown1->setMaximum(maximum); }
void QtPresentation::setGateSelectorEnabled(bool enabled) { window_.UpDown1->setEnabled(enabled); }

void QtPresentation::setLabelText(Label label, std::string_view text)
{
    if (QLabel* target = window_.label(label))
        target->setText(toQString(text));
}

void QtPresentation::setDecompositionEnabled(bool enabled)
{
    window_.Button3->setEnabled(enabled);
}

std::string QtPresentation::qubitFieldText() const { return window_.Edit1->text().toStdString(); }

void QtPresentation::setQubitFieldText(std::string_view text)
{
    const QSignalBlocker quiet(window_.Edit1);
    window_.Edit1->setText(toQString(text));
}


bool QtPresentation::isChecked(Setting setting) const
{
    return checked_[settingIndex(setting)];
}

void QtPresentation::setChecked(Setting setting, bool checked)
{
    if (QAction* action = settingAction(window_, setting))
        action->setChecked(checked);
}

int QtPresentation::endStage() const { return window_.ComboBox1->currentIndex(); }

QString QtPresentation::nameFilter(std::string_view filter)
{
    // Pairs of description and pattern, separated by '|'.
    const QStringList parts = toQString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    if (parts.size() % 2 == 1 && !parts.back().isEmpty())
        filters << parts.back();
    return filters.join(";;");
}

std::optional<std::string> QtPresentation::chooseFile(bool saving, std::string_view title, std::string_view filter,
                                                      std::string_view proposedName)
{
    QFileDialog dialog(&window_, toQString(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    static PlainIconProvider plainIcons;
    dialog.setIconProvider(&plainIcons);
    dialog.setNameFilter(nameFilter(filter));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!proposedName.empty())
        dialog.selectFile(toQString(proposedName));
    if (execModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty())
        return std::nullopt;
    return chosen.front().toStdString();
}

std::optional<std::string> QtPresentation::chooseOpenFile(std::string_view title, std::string_view filter)
{
    return chooseFile(false, title, filter, {});
}

std::optional<std::string> QtPresentation::chooseSaveFile(std::string_view title, std::string_view filter,
                                                          std::string_view proposedName)
{
    return chooseFile(true, title, filter, proposedName);
}

void QtPresentation::setCancelVisible(bool visible)
{
    cancelRequested_ = false;
    inputDiscarder_->letThrough(visible ? window_.CancelButton : nullptr);
    window_.CancelButton->setVisible(visible);
    shownStateChanged();
}

void QtPresentation::comparisonChanged()
{
    window_.showComparisonWindow();
    shownStateChanged();
}

void QtPresentation::keepAnswering()
{
    if (commandDepth_ == 0 || nowMs() - lastPaintMs_ >= paintIntervalMs)
        paintNow();
}

bool QtPresentation::runGateMatrixDialog(GateDialogFields& fields)
{
    // The dialog keeps its own texts between uses, so `fields` is only written.
    if (execModal(*window_.gateMatrixDialog) != QDialog::Accepted)
        return false;
    fields = window_.gateMatrixDialog->fields();
    return true;
}

void QtPresentation::showStatus(std::string_view text)
{
    constexpr int shownMs = 20000;
    window_.statusBar()->showMessage(toQString(text), shownMs);
}

void QtPresentation::showUserGuide() { execModal(*window_.userGuideWindow); }
void QtPresentation::showAbout() { execModal(*window_.aboutWindow); }
void QtPresentation::quit() { window_.close(); }
