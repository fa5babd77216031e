#pragma once
// The main window "General Setting": port choice and Connect, status, the
// controller picture with its two side toggles, and the parameter panel.
// It owns the program state, the port, the clock and the console link for
// the whole run; every handler is a call into the core.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QPointer>

#include "app/Backup.h"
#include "app/Plan.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/UserInterface.h"
#include "sim/Scenario.h"
#include "ui/ParameterPanel.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace k400 {
class ConsoleLink;
class SerialPort;
}  // namespace k400

namespace k400::ui {

class AboutWindow;
class CanopenWindow;
class DeviceNetWindow;
class QtUserInterface;
class ScanParameterDialog;
class SelectablePort;
class StatusLine;

struct MainWindowOptions {
    bool demo = false;                   // offer (and select) the simulated gateway
    std::filesystem::path outputFolder;  // where EDS files go; empty = the program's folder
    int paceMs = -1;                     // console pacing; -1 keeps the link's default
    std::unique_ptr<Clock> clock;        // null = the machine's clock
    std::optional<Scenario> scenario;    // the simulated gateway; none = the built-in one
};

// What the connect sequence, the profile windows and the viewers share.
struct AppContext {
    ProgramState& state;
    ConsoleLink& link;
    SerialPort& port;
    UserInterface& ui;
    std::filesystem::path outputFolder;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowOptions options = {});
    ~MainWindow() override;

    ProgramState& state() { return state_; }
    const ParameterPanel& panel() const { return panel_; }
    AppContext& context() { return *context_; }
    QtUserInterface& userInterface() { return *ui_; }

    // Status box, progress bar (for the core through QtUserInterface).
    void setStatusText(const QString& text);
    QString statusText() const;
    void setProgressValue(int value);
    void setProgressVisible(bool visible);
    // The main window's status line, and the one of the window the user is in
    // (a profile window while it is open).
    StatusLine* statusLine() const { return statusLine_; }
    StatusLine* activeStatusLine() const;
    // While the scan parameter dialog is open the window's controls and
    // menus take no input (the dialog itself stays usable).
    void setInputEnabled(bool enabled);
    bool inputEnabled() const;

    ScanParameterDialog* openScanParameterDialog();
    ScanParameterDialog* scanParameterDialog() const;
    CanopenWindow* canopenWindow() const;
    DeviceNetWindow* deviceNetWindow() const;

    void showConnectPhase(ConnectPhase phase);

    // Index of the simulated gateway in the port list, -1 when not offered.
    int simulatedPortIndex() const { return simulatedIndex_; }

    // Handlers, public so that tests and the screenshot tool drive them the
    // way a click does.
    void connectGateway();
    void buildEdsFile();
    void sideToggleReleased(int side);
    void applicationOptionClicked(int option);
    void settingClicked();
    void openAbout();
    // File menu: a plan fills the parameter boxes (stored only by "Setting")
    // and, when they open, the profile windows' choices.
    bool openPlan(const QString& path);
    bool savePlan(const QString& path);
    // File menu, after a connect, each through the core the command line uses:
    // the gateway's stored configuration kept in a backup file, held against
    // one (the differences listed), or written back from one into a gateway
    // with the backup's modules (asks first), then its EDS (and DCF) file.
    // True when it came to its result.
    bool backupGateway(const QString& path);
    bool compareWithBackup(const QString& path);
    bool restoreFromBackup(const QString& path);
    // The plan's profile choices, once: the profile window that opens takes them.
    std::optional<Plan> takePlanForProfile(Profile profile);
    // Shown again when a profile window closes; its choices go into a saved plan.
    void profileWindowClosed();
    void rememberChoices(const CanopenChoices& choices) { canopenChoices_ = choices; }
    void rememberChoices(const DeviceNetChoices& choices) { deviceNetChoices_ = choices; }

    // Entries of the shown parameter panel that differ from what "Setting" last stored.
    bool pendingEntries() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void loadWindow();
    void resetMainView();
    void releaseConnection();
    void fillPortList();
    std::string selectedPortName() const;
    void refreshPanel();
    void storePanelInput();
    void colourToggle(int side, std::uint32_t rgb);
    // The boxes as they stand now count as stored (no pending entry).
    void markStored();
    void updatePending();
    // The open plan's values for the side now shown go into its boxes.
    void fillBoxesFromPlan();
    void rememberPort();
    // What follows a connect (or the one after a restore) in the window.
    void connectDone(bool connected);
    // Connected, not busy, and the port listed is the one connected to.
    bool gatewayReady();
    // The connected gateway's backup, read with the window's wait feedback.
    std::optional<GatewayBackup> readGateway();

    struct Entries {
        std::array<bool, 2> application{};
        int baud = -1;
        QString value;  // node ID or time-out
        int checksum = -1;
        bool operator==(const Entries&) const = default;
    };
    Entries entries() const;

    ProgramState state_;
    MainWindowOptions options_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<SelectablePort> port_;
    std::unique_ptr<QtUserInterface> ui_;
    std::unique_ptr<ConsoleLink> link_;
    std::unique_ptr<AppContext> context_;
    ParameterPanel panel_;

    QPointer<ScanParameterDialog> scanDialog_;
    QPointer<AboutWindow> aboutWindow_;
    QPointer<CanopenWindow> canopenWindow_;
    QPointer<DeviceNetWindow> deviceNetWindow_;
    int simulatedIndex_ = -1;
    std::vector<std::string> portNames_;
    StatusLine* statusLine_ = nullptr;
    Entries stored_;
    std::optional<Plan> plan_;
    std::array<bool, 2> planSidesDue_{};     // CAN, COM2 boxes still to fill from the plan
    std::array<bool, 2> planProfilesDue_{};  // CANopen, DeviceNet choices still to take
    std::optional<CanopenChoices> canopenChoices_;
    std::optional<DeviceNetChoices> deviceNetChoices_;

    // Controls (object names as the user documentation calls them).
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* openPlanAction_ = nullptr;
    QAction* savePlanAction_ = nullptr;
    std::array<QAction*, 3> backupActions_{};  // backup, compare, restore
    QLabel* pendingHint_ = nullptr;
    QComboBox* comPort_ = nullptr;
    QPushButton* connect_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* firmwareVer_ = nullptr;
    QLineEdit* communicationState_ = nullptr;
    QPushButton* writeEds_ = nullptr;
    QPushButton* exitProgram_ = nullptr;
    std::array<QLabel*, 2> imageK400_{};
    QLabel* modulesImage_ = nullptr;
    std::array<QLabel*, 2> comImage_{};
    std::array<QPushButton*, 2> comButton_{};
    std::array<QLabel*, 2> comCaption_{};
    std::array<QLabel*, 2> mousePoint_{};
    QGroupBox* paraSetting_ = nullptr;
    QPushButton* settingParameter_ = nullptr;
    QGroupBox* applicationLayerFrame_ = nullptr;
    std::array<QRadioButton*, 2> applicationSelect_{};
    QLabel* paraSettingC1_ = nullptr;
    QComboBox* canBaudrate_ = nullptr;
    std::array<QLabel*, 2> paraSettingC2_{};
    QLineEdit* canNodeId_ = nullptr;
    QLabel* paraSettingC0_ = nullptr;
    QComboBox* comChecksum_ = nullptr;
    QGroupBox* paraView_ = nullptr;
    QLabel* viewerC0_ = nullptr;
    std::array<QLabel*, 2> viewerC1_{};
    std::array<QLabel*, 2> viewerC2_{};
    std::array<QLineEdit*, 3> viewerText_{};
};

}  // namespace k400::ui
