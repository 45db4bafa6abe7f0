#pragma once

#include "bells/belfry/BelfryEdit.h"

#include <QDialog>
#include <QTemporaryDir>

#include <optional>

class BelfryDialogHost;
class BelfrySpectrumView;
class BelfryWaveView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// «Колокола > Своя звонница ...»: the user's belfries, one shown at a time.
// Per bell its recording with the cut points, its spectrum with the partials,
// its pitch and decay; the bells can be reordered, renamed and set louder or
// softer, and each is heard as it changes. Bells within a quarter tone of
// each other are warned of. Changes reach the belfry on «Сохранить».
class BelfryDialog : public QDialog {
public:
    BelfryDialog(BelfryDialogHost& host, QWidget* parent);
    ~BelfryDialog() override;

    // Lists the belfries again and shows the dialog.
    void showAndRefresh();
    // Shows the belfry of that name (false: there is none).
    bool showBelfry(const QString& name);

    // Imports recordings as a belfry; asks before replacing one of that
    // name. The refused files are told in a message.
    bool importFiles(const QString& name, const QStringList& files);

    // The bell shown (-1: none) and the belfry being changed (for tests).
    int currentBell() const;
    const std::optional<BelfryEdit>& edit() const { return m_edit; }
    void selectBell(int bell);
    void setLevel(double levelDb);
    void moveCurrent(int step);
    bool save();
    // The text of the quarter-tone warnings shown.
    QString warningText() const;
    // The sample file last sounded.
    const QString& lastHeard() const { return m_lastHeard; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillBelfries(const QString& chosen);
    void belfryChosen(int index);
    void fillBells();
    void showBell();
    void hear(int bell);
    void importClicked();
    void removeClicked();
    bool askToKeepChanges();

    BelfryDialogHost& m_host;
    std::optional<BelfryEdit> m_edit;
    QTemporaryDir m_previews;
    int m_previewCount = 0;
    QString m_lastHeard;
    bool m_filling = false;

    QComboBox* m_belfries = nullptr;
    QListWidget* m_bells = nullptr;
    BelfryWaveView* m_wave = nullptr;
    BelfrySpectrumView* m_spectrum = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_warnings = nullptr;
    QLineEdit* m_name = nullptr;
    QDoubleSpinBox* m_level = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_remove = nullptr;
};
