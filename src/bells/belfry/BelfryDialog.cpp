#include "bells/belfry/BelfryDialog.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/belfry/BelfryDialogHost.h"
#include "bells/belfry/BelfryImport.h"
#include "bells/belfry/BelfryPlots.h"
#include "bells/belfry/BelfryRow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Своя звонница");

QString bellLine(int bell, const BelfryBell& b) {
    return QStringLiteral("%1. %2 — %3").arg(bell + 1).arg(b.name, noteText(b.pitchHz));
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

BelfryDialog::BelfryDialog(BelfryDialogHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmBelfry"));
    setWindowTitle(kTitle);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Звонница:"), this));
    m_belfries = new QComboBox(this);
    m_belfries->setObjectName(QStringLiteral("cbBelfries"));
    m_belfries->setMinimumWidth(200);
    top->addWidget(m_belfries, 1);
    auto* import = button(QStringLiteral("Импорт записей ..."), "btnImport", this);
    m_remove = button(QStringLiteral("Удалить"), "btnRemove", this);
    top->addWidget(import);
    top->addWidget(m_remove);

    m_bells = new QListWidget(this);
    m_bells->setObjectName(QStringLiteral("lbBells"));
    m_bells->setMinimumWidth(220);
    m_wave = new BelfryWaveView(this);
    m_wave->setObjectName(QStringLiteral("imgWave"));
    m_spectrum = new BelfrySpectrumView(this);
    m_spectrum->setObjectName(QStringLiteral("imgSpectrum"));
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("lblFigures"));
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edName"));
    m_name->setMaxLength(60);
    m_level = new QDoubleSpinBox(this);
    m_level->setObjectName(QStringLiteral("seLevel"));
    m_level->setSuffix(QStringLiteral(" дБ"));
    m_level->setDecimals(1);
    m_level->setSingleStep(1.0);
    m_level->setRange(BelfryEdit::kLowestLevelDb, BelfryEdit::kHighestLevelDb);
    m_up = button(QStringLiteral("Выше"), "btnUp", this);
    m_down = button(QStringLiteral("Ниже"), "btnDown", this);
    auto* listen = button(QStringLiteral("Прослушать"), "btnListen", this);
    auto* edits = new QHBoxLayout;
    edits->addWidget(new QLabel(QStringLiteral("Имя:"), this));
    edits->addWidget(m_name, 1);
    edits->addWidget(new QLabel(QStringLiteral("Уровень:"), this));
    edits->addWidget(m_level);
    edits->addWidget(m_up);
    edits->addWidget(m_down);
    edits->addWidget(listen);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Запись и точки обрезки"), this));
    right->addWidget(m_wave, 1);
    right->addWidget(new QLabel(QStringLiteral("Спектр и парциалы"), this));
    right->addWidget(m_spectrum, 1);
    right->addWidget(m_figures);
    right->addLayout(edits);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_bells);
    middle->addLayout(right, 1);

    m_warnings = new QLabel(this);
    m_warnings->setObjectName(QStringLiteral("lblWarnings"));
    m_warnings->setStyleSheet(QStringLiteral("color: #b00000"));
    m_warnings->setWordWrap(true);
    m_save = button(QStringLiteral("Сохранить"), "btnSave", this);
    auto* close = button(QStringLiteral("Закрыть"), "btnClose", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_warnings, 1);
    bottom->addWidget(m_save);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    resize(820, 520);

    const auto safely = [this](const char* what, auto&& f) {
        return [this, what, f] { guarded(lcBells, what, f); };
    };
    connect(m_belfries, &QComboBox::activated, this, [this](int index) {
        guarded(lcBells, "belfry chosen", [this, index] { belfryChosen(index); });
    });
    connect(m_bells, &QListWidget::currentRowChanged, this, [this](int row) {
        guarded(lcBells, "bell chosen", [this, row] {
            if (!m_filling) {
                showBell();
                hear(row);
            }
        });
    });
    connect(m_name, &QLineEdit::editingFinished, this, safely("bell renamed", [this] {
                if (m_edit && currentBell() >= 0) {
                    m_edit->rename(currentBell(), m_name->text().trimmed());
                    fillBells();
                }
            }));
    connect(m_level, &QDoubleSpinBox::editingFinished, this,
            safely("bell level", [this] { setLevel(m_level->value()); }));
    connect(m_up, &QPushButton::clicked, this, safely("bell up", [this] { moveCurrent(-1); }));
    connect(m_down, &QPushButton::clicked, this, safely("bell down", [this] { moveCurrent(1); }));
    connect(listen, &QPushButton::clicked, this, safely("bell heard", [this] { hear(currentBell()); }));
    connect(import, &QPushButton::clicked, this, safely("belfry import", [this] { importClicked(); }));
    connect(m_remove, &QPushButton::clicked, this, safely("belfry removal", [this] { removeClicked(); }));
    connect(m_save, &QPushButton::clicked, this, safely("belfry saved", [this] { save(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

BelfryDialog::~BelfryDialog() = default;

void BelfryDialog::showAndRefresh() {
    fillBelfries(m_edit ? m_edit->belfry().name : QString());
    show();
    raise();
    activateWindow();
}

bool BelfryDialog::showBelfry(const QString& name) {
    fillBelfries(name);
    return m_edit && m_edit->belfry().name == name;
}

void BelfryDialog::fillBelfries(const QString& chosen) {
    const QStringList names = BelfryStore(m_host.belfriesDir()).names();
    {
        const QSignalBlocker quiet(m_belfries);
        m_belfries->clear();
        m_belfries->addItems(names);
    }
    const int index = std::max(0, static_cast<int>(names.indexOf(chosen)));
    m_belfries->setCurrentIndex(names.isEmpty() ? -1 : index);
    belfryChosen(names.isEmpty() ? -1 : index);
}

void BelfryDialog::belfryChosen(int index) {
    m_edit.reset();
    if (index >= 0) {
        QString error;
        m_edit = BelfryEdit::open(BelfryStore(m_host.belfriesDir()), m_belfries->itemText(index), &error);
        if (!m_edit) {
            qCWarning(lcBells) << "belfry cannot be opened:" << error;
            QMessageBox::warning(this, kTitle, QStringLiteral("Звонницу открыть не удалось: ") + error);
        }
    }
    fillBells();
    m_filling = true;
    m_bells->setCurrentRow(m_edit && m_edit->count() > 0 ? 0 : -1);
    m_filling = false;
    showBell();
}

void BelfryDialog::fillBells() {
    const int current = currentBell();
    m_filling = true;
    m_bells->clear();
    if (m_edit) {
        for (int i = 0; i < m_edit->count(); ++i) {
            m_bells->addItem(bellLine(i, m_edit->belfry().bells.at(i)));
        }
        m_bells->setCurrentRow(std::min(current, m_edit->count() - 1));
        m_warnings->setText(m_edit->warnings().join(u'\n'));
    } else {
        m_warnings->clear();
    }
    m_filling = false;
    m_remove->setEnabled(m_edit.has_value());
    m_save->setEnabled(m_edit && m_edit->isChanged());
}

int BelfryDialog::currentBell() const {
    return m_edit ? m_bells->currentRow() : -1;
}

void BelfryDialog::selectBell(int bell) {
    m_bells->setCurrentRow(bell);
}

void BelfryDialog::showBell() {
    const int bell = currentBell();
    const bool shown = bell >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_level, m_up, m_down}) {
        w->setEnabled(shown);
    }
    if (!shown) {
        m_wave->setWave({}, 0, {});
        m_spectrum->setSpectrum({}, 0, {});
        m_figures->clear();
        return;
    }
    const BelfryBell& b = m_edit->belfry().bells.at(bell);
    const bellmeasure::Audio sample = m_edit->sample(bell);
    // The recording with its cut points, when it is still where it was;
    // otherwise the kept sound, from its pre-roll to its end.
    const belfry::RecordingResult source = belfry::analyseRecordingFile(QFile::encodeName(b.source).toStdString());
    if (source.ok()) {
        const belfry::BellMeasures& m = source.measures;
        const double rate = m.sampleRate;
        m_wave->setWave(source.audio.mono(), m.sampleRate,
                        {{m.cutStart / rate, QStringLiteral("начало")},
                         {m.onsetFrame / rate, QStringLiteral("удар")},
                         {m.fadeStart / rate, QStringLiteral("затухание")},
                         {m.cutEnd / rate, QStringLiteral("конец")}});
    } else {
        const double seconds = sample.seconds();
        m_wave->setWave(sample.mono(), sample.sampleRate,
                        {{belfry::kPreRollSeconds, QStringLiteral("удар")},
                         {std::max(0.0, seconds - belfry::kFadeOutSeconds), QStringLiteral("затухание")}});
    }
    static const char* const names[] = {"гул", "прима", "терция", "квинта", "номинал"};
    std::vector<PlotMark> partials;
    for (int p = 0; p < belfry::kPartialCount; ++p) {
        if (b.partialsHz[static_cast<size_t>(p)] > 0.0) {
            partials.push_back({b.partialsHz[static_cast<size_t>(p)], QString::fromUtf8(names[p])});
        }
    }
    const std::vector<float> mono = sample.mono();
    const size_t preRoll = static_cast<size_t>(belfry::kPreRollSeconds * sample.sampleRate);
    m_spectrum->setSpectrum(std::vector<float>(mono.begin() + static_cast<long>(std::min(preRoll, mono.size())),
                                               mono.end()),
                            sample.sampleRate, partials);
    m_figures->setText(QStringLiteral("Высота удара: %1 Гц (%2)   T30: %3 с   Запись: %4")
                           .arg(QString::number(b.pitchHz, 'f', 1), noteText(b.pitchHz),
                                QString::number(b.t30Seconds, 'f', 1), QFileInfo(b.source).fileName()));
    m_name->setText(b.name);
    const QSignalBlocker quiet(m_level);
    m_level->setMaximum(std::max(BelfryEdit::kLowestLevelDb, m_edit->highestLevel(bell)));
    m_level->setValue(b.levelDb);
}

void BelfryDialog::hear(int bell) {
    if (!m_edit || bell < 0 || bell >= m_edit->count()) {
        return;
    }
    // Each sound heard gets a file of its own, kept while the dialog lives:
    // a sample once decoded is kept by its path, and one still decoding
    // needs its file.
    const QString path = m_previews.path() + QStringLiteral("/heard-%1.flac").arg(++m_previewCount);
    const std::string failure = belfry::writeFlac(QFile::encodeName(path).toStdString(), m_edit->sample(bell));
    if (!failure.empty()) {
        qCWarning(lcBells) << "a bell cannot be heard:" << QString::fromStdString(failure);
        return;
    }
    m_lastHeard = path;
    m_host.playSample(path);
}

void BelfryDialog::setLevel(double levelDb) {
    const int bell = currentBell();
    if (bell < 0) {
        return;
    }
    const double level = m_edit->setLevel(bell, levelDb);
    const QSignalBlocker quiet(m_level);
    m_level->setValue(level);
    fillBells();
    hear(bell);
}

void BelfryDialog::moveCurrent(int step) {
    const int bell = currentBell();
    if (bell < 0 || !m_edit->move(bell, bell + step)) {
        return;
    }
    m_filling = true;
    m_bells->setCurrentRow(bell + step);
    m_filling = false;
    fillBells();
    showBell();
    hear(currentBell());
}

bool BelfryDialog::save() {
    if (!m_edit) {
        return false;
    }
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = m_edit->save(BelfryStore(m_host.belfriesDir()), &error);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        qCWarning(lcBells) << "belfry not saved:" << error;
        QMessageBox::warning(this, kTitle, QStringLiteral("Звонница не сохранена: ") + error);
        return false;
    }
    fillBells();
    m_host.belfriesChanged();
    return true;
}

QString BelfryDialog::warningText() const {
    return m_warnings->text();
}

bool BelfryDialog::askToKeepChanges() {
    if (!m_edit || !m_edit->isChanged()) {
        return true;
    }
    const auto answer = QMessageBox::question(
        this, kTitle, QStringLiteral("Сохранить изменения звонницы «%1»?").arg(m_edit->belfry().name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save) {
        return save();
    }
    return answer == QMessageBox::Discard;
}

void BelfryDialog::closeEvent(QCloseEvent* event) {
    if (!askToKeepChanges()) {
        event->ignore();
        return;
    }
    m_edit.reset();
    QDialog::closeEvent(event);
}

void BelfryDialog::importClicked() {
    if (!askToKeepChanges()) {
        return;
    }
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Записи колоколов (по одному удару в каждой)"), QString(),
        QStringLiteral("Звуковые файлы (*.wav *.flac *.ogg *.mp3 *.WAV *.FLAC *.OGG *.MP3);;Все файлы (*)"));
    if (files.isEmpty()) {
        return;
    }
    const QString name = QInputDialog::getText(this, kTitle, QStringLiteral("Название звонницы:")).trimmed();
    if (!name.isEmpty()) {
        importFiles(name, files);
    }
}

bool BelfryDialog::importFiles(const QString& name, const QStringList& files) {
    const BelfryStore store(m_host.belfriesDir());
    const QString problem = BelfryStore::nameProblem(name);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, kTitle, QStringLiteral("Название не подходит: ") + problem);
        return false;
    }
    const bool replace = store.exists(name);
    if (replace && QMessageBox::question(this, kTitle,
                                         QStringLiteral("Звонница «%1» уже есть. Заменить её?").arg(name),
                                         QMessageBox::Yes | QMessageBox::Cancel) != QMessageBox::Yes) {
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BelfryImport import = importRecordings(name, files);
    QString error = import.error;
    const bool saved = error.isEmpty() && !import.belfry.bells.isEmpty() &&
                       store.save(import.belfry, import.samples, replace, &error);
    QApplication::restoreOverrideCursor();
    QStringList refused;
    for (const ImportedFile& f : import.files) {
        if (f.bell < 0) {
            refused << QFileInfo(f.file).fileName() + QStringLiteral(": ") + f.why;
        }
    }
    if (!saved) {
        if (error.isEmpty()) {
            error = QStringLiteral("ни одна запись не подошла");
        }
        QMessageBox::warning(this, kTitle,
                             QStringLiteral("Звонница не создана: ") + error +
                                 (refused.isEmpty() ? QString() : u'\n' + refused.join(u'\n')));
        return false;
    }
    if (!refused.isEmpty()) {
        QMessageBox::information(this, kTitle, QStringLiteral("Не вошли в звонницу:\n") + refused.join(u'\n'));
    }
    m_host.belfriesChanged();
    fillBelfries(name);
    return true;
}

void BelfryDialog::removeClicked() {
    if (!m_edit) {
        return;
    }
    const QString name = m_edit->belfry().name;
    if (QMessageBox::question(this, kTitle, QStringLiteral("Удалить звонницу «%1»?").arg(name),
                              QMessageBox::Yes | QMessageBox::Cancel) != QMessageBox::Yes) {
        return;
    }
    QString error;
    if (!BelfryStore(m_host.belfriesDir()).remove(name, &error)) {
        QMessageBox::warning(this, kTitle, QStringLiteral("Звонница не удалена: ") + error);
        return;
    }
    m_edit.reset();
    m_host.belfriesChanged();
    fillBelfries(QString());
}
