#include "platform/qt/userguidewindow.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

UserGuideWindow::UserGuideWindow(QWidget* parent) : QDialog(parent), text(new QPlainTextEdit(this))
{
    setWindowTitle("Form4");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text->setPlainText(guideLines().join('\n'));
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    resize(760, 560);
}

QStringList UserGuideWindow::guideLines()
{
    return {
        "The purpose of this program is mainly to decompose unitary matrices into quantum logic circuits.",
        "",
        "Description of buttons:",
        "-----------------------------------",
        "",
        "Button A shows the matrix to be decomposed.",
        "In the Combobox you can choose the end stage of the decomposition.",
        "It is not recomended to set number of qubits greater than 3, since such computation can take long time.",
        "For 3 qubit matrix (8x8) the program should end in less than 2 minutes (on standard PC).",
        "",
        "Button DECOMPOSITION starts the decomposition, whose result (the quatnum circuit) is than automatically ",
        "shown.",
        "The Trackbars can be used to adjust the zoom, or to choose particular part of the circuit.",
        "Button GENERATE is generating random unitary matrix for given number of qubits.",
        "",
        "Notation used in Quantum circuits:",
        "------------------------------------------------------",
        "Letters A, D, E, F, P, U denote types of 2x2 matrices with the following properties:",
        "A - a unitary matrix with vanishing diagonal entries",
        "D- a diagonal unitary matrix",
        "E- a diagonal unitary matrix with element [1,1] equal to 1",
        "F- a diagonal unitary matrix with element [2,2] equal to 1",
        "P- an identity matrix multiplied by complex unity",
        "U- a general 2x2 unitary matrix",
        "",
        "This is the last version I created, but it still can contain some errors. ",
        "Therefore some messages about unexpected or uncorrect situations can appear.",
        "Till now all matrices were correctly decomposed. :)",
    };
}
