#include "bells/MidiDialog.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/BellsPanel.h"
#include "bells/Ensemble.h"
#include "bells/KeyboardRinging.h"
#include "bells/MidiRinging.h"
#include "input/MidiSettings.h"
#include "input/VirtualKeys.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Devices plugged in or out show within this while the dialog is open.
constexpr int kPortPollMs = 1500;

QString bellName(int bell) {
    // Bells are numbered for the user from the smallest, as in the recorder.
    return QStringLiteral("колокол %1").arg(kBellCount - bell);
}

} // namespace

QString MidiDialog::noSupportText() {
    return QStringLiteral(
        "MIDI недоступен: на этом компьютере нет секвенсора ALSA (/dev/snd/seq) и не запущен "
        "сервер JACK. Звонить можно с клавиатуры, как прежде.");
}

MidiDialog::MidiDialog(BellsPanel& panel, QWidget* parent)
    : QDialog(parent), m_panel(panel), m_midi(panel.midi()) {
    setObjectName(QStringLiteral("frmMidi"));
    setWindowTitle(QStringLiteral("MIDI"));
    auto* layout = new QVBoxLayout(this);

    m_support = new QLabel(noSupportText(), this);
    m_support->setObjectName(QStringLiteral("lblMidiSupport"));
    m_support->setWordWrap(true);
    m_support->hide();
    layout->addWidget(m_support);

    auto* form = new QFormLayout;
    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("cbMidiPort"));
    form->addRow(QStringLiteral("Порт:"), m_port);
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("cbMidiChannel"));
    m_channel->addItem(QStringLiteral("Все каналы"));
    for (int c = 1; c <= 16; ++c) {
        m_channel->addItem(QStringLiteral("Канал %1").arg(c));
    }
    form->addRow(QStringLiteral("Канал:"), m_channel);
    m_curve = new QComboBox(this);
    m_curve->setObjectName(QStringLiteral("cbMidiCurve"));
    m_curve->addItems({QStringLiteral("Линейная"), QStringLiteral("Мягкая"), QStringLiteral("Жёсткая")});
    form->addRow(QStringLiteral("Сила удара:"), m_curve);
    m_threshold = new QSpinBox(this);
    m_threshold->setObjectName(QStringLiteral("seMidiThreshold"));
    m_threshold->setRange(0, MidiPortSettings::kMostThreshold);
    m_threshold->setToolTip(
        QStringLiteral("Удары слабее этой силы не звонят: так отсекаются наводки между пэдами электронной "
                       "установки."));
    form->addRow(QStringLiteral("Порог силы:"), m_threshold);
    layout->addLayout(form);

    auto* maps = new QHBoxLayout;
    auto* drums = new QPushButton(QStringLiteral("Ударные GM"), this);
    drums->setObjectName(QStringLiteral("btnMidiDrums"));
    maps->addWidget(drums);
    auto* chromatic = new QPushButton(QStringLiteral("Подряд от ноты"), this);
    chromatic->setObjectName(QStringLiteral("btnMidiChromatic"));
    maps->addWidget(chromatic);
    m_firstNote = new QSpinBox(this);
    m_firstNote->setObjectName(QStringLiteral("seMidiFirstNote"));
    m_firstNote->setRange(0, 127 - (kBellCount - 1));
    m_firstNote->setValue(48);
    maps->addWidget(m_firstNote);
    layout->addLayout(maps);

    m_learn = new QPushButton(QStringLiteral("Обучение"), this);
    m_learn->setObjectName(QStringLiteral("btnMidiLearn"));
    m_learn->setCheckable(true);
    auto* learnRow = new QHBoxLayout;
    learnRow->addWidget(m_learn);
    m_noBell = new QPushButton(QStringLiteral("Без колокола"), this);
    m_noBell->setObjectName(QStringLiteral("btnMidiNoBell"));
    m_noBell->setEnabled(false);
    learnRow->addWidget(m_noBell);
    layout->addLayout(learnRow);
    m_learnText = new QLabel(this);
    m_learnText->setObjectName(QStringLiteral("lblMidiLearn"));
    m_learnText->setWordWrap(true);
    layout->addWidget(m_learnText);
    m_lastNote = new QLabel(this);
    m_lastNote->setObjectName(QStringLiteral("lblMidiNote"));
    layout->addWidget(m_lastNote);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_port, &QComboBox::activated, this,
            [this](int index) { guarded(lcInput, "MIDI port", [this, index] { portChosen(index); }); });
    connect(m_channel, &QComboBox::activated, this, [this](int index) { m_midi.setChannel(index); });
    connect(m_curve, &QComboBox::activated, this,
            [this](int index) { m_midi.setCurve(static_cast<VelocityCurve>(index)); });
    connect(m_threshold, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_filling) {
            m_midi.setThreshold(value);
        }
    });
    connect(drums, &QPushButton::clicked, this,
            [this] { replaceMap(MidiNoteMap::drumMap(kBellCount), QStringLiteral("Ударные GM")); });
    connect(chromatic, &QPushButton::clicked, this, [this] {
        replaceMap(MidiNoteMap::chromatic(m_firstNote->value(), kBellCount), QStringLiteral("Подряд от ноты"));
    });
    connect(m_learn, &QPushButton::clicked, this, [this] { learnClicked(); });
    connect(m_noBell, &QPushButton::clicked, this, [this] { m_midi.pickNoBell(); });
    connect(&m_midi, &MidiRinging::connectionChanged, this, [this] {
        guarded(lcInput, "MIDI ports", [this] {
            m_systemPorts.clear();
            refreshPorts();
        });
    });
    connect(&m_midi, &MidiRinging::learnChanged, this,
            [this](std::optional<int> note, int bell) { showLearn(note, bell); });
    connect(&m_midi, &MidiRinging::noteHeard, this, [this](int channel, int note, int velocity) {
        m_lastNote->setText(QStringLiteral("Нота %1, канал %2, сила %3%4")
                                .arg(note)
                                .arg(channel)
                                .arg(velocity)
                                .arg(velocity < m_midi.threshold() ? QStringLiteral(" (ниже порога)") : QString()));
    });

    m_poll = new QTimer(this);
    m_poll->setInterval(kPortPollMs);
    connect(m_poll, &QTimer::timeout, this,
            [this] { guarded(lcInput, "MIDI ports", [this] { refreshPorts(); }); });
}

// The bells panel may be gone by now (the window's children go after its
// own parts): learning was ended when the dialog was hidden.
MidiDialog::~MidiDialog() = default;

void MidiDialog::showAndRefresh() {
    const MidiSupport support = m_midi.input().probe();
    m_support->setVisible(!support.any());
    m_port->setEnabled(support.any());
    m_learn->setEnabled(support.any());
    refreshPorts();
    showChoices();
    if (support.any()) {
        m_poll->start();
    }
    show();
    raise();
    activateWindow();
}

void MidiDialog::refreshPorts() {
    // A port that came back is listened to before it is shown.
    m_midi.input().watch();
    const QList<MidiPort> ports = m_midi.input().ports();
    const std::optional<MidiPort> chosen = m_midi.chosenPort() ? m_midi.chosenPort() : m_midi.rememberedPort();
    const bool listening = m_midi.port().has_value();
    if (ports == m_systemPorts && listening == m_shownListening && m_port->count() > 0) {
        return;
    }
    m_systemPorts = ports;
    m_shownListening = listening;
    m_ports = ports;
    // The chosen port is marked while it is not listened to, listed or not.
    const QString away = QStringLiteral(" (не подключён)");
    int current = 0;
    m_filling = true;
    m_port->clear();
    m_port->addItem(QStringLiteral("Нет"));
    for (int i = 0; i < m_ports.size(); ++i) {
        const bool isChosen = chosen && m_ports[i].api == chosen->api && m_ports[i].key() == chosen->key();
        m_port->addItem(m_ports[i].label() + (isChosen && !listening ? away : QString()));
        if (isChosen) {
            current = i + 1;
        }
    }
    if (chosen && current == 0) {
        m_ports.append(*chosen);
        m_port->addItem(chosen->label() + away);
        current = static_cast<int>(m_ports.size());
    }
    m_port->setCurrentIndex(current);
    m_filling = false;
}

void MidiDialog::portChosen(int index) {
    if (m_filling) {
        return;
    }
    const std::optional<MidiPort> port =
        index > 0 && index <= m_ports.size() ? std::optional<MidiPort>(m_ports[index - 1]) : std::nullopt;
    if (!m_midi.usePort(port)) {
        m_learnText->setText(
            QStringLiteral("Порт «%1» не открылся; он будет подключён, как только появится.").arg(port->label()));
    }
    m_systemPorts.clear();
    refreshPorts();
    showChoices();
}

void MidiDialog::showChoices() {
    m_filling = true;
    m_channel->setCurrentIndex(m_midi.channel());
    m_curve->setCurrentIndex(static_cast<int>(m_midi.curve()));
    m_threshold->setValue(m_midi.threshold());
    m_filling = false;
}

void MidiDialog::replaceMap(const MidiNoteMap& preset, const QString& name) {
    const MidiNoteMap& current = m_midi.noteMap();
    if (current != preset && current != MidiNoteMap::drumMap(kBellCount)) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("MIDI"),
                        QStringLiteral("Заменить ноты, настроенные для этого порта, набором «%1»?").arg(name),
                        QMessageBox::NoButton, this);
        box.setObjectName(QStringLiteral("msgMidiReplaceMap"));
        QPushButton* replace = box.addButton(QStringLiteral("Заменить"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() != replace) {
            return;
        }
    }
    m_midi.setNoteMap(preset);
    m_learnText->setText(QStringLiteral("Ноты: набор «%1».").arg(name));
}

void MidiDialog::learnClicked() {
    m_midi.setLearning(m_learn->isChecked());
    m_noBell->setEnabled(false);
    m_learnText->setText(
        m_learn->isChecked()
            ? QStringLiteral("Ударьте по пэду, затем щёлкните колокол или нажмите его клавишу.")
            : QString());
}

void MidiDialog::showLearn(std::optional<int> note, int bell) {
    if (!note) {
        return;
    }
    m_noBell->setEnabled(bell == -2);
    if (bell == -2) {
        m_learnText->setText(QStringLiteral("Нота %1: теперь щёлкните колокол или нажмите его клавишу "
                                            "(или «Без колокола»).")
                                 .arg(*note));
    } else if (bell < 0) {
        m_learnText->setText(QStringLiteral("Нота %1 не звонит. Ударьте по следующему пэду.").arg(*note));
    } else {
        m_learnText->setText(QStringLiteral("Нота %1 звонит в %2. Ударьте по следующему пэду.")
                                 .arg(*note)
                                 .arg(bellName(bell)));
    }
}

void MidiDialog::keyPressEvent(QKeyEvent* event) {
    // While learning, a bell's key pressed here picks that bell.
    if (m_midi.isLearning() && m_midi.pendingNote() && m_panel.bellData()) {
        const int key = VirtualKeys::translate(QGuiApplication::platformName(), event->nativeScanCode(),
                                               event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
        const int bell = KeyboardRinging::bellForKey(*m_panel.bellData(), m_panel.ensemble(), key);
        if (bell >= 0 && m_panel.pickBell(bell)) {
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void MidiDialog::hideEvent(QHideEvent* event) {
    m_poll->stop();
    m_learn->setChecked(false);
    m_noBell->setEnabled(false);
    m_midi.setLearning(false);
    m_learnText->clear();
    m_midi.input().releaseListers();
    m_ports.clear();
    m_systemPorts.clear();
    QDialog::hideEvent(event);
}
