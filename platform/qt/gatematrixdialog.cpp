#include "platform/qt/gatematrixdialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* field(const std::string& text, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setMinimumWidth(110);
    return edit;
}

}  // namespace

GateMatrixDialog::GateMatrixDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Matrix of the gate Ln(U)");
    const GateDialogFields initial;
    Edit1 = field(initial.type, this);
    Edit2 = field(initial.target, this);
    Edit3 = field(initial.controls, this);
    Edit4 = field(initial.u11, this);
    Edit5 = field(initial.u12, this);
    Edit6 = field(initial.u21, this);
    Edit7 = field(initial.u22, this);
    showButton = new QPushButton("Show the matrix of the gate", this);
    showButton->setToolTip("rozne cisla 1-9 oddelene 1 medzerou");
    showButton->setDefault(true);
    connect(showButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("type:", this), 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(new QLabel("target qubit:", this), 1, 0);
    layout->addWidget(Edit2, 1, 1);
    layout->addWidget(new QLabel("control qubits:", this), 2, 0);
    layout->addWidget(Edit3, 2, 1);
    layout->addWidget(new QLabel("Matrix U from U(2):", this), 3, 0, 1, 3);
    layout->addWidget(Edit4, 4, 0);
    layout->addWidget(Edit5, 4, 1);
    layout->addWidget(Edit6, 5, 0);
    layout->addWidget(Edit7, 5, 1);
    layout->addWidget(showButton, 6, 0, 1, 2);
}

GateDialogFields GateMatrixDialog::fields() const
{
    GateDialogFields f;
    f.type = Edit1->text().toStdString();
    f.target = Edit2->text().toStdString();
    f.controls = Edit3->text().toStdString();
    f.u11 = Edit4->text().toStdString();
    f.u12 = Edit5->text().toStdString();
    f.u21 = Edit6->text().toStdString();
    f.u22 = Edit7->text().toStdString();
    return f;
}
