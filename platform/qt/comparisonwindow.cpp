#include "platform/qt/comparisonwindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "engine/endstage.h"
#include "workspace/comparison.h"

namespace {

// Which route a row shows, kept on its first cell so that sorting keeps it.
constexpr int routeRole = Qt::UserRole + 1;

// A cell that sorts by its number when it has one.
class NumberItem : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        bool mine = false, theirs = false;
        const double a = text().toDouble(&mine);
        const double b = other.text().toDouble(&theirs);
        if (mine && theirs)
            return a < b;
        return QTableWidgetItem::operator<(other);
    }
};

QString shortName(int endStage)
{
    const EndStage& stage = endStageOfBox(endStage);
    switch (stage.route) {
    case Route::twoLevel:
        return "two-level";
    case Route::fewestCnots:
        return "fewest CNOTs";
    case Route::numerical:
        return "numerical";
    }
    return QString::fromUtf8(stage.itemText.data(), static_cast<qsizetype>(stage.itemText.size()));
}

}  // namespace

CnotChart::CnotChart(QWidget* parent) : QWidget(parent) { setMinimumSize(300, 220); }

void CnotChart::setBars(std::vector<Bar> bars, int lowerBound)
{
    bars_ = std::move(bars);
    lowerBound_ = lowerBound;
    update();
}

void CnotChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    // The title and the legend above, two lines of route names below.
    const QRect plot = rect().adjusted(8, 2 * line + 2 * line, -8, -(2 * line + 6));
    painter.setPen(palette().text().color());
    painter.drawText(QRect(0, 2, width(), line), Qt::AlignHCenter, "CNOTs, log scale");
    painter.drawText(QRect(0, 2 + line, width(), line), Qt::AlignHCenter,
                     "dashed line: lower bound " + QString::number(lowerBound_));
    if (bars_.empty() || plot.height() <= 0)
        return;
    int most = lowerBound_;
    for (const Bar& bar : bars_)
        most = std::max(most, bar.cnots);
    const double top = std::log10(std::max(10, most) * 2.0);
    // Heights from 1 CNOT (the bottom) to twice the largest count (the top).
    const auto yOf = [&](int cnots) {
        const double fraction = std::log10(std::max(1, cnots)) / top;
        return plot.bottom() - static_cast<int>(std::round(fraction * plot.height()));
    };
    const int slot = plot.width() / static_cast<int>(bars_.size());
    for (std::size_t k = 0; k < bars_.size(); ++k) {
        const int left = plot.left() + static_cast<int>(k) * slot + slot / 6;
        const int y = yOf(bars_[k].cnots);
        const QRect barRect(left, y, slot * 2 / 3, plot.bottom() - y + 1);
        painter.fillRect(barRect, palette().highlight());
        painter.drawText(QRect(left - slot / 6, y - line - 2, slot, line), Qt::AlignHCenter,
                         QString::number(bars_[k].cnots));
        painter.drawText(QRect(left - slot / 6, plot.bottom() + 4, slot, 2 * line), Qt::AlignHCenter | Qt::TextWordWrap,
                         bars_[k].name);
    }
    QPen dashed(palette().text().color(), 1, Qt::DashLine);
    painter.setPen(dashed);
    const int boundY = yOf(lowerBound_);
    painter.drawLine(plot.left(), boundY, plot.right(), boundY);
}

ComparisonWindow::ComparisonWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Compare routes");
    heading = new QLabel(this);
    table = new QTableWidget(this);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setSortingEnabled(true);
    const std::vector<std::string> headers = comparisonHeaders();
    table->setColumnCount(static_cast<int>(headers.size()));
    QStringList labels;
    for (const std::string& h : headers)
        labels << QString::fromStdString(h);
    table->setHorizontalHeaderLabels(labels);
    table->horizontalHeader()->setStretchLastSection(false);
    chart = new CnotChart(this);
    copyButton = new QPushButton("Copy", this);
    copyButton->setToolTip("The table as tab-separated text, for a spreadsheet");
    csvButton = new QPushButton("Export CSV...", this);
    closeButton = new QPushButton("Close", this);

    auto* body = new QHBoxLayout;
    body->addWidget(table, 3);
    body->addWidget(chart, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel("Choose a row to draw its circuit.", this));
    buttons->addStretch(1);
    buttons->addWidget(copyButton);
    buttons->addWidget(csvButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(1000, 300);

    connect(table, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> chosen = table->selectedItems();
        if (chosen.isEmpty())
            return;
        const QTableWidgetItem* first = table->item(chosen.front()->row(), 0);
        if (first && first->data(routeRole).isValid())
            emit routeChosen(first->data(routeRole).toInt());
    });
    connect(copyButton, &QPushButton::clicked, this, &ComparisonWindow::copyRequested);
    connect(csvButton, &QPushButton::clicked, this, &ComparisonWindow::csvRequested);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void ComparisonWindow::showComparison(const Comparison& comparison)
{
    heading->setText(QString("Routes to basic gates on the matrix of %1 qubits; a generic matrix needs at least %2 CNOTs.")
                         .arg(comparison.qubitCount)
                         .arg(comparison.lowerBound));
    const QSignalBlocker quiet(table);
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(static_cast<int>(comparison.routes.size()));
    std::vector<CnotChart::Bar> bars;
    for (std::size_t r = 0; r < comparison.routes.size(); ++r) {
        const RouteFigures& figures = comparison.routes[r].figures;
        const std::vector<std::string> cells = comparisonRowCells(figures);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            auto* item = new NumberItem(QString::fromStdString(cells[c]));
            bool isNumber = false;
            item->text().toDouble(&isNumber);
            item->setTextAlignment(isNumber ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            if (c == 0)
                item->setData(routeRole, static_cast<int>(r));
            table->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
        bars.push_back({shortName(figures.endStage), figures.cnotCount});
    }
    table->setSortingEnabled(true);
    table->resizeColumnsToContents();
    // Every column in sight: the table is as wide as its columns.
    table->setMinimumWidth(table->horizontalHeader()->length() + 2 * table->frameWidth() +
                           table->verticalScrollBar()->sizeHint().width());
    chart->setBars(std::move(bars), comparison.lowerBound);
}
