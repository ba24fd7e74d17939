#pragma once
// "Matrix of the gate Ln(U)": the gate tool's fields. The fields keep their
// texts between uses; only closing with the button counts as OK.

#include <QDialog>

#include "platform/presentation.h"

class QLineEdit;
class QPushButton;

class GateMatrixDialog : public QDialog {
    Q_OBJECT
public:
    explicit GateMatrixDialog(QWidget* parent = nullptr);

    // The texts as they stand.
    GateDialogFields fields() const;

    QLineEdit* Edit1;  // type
    QLineEdit* Edit2;  // target qubit
    QLineEdit* Edit3;  // control qubits
    QLineEdit* Edit4;  // u11
    QLineEdit* Edit5;  // u12
    QLineEdit* Edit6;  // u21
    QLineEdit* Edit7;  // u22
    QPushButton* showButton;
};
