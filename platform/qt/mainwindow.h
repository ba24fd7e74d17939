#pragma once
// The main window: its controls carry the names the commands and the
// presentation use; every control's action is one command of ui/commands.h.

#include <QMainWindow>

#include <memory>

#include "platform/qt/logview.h"
#include "platform/qt/qtpresentation.h"

class QAction;
class QMimeData;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTableWidget;
class AboutWindow;
class ComparisonWindow;
class DrawingSurface;
class GateMatrixDialog;
class GateSelector;

class UserGuideWindow;
struct Workspace;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return *workspace_; }
    QtPresentation& presentation() { return *presentation_; }

    // Controls.
    DrawingSurface* Image1;
    QTableWidget* StringGrid1;
    LogView* Memo1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QLabel* Label18;
    QComboBox* ComboBox1;
    QPushButton* Button1;
    QPushButton* Button5;
    QSlider* TrackBar1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label6;
    QLabel* Label7;
    QSlider* TrackBar2;
    QLabel* Label9;
    QLabel* Label8;
    GateSelector* UpDown1;
    QLabel* Label16;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QProgressBar* ProgressBar1;
    QPushButton* CancelButton;  // beside the progress bar while a long run can be cancelled

    // Menu entries.
    QAction* Otvori1;
    QAction* Uloi1;
    QAction* exportQasm3;
    QAction* exportQasm2;
    QAction* importQasm;
    QAction* importNpy;
    QAction* exportPicture;
    QAction* exportShownPicture;
    QAction* Koniec1;
    QAction* Optimalizova1;
    QAction* compareRoutes;
    QAction* roboptim;
    QAction* Kontrolptimkrok1;
    QAction* Zobroptimkroky;
    QAction* Zuzeniezobrazenia1;
    QAction* Nvod2;
    QAction* Nvod1;

    // Windows created with the main window, hidden until asked for.
    GateMatrixDialog* gateMatrixDialog = nullptr;
    AboutWindow* aboutWindow = nullptr;
    UserGuideWindow* userGuideWindow = nullptr;
    ComparisonWindow* comparisonWindow = nullptr;  // not modal: it stays beside the main window

    // Brings the comparison window up to the workspace's comparison and shows it.
    void showComparisonWindow();

    QLabel* label(Label which) const;

    // The first local file among dropped data; empty when there is none.
    static QString droppedFile(const QMimeData& data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void addToolTips();
    void buildControls();
    // The rows and columns of the window, top to bottom, left to right.
    QLayout* buildCommandRow(QWidget* central);
    void buildGrid(QWidget* central);
    QWidget* buildPictureAndGridPlace(QWidget* central);  // the picture and the grid share one place
    QWidget* buildSideColumn(QWidget* central);
    void buildStatusBar();
    void buildMenus();
    void connectCommands();

    std::unique_ptr<QtPresentation> presentation_;
    std::unique_ptr<Workspace> workspace_;
};
