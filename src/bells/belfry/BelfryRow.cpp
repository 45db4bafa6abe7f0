#include "bells/belfry/BelfryRow.h"

#include <QRegularExpression>

#include <cmath>

namespace {

QString hzText(double hz) {
    return hz > 0.0 ? QString::number(hz, 'f', 1) + QStringLiteral(" Гц") : QStringLiteral("нет");
}

// A bell's hum: measured, or two octaves under the nominal an octave above
// the strike pitch.
double humOf(const BelfryBell& b) {
    return b.partialsHz[belfry::Hum] > 0.0 ? b.partialsHz[belfry::Hum] : b.pitchHz / 2.0;
}

} // namespace

QString BelfryRow::caption(const QString& name) {
    return QStringLiteral("Своя: ") + name;
}

BelfryRow::BelfryRow(Belfry belfry, QString folder) : m_belfry(std::move(belfry)), m_folder(std::move(folder)) {}

QString BelfryRow::sampleFileName(int bell) const {
    return hasBell(bell) ? m_belfry.bells.at(bell).sample : QString();
}

int BelfryRow::nearestCatalogueBell(int bell, const QStringList& catalogueNotes) const {
    if (!hasBell(bell)) {
        return -1;
    }
    const double hum = humOf(m_belfry.bells.at(bell));
    int nearest = -1;
    double distance = 0.0;
    for (int i = 0; i < catalogueNotes.size(); ++i) {
        const double hz = catalogueHz(catalogueNotes.at(i));
        if (hz <= 0.0 || hum <= 0.0) {
            continue;
        }
        const double d = std::abs(std::log2(hum / hz));
        if (nearest < 0 || d < distance) {
            nearest = i;
            distance = d;
        }
    }
    return nearest;
}

QString BelfryRow::information(int bell) const {
    if (!hasBell(bell)) {
        return QStringLiteral("В звоннице «%1» нет колокола на этом месте").arg(m_belfry.name);
    }
    const BelfryBell& b = m_belfry.bells.at(bell);
    static const char* const names[] = {"Гул", "Прима", "Терция", "Квинта", "Номинал"};
    QString text = b.name + QStringLiteral("\nНота удара: ") + noteText(b.pitchHz) +
                   QStringLiteral("\nВысота удара: ") + hzText(b.pitchHz);
    for (int p = 0; p < belfry::kPartialCount; ++p) {
        text += u'\n' + QString::fromUtf8(names[p]) + QStringLiteral(": ") +
                hzText(b.partialsHz[static_cast<size_t>(p)]);
    }
    text += QStringLiteral("\nЗатухание (T30): ") + QString::number(b.t30Seconds, 'f', 1) + QStringLiteral(" с");
    return text;
}

QString BelfryRow::hint(int bell) const {
    if (!hasBell(bell)) {
        return QStringLiteral("Нет колокола");
    }
    const BelfryBell& b = m_belfry.bells.at(bell);
    return b.name + QStringLiteral(", ") + noteText(b.pitchHz);
}

std::optional<BelfryRow> loadBelfryRow(const QString& belfriesDir, const QString& name, QString* error) {
    const BelfryStore store(belfriesDir);
    std::optional<Belfry> belfry = store.load(name, error);
    if (!belfry) {
        return std::nullopt;
    }
    return BelfryRow(std::move(*belfry), store.folderOf(name));
}

QString noteText(double hz) {
    const belfry::NoteOf note = belfry::nearestNote(hz);
    const long cents = std::lround(note.cents);
    return QString::fromStdString(note.name) + (cents >= 0 ? QStringLiteral(" +") : QStringLiteral(" ")) +
           QString::number(cents) + QStringLiteral(" ц");
}

double catalogueHz(const QString& note) {
    static const QRegularExpression figure(QStringLiteral("\\(([0-9]+(?:[.,][0-9]+)?)\\s*Гц\\)"));
    const QRegularExpressionMatch m = figure.match(note);
    return m.hasMatch() ? m.captured(1).replace(u',', u'.').toDouble() : 0.0;
}
