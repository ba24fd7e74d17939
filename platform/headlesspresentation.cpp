#include "platform/headlesspresentation.h"

#include <algorithm>

void HeadlessPresentation::record(EventKind kind, std::string text, int a, int b)
{
    if (recordEvents)
        events.push_back({kind, std::move(text), a, b});
}

// Texts are copied before anything is stored: the caller's view may point into
// one of the lists (ui.appendLog(ui.log[0])), and an observer may add to them.
void HeadlessPresentation::appendLog(std::string_view line)
{
    const std::string text(line);
    log.push_back(text);
    record(EventKind::log, text);
    if (onLog)
        onLog(text);
}

void HeadlessPresentation::showMessage(std::string_view text, MessageStyle style)
{
    showDetailedMessage(text, {}, style);
}

void HeadlessPresentation::showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style)
{
    const RecordedMessage message{std::string(text), style, std::string(detail)};
    messages.push_back(message);
    record(EventKind::message, message.text, static_cast<int>(style));
    if (onMessage)
        onMessage(message);
}

bool HeadlessPresentation::askOkCancel(std::string_view text)
{
    const std::string question(text);
    questions.push_back(question);
    bool answer = true;
    if (!questionAnswers.empty()) {
        answer = questionAnswers.front();
        questionAnswers.pop_front();
    }
    record(EventKind::question, question, answer ? 1 : 0);
    if (onQuestion)
        onQuestion(question);
    return answer;
}

void HeadlessPresentation::setProgressMaximum(int maximum)
{
    progressMaximum = maximum;
    record(EventKind::progressMaximum, {}, maximum);
}

void HeadlessPresentation::setProgressPosition(int position)
{
    progressPosition = position;
    record(EventKind::progressPosition, {}, position);
}

void HeadlessPresentation::setProgressStep(int step)
{
    progressStepSize = step;
    record(EventKind::progressStep, {}, step);
}

void HeadlessPresentation::stepProgress()
{
    // A stepped bar wraps to 0 past its maximum, as the native control does.
    progressPosition += progressStepSize;
    if (progressPosition > progressMaximum)
        progressPosition = 0;
    record(EventKind::progressStepIt, {}, progressPosition);
}

void HeadlessPresentation::setProgressVisible(bool visible)
{
    progressVisible = visible;
    record(EventKind::progressVisible, {}, visible ? 1 : 0);
}

void HeadlessPresentation::setGridSize(int columns, int rows)
{
    gridColumns = columns;
    gridRows = rows;
    // Cells outside the new size are gone, as in a resized table.
    std::erase_if(gridCells, [&](const auto& cell) {
        return cell.first.first >= columns || cell.first.second >= rows;
    });
    record(EventKind::gridSize, {}, columns, rows);
}

void HeadlessPresentation::setGridCell(int column, int row, std::string_view text)
{
    gridCells[{column, row}] = std::string(text);
    record(EventKind::gridCell, std::string(text), column, row);
}

void HeadlessPresentation::setGridVisible(bool visible)
{
    gridVisible = visible;
    record(EventKind::gridVisible, {}, visible ? 1 : 0);
}

void HeadlessPresentation::setDrawingVisible(bool visible)
{
    drawingVisible = visible;
    record(EventKind::drawingVisible, {}, visible ? 1 : 0);
}

void HeadlessPresentation::setGateSliderPosition(int position)
{
    gateSliderPos = std::clamp(position, 1, std::max(1, gateSliderMax));
    record(EventKind::gateSliderPosition, {}, gateSliderPos);
}

void HeadlessPresentation::setGateSliderMaximum(int maximum)
{
    gateSliderMax = maximum;
    gateSliderPos = std::clamp(gateSliderPos, 1, std::max(1, gateSliderMax));
    record(EventKind::gateSliderMaximum, {}, maximum);
}

void HeadlessPresentation::setGateSliderTickFrequency(int frequency)
{
    gateSliderTicks = frequency;
    record(EventKind::gateSliderTickFrequency, {}, frequency);
}

void HeadlessPresentation::setGateSliderEnabled(bool enabled)
{
    gateSliderOn = enabled;
    record(EventKind::gateSliderEnabled, {}, enabled ? 1 : 0);
}

void HeadlessPresentation::setZoomSliderPosition(int position)
{
    zoomSliderPos = std::clamp(position, 45, 200);
    record(EventKind::zoomSliderPosition, {}, zoomSliderPos);
}

void HeadlessPresentation::setZoomSliderEnabled(bool enabled)
{
    zoomSliderOn = enabled;
    record(EventKind::zoomSliderEnabled, {}, enabled ? 1 : 0);
}

void HeadlessPresentation::setGateSelectorPosition(int position)
{
    gateSelectorPos = std::clamp(position, 0, std::max(0, gateSelectorMax));
    record(EventKind::gateSelectorPosition, {}, gateSelectorPos);
}

void HeadlessPresentation::setGateSelectorMaximum(int maximum)
{
    gateSelectorMax = maximum;
    gateSelectorPos = std::clamp(gateSelectorPos, 0, std::max(0, gateSelectorMax));
    record(EventKind::gateSelectorMaximum, {}, maximum);
}

void HeadlessPresentation::setGateSelectorEnabled(bool enabled)
{
    gateSelectorOn = enabled;
    record(EventKind::gateSelectorEnabled, {}, enabled ? 1 : 0);
}

void HeadlessPresentation::setLabelText(Label label, std::string_view text)
{
    labels[label] = std::string(text);
    record(EventKind::label, std::string(text), static_cast<int>(label));
}

void HeadlessPresentation::setDecompositionEnabled(bool enabled)
{
    decompositionOn = enabled;
    record(EventKind::decompositionEnabled, {}, enabled ? 1 : 0);
}

void HeadlessPresentation::setQubitFieldText(std::string_view text)
{
    qubitField = std::string(text);
    record(EventKind::qubitFieldText, qubitField);
}

bool HeadlessPresentation::isChecked(Setting setting) const
{
    switch (setting) {
    case Setting::roboptim: return roboptim;
    case Setting::Kontrolptimkrok1: return Kontrolptimkrok1;
    case Setting::Zobroptimkroky: return Zobroptimkroky;
    case Setting::Zuzeniezobrazenia1: return Zuzeniezobrazenia1;
    }
    return false;
}

void HeadlessPresentation::setChecked(Setting setting, bool checked)
{
    switch (setting) {
    case Setting::roboptim: roboptim = checked; break;
    case Setting::Kontrolptimkrok1: Kontrolptimkrok1 = checked; break;
    case Setting::Zobroptimkroky: Zobroptimkroky = checked; break;
    case Setting::Zuzeniezobrazenia1: Zuzeniezobrazenia1 = checked; break;
    }
    record(EventKind::settingChanged, {}, static_cast<int>(setting), checked ? 1 : 0);
}

std::optional<std::string> HeadlessPresentation::chooseOpenFile(std::string_view title, std::string_view filter)
{
    record(EventKind::openDialog, std::string(title) + "|" + std::string(filter));
    return openFileAnswer;
}

std::optional<std::string> HeadlessPresentation::chooseSaveFile(std::string_view title, std::string_view filter,
                                                                std::string_view proposedName)
{
    record(EventKind::saveDialog, std::string(title) + "|" + std::string(filter) + "|" + std::string(proposedName));
    return saveFileAnswer;
}

bool HeadlessPresentation::runGateMatrixDialog(GateDialogFields& fields)
{
    if (!gateDialogAnswers.empty()) {
        const std::optional<GateDialogFields> answer = gateDialogAnswers.front();
        gateDialogAnswers.pop_front();
        record(EventKind::gateMatrixDialog, {}, answer ? 1 : 0);
        if (answer)
            fields = *answer;
        return answer.has_value();
    }
    record(EventKind::gateMatrixDialog, {}, gateDialogAnswer ? 1 : 0);
    if (gateDialogAnswer)
        fields = gateDialogFields;
    return gateDialogAnswer;
}

void HeadlessPresentation::showUserGuide() { record(EventKind::userGuide); }
void HeadlessPresentation::showAbout() { record(EventKind::about); }

void HeadlessPresentation::showStatus(std::string_view text)
{
    statusNotes.emplace_back(text);
}

void HeadlessPresentation::quit()
{
    quitRequested = true;
    record(EventKind::quit);
}

std::string HeadlessPresentation::gridCell(int column, int row) const
{
    const auto it = gridCells.find({column, row});
    return it == gridCells.end() ? std::string() : it->second;
}

std::string HeadlessPresentation::labelText(Label label) const
{
    const auto it = labels.find(label);
    return it == labels.end() ? std::string() : it->second;
}

bool HeadlessPresentation::logContains(std::string_view line) const
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

void HeadlessPresentation::clearRecords()
{
    events.clear();
    log.clear();
    messages.clear();
    questions.clear();
    statusNotes.clear();
    recordingCanvas.ops.clear();
}
