#pragma once
// "Compare routes": the table of the routes on one matrix, sortable by column,
// a bar chart of their CNOTs with the lower bound as a line, and the buttons
// that copy and export the table. Choosing a row asks for that route's circuit.

#include <QDialog>
#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
struct Comparison;

// CNOTs per route on a logarithmic scale (the routes differ a hundredfold),
// the lower bound a dashed line across.
class CnotChart : public QWidget {
    Q_OBJECT
public:
    explicit CnotChart(QWidget* parent = nullptr);

    struct Bar {
        QString name;
        int cnots = 0;
    };
    void setBars(std::vector<Bar> bars, int lowerBound);
    QSize sizeHint() const override { return {260, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Bar> bars_;
    int lowerBound_ = 0;
};

class ComparisonWindow : public QDialog {
    Q_OBJECT
public:
    explicit ComparisonWindow(QWidget* parent = nullptr);

    // Shows `comparison` as it stands: its routes so far and the lower bound.
    void showComparison(const Comparison& comparison);

    QLabel* heading;
    QTableWidget* table;
    CnotChart* chart;
    QPushButton* copyButton;
    QPushButton* csvButton;
    QPushButton* closeButton;

signals:
    // The route of that index in the comparison (not the row: the table sorts).
    void routeChosen(int route);
    void copyRequested();
    void csvRequested();
};
