// The belfry item of the bells menu and its dialog, answered by the window.

#include "app/MainBelfry.h"

#include "app/TfrmMain.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "base/PathTable.h"
#include "bells/BellsPanel.h"
#include "bells/belfry/BelfryDialog.h"
#include "bells/belfry/BelfryDialogHost.h"

#include <QAction>
#include <QMenu>

namespace {

class MainBelfryHost : public QObject, public BelfryDialogHost {
public:
    explicit MainBelfryHost(TfrmMain& window) : QObject(&window), m_window(window) {}

    QString belfriesDir() const override { return m_window.paths().belfriesDir(); }
    void playSample(const QString& path) override { m_window.playSampleFile(path); }
    void belfriesChanged() override { m_window.bells().refreshBelfries(); }

private:
    TfrmMain& m_window;
};

} // namespace

void addBelfryMenuItem(TfrmMain& window, QMenu& bellsMenu) {
    auto* action = bellsMenu.addAction(QStringLiteral("Своя звонница ..."));
    action->setObjectName(QStringLiteral("nBelfry"));
    auto* host = new MainBelfryHost(window);
    QObject::connect(action, &QAction::triggered, &window, [&window, host] {
        guarded(lcApp, "belfry dialog", [&window, host] {
            auto* dialog = window.findChild<BelfryDialog*>(QStringLiteral("frmBelfry"));
            if (!dialog) {
                dialog = new BelfryDialog(*host, &window);
            }
            dialog->showAndRefresh();
        });
    });
}
