#include "platform/qt/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/endstage.h"
#include "platform/qt/aboutwindow.h"
#include "platform/qt/comparisonwindow.h"
#include "platform/qt/drawingsurface.h"
#include "platform/qt/gatematrixdialog.h"
#include "platform/qt/gateselector.h"
#include "platform/qt/logview.h"
#include "platform/qt/picturepng.h"
#include "platform/qt/qtcanvas.h"
#include "platform/qt/userguidewindow.h"
#include "ui/commands.h"
#include "ui/comparisoncommands.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

constexpr int gridCellWidth = 70;
constexpr int gridCellHeight = 35;
constexpr int gridFontHeight = 15;
const char* const skyBlue = "#a6caf0";

QLabel* caption(const char* text, QWidget* parent) { return new QLabel(text, parent); }

// A number beside a caption: at least a few digits wide, so the row does not
// jump as the number grows, and never narrower than the number it shows.
class NumberLabel : public QLabel {
public:
    static constexpr int leastWidth = 44;

    using QLabel::QLabel;

    QSize sizeHint() const override { return atLeastLeastWidth(QLabel::sizeHint()); }
    QSize minimumSizeHint() const override { return atLeastLeastWidth(QLabel::minimumSizeHint()); }

private:
    static QSize atLeastLeastWidth(QSize size) { return {std::max(size.width(), leastWidth), size.height()}; }
};

QSlider* slider(int minimum, int maximum, int position, int tickFrequency, QWidget* parent)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(minimum, maximum);
    s->setValue(position);
    s->setTickInterval(tickFrequency);
    s->setTickPosition(QSlider::TicksBelow);
    s->setEnabled(false);
    return s;
}

// Narrows `font` until the widest entry a cell shows fits its width inside the
// item's text margins: the faces at hand differ from machine to machine.
void fitWidestEntry(QFont& font, const QWidget& grid)
{
    const int textMargin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const int room = gridCellWidth - 2 * textMargin - 2 - 1;  // item padding and the grid line
    for (int stretch = font.stretch() > 0 ? font.stretch() : 100; stretch > 50; stretch -= 4) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance("-0.00-0.00i") <= room)
            return;
    }
}

// Shows the picture and the grid at their full size when there is room, and
// scrolls them on a small screen instead of pushing the controls off it.
class PictureScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->maximumSize() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override { return {240, 160}; }

    // The picture is never shorter than the bands drawn on it reach, so every
    // band can be scrolled to; where it must scroll anyway, it scrolls over its
    // roomy height at least.
    void fitPictureHeight()
    {
        auto* surface = qobject_cast<DrawingSurface*>(widget());
        if (!surface)
            return;
        const bool mustScroll = maximumViewportSize().height() < DrawingSurface::pictureHeight;
        surface->setMinimumHeight(mustScroll ? std::max(DrawingSurface::roomyPictureHeight, surface->neededHeight())
                                             : surface->neededHeight());
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        fitPictureHeight();
        QScrollArea::resizeEvent(event);
    }
};

constexpr int sideColumnMinimumWidth = 320;

// The column beside the picture is never narrower than its captions need with
// the numbers they show now, so no caption is cut by the number beside it.
class SideColumn : public QWidget {
public:
    using QWidget::QWidget;

    QSize minimumSizeHint() const override
    {
        const QSize least = QWidget::minimumSizeHint();
        return {std::max(least.width(), sideColumnMinimumWidth), least.height()};
    }
};

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle("Decomposition of unitary matrices into Quantum Logic Circuits");
    buildControls();
    buildMenus();
    presentation_ = std::make_unique<QtPresentation>(*this);
    workspace_ = createWorkspace(*presentation_);
    gateMatrixDialog = new GateMatrixDialog(this);
    aboutWindow = new AboutWindow(this);
    userGuideWindow = new UserGuideWindow(this);
    comparisonWindow = new ComparisonWindow(this);
    startUpWindow(*workspace_, *presentation_);
    connectCommands();
    addToolTips();
    setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::showComparisonWindow()
{
    if (!workspace_->comparison)
        return;
    comparisonWindow->showComparison(*workspace_->comparison);
    if (!comparisonWindow->isVisible())
        comparisonWindow->show();
}

void MainWindow::addToolTips()
{
    Edit1->setToolTip("Number of qubits, 2 to 5: a new count generates a random matrix of that size");
    Button3->setToolTip("Decompose the matrix A into a circuit of the gates chosen under \"into:\"");
    ComboBox1->setToolTip("The end stage of the decomposition");
    Button1->setToolTip("Show or hide the matrix A that is decomposed");
    Button5->setToolTip("Generate a random unitary matrix A for the number of qubits");
    TrackBar1->setToolTip("The first gate drawn; it also becomes the selected gate");
    TrackBar2->setToolTip("Zoom of the circuit drawing");
    UpDown1->setToolTip("Select the previous or the next gate: it is framed in blue and its matrix shows under U:");
    Image1->setToolTip("Click a gate to select it");
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString fileName = droppedFile(*event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    // Run once the drop is over: the source program waits for the drop's answer,
    // and the command may ask the user something first.
    QMetaObject::invokeMethod(
        this,
        [this, fileName] {
            presentation_->runWindowCommand([&] { DropFile(*workspace_, *presentation_, fileName.toStdString()); });
        },
        Qt::QueuedConnection);
}

QString MainWindow::droppedFile(const QMimeData& data)
{
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

void MainWindow::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    QLayout* commandRow = buildCommandRow(central);
    Image1 = new DrawingSurface(central);
    buildGrid(central);
    Memo1 = new LogView(central);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Memo1->setAcceptDrops(false);
    Edit1->setAcceptDrops(false);  // a dropped file goes to the window, not into the field as text

    QWidget* place = buildPictureAndGridPlace(central);
    QWidget* side = buildSideColumn(central);
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(place);
    viewRow->addWidget(side, 1);
    buildStatusBar();

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->addLayout(commandRow);
    layout->addLayout(viewRow, 1);
}

QLayout* MainWindow::buildCommandRow(QWidget* central)
{
    Label1 = caption("No.of qubits:", central);
    Edit1 = new QLineEdit("2", central);
    Edit1->setFixedWidth(48);
    Button3 = new QPushButton("Decomposition", central);
    Label18 = caption("into:", central);
    ComboBox1 = new QComboBox(central);
    // Items in the order of their box indices, 0 first.
    for (const EndStage& stage : endStages)
        if (stage.boxIndex >= 0)
            ComboBox1->insertItem(stage.boxIndex, QString::fromUtf8(stage.itemText.data(), stage.itemText.size()));
    const std::string_view untouched = endStageOfBox(-1).itemText;
    ComboBox1->setPlaceholderText(QString::fromUtf8(untouched.data(), untouched.size()));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setMinimumWidth(210);
    Button1 = new QPushButton("A", central);
    Button1->setFixedWidth(48);
    Button5 = new QPushButton("Generate", central);

    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(Label1);
    commandRow->addWidget(Edit1);
    commandRow->addSpacing(12);
    commandRow->addWidget(Button3);
    commandRow->addWidget(Label18);
    commandRow->addWidget(ComboBox1);
    commandRow->addSpacing(12);
    commandRow->addWidget(Button1);
    commandRow->addWidget(Button5);
    commandRow->addStretch();

    return commandRow;
}

void MainWindow::buildGrid(QWidget* central)
{
    StringGrid1 = new QTableWidget(central);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setFocusPolicy(Qt::NoFocus);
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setWordWrap(false);
    StringGrid1->setCornerButtonEnabled(false);
    // A narrow face, so that an entry such as -0.47-0.06i fits its 70-pixel cell.
    QFont gridFont("DejaVu Sans Condensed");
    gridFont.setStretch(QFont::SemiCondensed);
    gridFont.setPixelSize(QtCanvas::pixelSizeForLineHeight(gridFont, gridFontHeight));
    gridFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.2);
    fitWidestEntry(gridFont, *StringGrid1);
    StringGrid1->setFont(gridFont);
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->setFont(gridFont);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
        header->setHighlightSections(false);
    }
    StringGrid1->horizontalHeader()->setDefaultSectionSize(gridCellWidth);
    StringGrid1->horizontalHeader()->setFixedHeight(gridCellHeight);
    StringGrid1->verticalHeader()->setDefaultSectionSize(gridCellHeight);
    StringGrid1->verticalHeader()->setFixedWidth(gridCellWidth);
    StringGrid1->setStyleSheet(QString("QHeaderView::section { background-color: %1; border: 1px solid #7f9db9;"
                                       " padding: 0px; }"
                                       "QTableView::item { padding: 0px 1px; }")
                                   .arg(skyBlue));
}

QWidget* MainWindow::buildPictureAndGridPlace(QWidget* central)
{
    auto* pictureScroll = new PictureScrollArea(central);
    pictureScroll->setFrameShape(QFrame::NoFrame);
    pictureScroll->setWidget(Image1);
    pictureScroll->setWidgetResizable(true);  // within the picture's own least and greatest height
    connect(Image1, &DrawingSurface::neededHeightChanged, pictureScroll, [pictureScroll] { pictureScroll->fitPictureHeight(); });
    Image1->hide();
    pictureScroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureScroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The grid lies over the picture in the same place and scrolls by itself,
    // so neither ever sits inside the other's scroll bars.
    auto* place = new QWidget(central);
    auto* placeLayout = new QGridLayout(place);
    placeLayout->setContentsMargins(0, 0, 0, 0);
    placeLayout->addWidget(pictureScroll, 0, 0);
    placeLayout->addWidget(StringGrid1, 0, 0);
    place->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    return place;
}

QWidget* MainWindow::buildSideColumn(QWidget* central)
{
    TrackBar1 = slider(1, 50, 1, 2, central);
    Label2 = caption("Gates from:", central);
    Label3 = new NumberLabel("1", central);
    Label4 = caption("to:", central);
    Label5 = new NumberLabel("200", central);
    Label10 = caption("No. of gates:", central);
    Label11 = new NumberLabel("0", central);
    TrackBar2 = slider(45, 200, 125, 10, central);
    Label6 = caption("ZOOM:", central);
    Label7 = caption("1,00", central);
    Label9 = caption("Selected Gate:", central);
    Label8 = new NumberLabel("0", central);
    UpDown1 = new GateSelector(central);
    UpDown1->setEnabled(false);
    Label16 = caption("U:", central);
    Label12 = caption("", central);
    Label13 = caption("", central);
    Label14 = caption("", central);
    Label15 = caption("", central);
    for (QLabel* entry : {Label12, Label13, Label14, Label15}) {
        entry->setMinimumWidth(130);
        entry->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto* gateCaptions = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Label2, Label3, Label4, Label5})
        gateCaptions->addWidget(w);
    gateCaptions->addStretch();
    gateCaptions->addWidget(Label10);
    gateCaptions->addWidget(Label11);
    auto* gateBlock = new QVBoxLayout;
    gateBlock->addLayout(gateCaptions);
    gateBlock->addWidget(TrackBar1);

    auto* zoomCaptions = new QHBoxLayout;
    zoomCaptions->addWidget(Label6);
    zoomCaptions->addWidget(Label7);
    zoomCaptions->addStretch();
    auto* zoomBlock = new QVBoxLayout;
    zoomBlock->addLayout(zoomCaptions);
    zoomBlock->addWidget(TrackBar2);

    auto* selectedCaptions = new QHBoxLayout;
    selectedCaptions->addWidget(Label9);
    selectedCaptions->addWidget(Label8);
    selectedCaptions->addWidget(UpDown1);
    selectedCaptions->addStretch();
    auto* matrixEntries = new QGridLayout;
    matrixEntries->addWidget(Label16, 0, 0, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    matrixEntries->addWidget(Label12, 0, 1);
    matrixEntries->addWidget(Label13, 0, 2);
    matrixEntries->addWidget(Label14, 1, 1);
    matrixEntries->addWidget(Label15, 1, 2);
    matrixEntries->setColumnStretch(3, 1);
    auto* selectedBlock = new QVBoxLayout;
    selectedBlock->addLayout(selectedCaptions);
    selectedBlock->addLayout(matrixEntries);

    // The browsing controls and the log share the column beside the picture:
    // the picture keeps the full height a 1366 x 768 screen leaves it.
    auto* side = new SideColumn(central);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addLayout(gateBlock);
    sideLayout->addLayout(zoomBlock);
    sideLayout->addLayout(selectedBlock);
    sideLayout->addWidget(Memo1, 1);
    side->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    return side;
}

void MainWindow::buildStatusBar()
{
    // In the status bar the progress bar takes no room of its own while hidden.
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumWidth(240);
    statusBar()->addPermanentWidget(ProgressBar1);
    ProgressBar1->hide();
    CancelButton = new QPushButton("Cancel", this);
    statusBar()->addPermanentWidget(CancelButton);
    CancelButton->hide();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu("File");
    Otvori1 = file->addAction("Open");
    Otvori1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    importQasm = file->addAction("Import circuit (OpenQASM)...");
    importNpy = file->addAction("Import matrix (.npy)...");
    file->addSeparator();
    Uloi1 = file->addAction("Save");
    Uloi1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    exportQasm3 = file->addAction("Export OpenQASM 3...");
    exportQasm2 = file->addAction("Export OpenQASM 2.0...");
    file->addSeparator();
    exportPicture = file->addAction("Export picture...");
    exportPicture->setToolTip("The whole circuit, when its picture is of a size to look at");
    exportShownPicture = file->addAction("Export picture of the gates shown...");
    file->addSeparator();
    Koniec1 = file->addAction("Exit");
    Koniec1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* tools = menuBar()->addMenu("Tools");
    Optimalizova1 = tools->addAction("Matrix of the gate");
    compareRoutes = tools->addAction("Compare routes...");
    compareRoutes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    compareRoutes->setToolTip("Every route to basic gates on the matrix, side by side");
    QMenu* settings = menuBar()->addMenu("Settings");
    const auto check = [&](const char* text, bool checked) {
        QAction* action = settings->addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };
    roboptim = check("Perform an optimization", true);
    Kontrolptimkrok1 = check("Check after each stage of decomposition", false);
    Zobroptimkroky = check("Show optimization steps", false);
    settings->addSeparator();
    Zuzeniezobrazenia1 = check("Contraction of the circuit representation", true);
    QMenu* help = menuBar()->addMenu("Help");
    Nvod2 = help->addAction("User Guide");
    Nvod2->setShortcut(QKeySequence(Qt::Key_F1));
    Nvod1 = help->addAction("About");

    // Alt and the first letter opens a menu. The captions carry no '&' marks,
    // which would become part of their texts.
    const auto openWithAlt = [this](QMenu* menu, Qt::Key letter) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | letter), this);
        connect(shortcut, &QShortcut::activated, this,
                [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    };
    openWithAlt(file, Qt::Key_F);
    openWithAlt(tools, Qt::Key_T);
    openWithAlt(settings, Qt::Key_S);
    openWithAlt(help, Qt::Key_H);
    statusBar()->setSizeGripEnabled(true);
}

void MainWindow::connectCommands()
{
    Workspace& ws = *workspace_;
    QtPresentation& ui = *presentation_;
    const auto run = [&ui](auto command) { ui.runWindowCommand(command); };

    connect(Button1, &QPushButton::clicked, this, [=, &ws, &ui] { run([&] { Button1Click(ws, ui); }); });
    connect(Button3, &QPushButton::clicked, this, [=, &ws, &ui] { run([&] { Button3Click(ws, ui); }); });
    // Enter in the qubit field starts the decomposition, as a default button would.
    connect(Edit1, &QLineEdit::returnPressed, this, [this] {
        if (Button3->isEnabled())
            Button3->click();
    });
    connect(Button5, &QPushButton::clicked, this, [=, &ws, &ui] { run([&] { Button5Click(ws, ui); }); });
    connect(Edit1, &QLineEdit::textEdited, this, [=, &ws, &ui] { run([&] { QubitFieldChange(ws, ui); }); });
    connect(Zuzeniezobrazenia1, &QAction::triggered, this,
            [=, &ws, &ui] { run([&] { ContractionToggled(ws, ui); }); });
    connect(TrackBar1, &QSlider::valueChanged, this, [=, &ws, &ui] { run([&] { TrackBar1Change(ws, ui); }); });
    connect(TrackBar2, &QSlider::valueChanged, this, [=, &ws, &ui] { run([&] { TrackBar2Change(ws, ui); }); });
    connect(UpDown1, &GateSelector::arrowPressed, this,
            [=, &ws, &ui](int step) { run([&] { UpDown1Changing(ws, ui, step); }); });
    connect(Image1, &DrawingSurface::clicked, this,
            [=, &ws, &ui](int x, int y) { run([&] { Image1Click(ws, ui, x, y); }); });
    connect(Otvori1, &QAction::triggered, this, [=, &ws, &ui] { run([&] { Otvori1Click(ws, ui); }); });
    connect(Uloi1, &QAction::triggered, this, [=, &ws, &ui] { run([&] { Uloi1Click(ws, ui); }); });
    connect(exportQasm3, &QAction::triggered, this, [=, &ws, &ui] { run([&] { ExportQasm3Click(ws, ui); }); });
    connect(exportQasm2, &QAction::triggered, this, [=, &ws, &ui] { run([&] { ExportQasm2Click(ws, ui); }); });
    connect(importQasm, &QAction::triggered, this, [=, &ws, &ui] { run([&] { ImportQasmClick(ws, ui); }); });
    connect(importNpy, &QAction::triggered, this, [=, &ws, &ui] { run([&] { ImportNpyClick(ws, ui); }); });
    // A tall picture takes a second or more to draw and encode: the window shows it works meanwhile.
    const PngPictureWriter writePng = [&ui](const CircuitPictureLayout& layout, std::span<const TGATE1> list,
                                            int count, const std::string& path) {
        const QString size = QString("%1 x %2").arg(layout.width).arg(layout.height);
        return ui.runBeside(("Writing the picture of " + size + " pixels...").toStdString(),
                            [&] { return writeCircuitPicturePng(layout, list, count, path); });
    };
    connect(exportPicture, &QAction::triggered, this,
            [=, &ws, &ui] { run([&] { ExportPictureClick(ws, ui, writePng); }); });
    connect(exportShownPicture, &QAction::triggered, this,
            [=, &ws, &ui] { run([&] { ExportShownPictureClick(ws, ui, writePng); }); });
    connect(Koniec1, &QAction::triggered, this, [=, &ui] { run([&] { Koniec1Click(ui); }); });
    connect(Optimalizova1, &QAction::triggered, this, [=, &ws, &ui] { run([&] { Optimalizova1Click(ws, ui); }); });
    connect(compareRoutes, &QAction::triggered, this, [=, &ws, &ui] { run([&] { CompareRoutesClick(ws, ui); }); });
    connect(comparisonWindow, &ComparisonWindow::routeChosen, this,
            [=, &ws, &ui](int route) { run([&] { CompareRowChosen(ws, ui, route); }); });
    connect(comparisonWindow, &ComparisonWindow::copyRequested, this, [&ws] {
        QApplication::clipboard()->setText(QString::fromStdString(comparisonClipboardText(ws)));
    });
    connect(comparisonWindow, &ComparisonWindow::csvRequested, this,
            [=, &ws, &ui] { run([&] { ExportComparisonCsvClick(ws, ui); }); });
    connect(Nvod2, &QAction::triggered, this, [=, &ui] { run([&] { Nvod2Click(ui); }); });
    connect(Nvod1, &QAction::triggered, this, [=, &ui] { run([&] { Nvod1Click(ui); }); });
}

QLabel* MainWindow::label(Label which) const
{
    switch (which) {
    case Label::Label3: return Label3;
    case Label::Label5: return Label5;
    case Label::Label7: return Label7;
    case Label::Label8: return Label8;
    case Label::Label11: return Label11;
    case Label::Label12: return Label12;
    case Label::Label13: return Label13;
    case Label::Label14: return Label14;
    case Label::Label15: return Label15;
    }
    return nullptr;
}
