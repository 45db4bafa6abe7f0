#include "bells/belfry/BelfryStore.h"

#include "base/AtomicFile.h"
#include "base/Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QByteArray kMagic = "campanix belfry 1";
const QString kDescription = QStringLiteral("belfry.txt");
constexpr int kBellFields = 15;

QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            c = u' ';
        }
    }
    return text;
}

QByteArray number(double v) {
    return QByteArray::number(v, 'g', 10);
}

// What a save or removal stopped by a crash or a kill left behind: its
// hidden working folders. One an hour old is no longer being worked on. A
// replaced belfry set aside (.old-) stays: a kill at the wrong moment may
// have left it the only copy.
void clearLeftovers(const QString& root) {
    const QDir dir(root);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QFileInfo& item : dir.entryInfoList({QStringLiteral(".new-*"), QStringLiteral(".gone-*")},
                                                   QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (item.lastModified().toUTC() < stale && !QDir(item.filePath()).removeRecursively()) {
            qCWarning(lcBells) << "a belfry's leftover folder cannot be removed:" << item.filePath();
        }
    }
}

} // namespace

BelfryStore::BelfryStore(const QString& root) : m_root(QDir::cleanPath(root) + u'/') {}

QString BelfryStore::nameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("the name is empty");
    }
    if (name.size() > kMaxNameLength) {
        return QStringLiteral("the name is longer than %1 characters").arg(kMaxNameLength);
    }
    if (name.startsWith(u'.') || name != name.trimmed()) {
        return QStringLiteral("the name may not start with a dot or a space, nor end with a space");
    }
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || !c.isPrint()) {
            return QStringLiteral("the name may not hold a slash or a control character");
        }
    }
    return {};
}

QString BelfryStore::sampleFileName(int bell, int generation) {
    const QString number = QStringLiteral("%1").arg(bell + 1, 2, 10, QLatin1Char('0'));
    return generation > 0 ? QStringLiteral("bell%1-%2.flac").arg(number).arg(generation)
                          : QStringLiteral("bell%1.flac").arg(number);
}

QString BelfryStore::folderOf(const QString& name) const {
    return m_root + name + u'/';
}

QStringList BelfryStore::names() const {
    QStringList found;
    const QStringList folders = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : folders) {
        if (nameProblem(folder).isEmpty() && QFileInfo(folderOf(folder) + kDescription).isFile()) {
            found.append(folder);
        }
    }
    return found;
}

bool BelfryStore::exists(const QString& name) const {
    return nameProblem(name).isEmpty() && QFileInfo::exists(m_root + name);
}

std::optional<Belfry> BelfryStore::load(const QString& name, QString* error) const {
    const QString problem = nameProblem(name);
    if (!problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    QFile file(folderOf(name) + kDescription);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no belfry named \"%1\" in %2").arg(name, m_root);
        return std::nullopt;
    }
    std::optional<Belfry> belfry = parseBelfryDescription(file.readAll(), error);
    if (!belfry) {
        *error = file.fileName() + QStringLiteral(": ") + *error;
        return std::nullopt;
    }
    for (const BelfryBell& bell : belfry->bells) {
        if (!QFileInfo(folderOf(name) + bell.sample).isFile()) {
            *error = QStringLiteral("%1: the sample %2 is missing").arg(folderOf(name), bell.sample);
            return std::nullopt;
        }
    }
    // The folder's name is the belfry's name, whatever the file says.
    belfry->name = name;
    return belfry;
}

bool BelfryStore::save(const Belfry& belfry, const std::vector<bellmeasure::Audio>& samples, bool replace,
                       QString* error) const {
    const QString problem = nameProblem(belfry.name);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    if (belfry.bells.isEmpty() || belfry.bells.size() > kMaxBells ||
        samples.size() != static_cast<size_t>(belfry.bells.size())) {
        *error = QStringLiteral("a belfry holds 1 to %1 bells").arg(kMaxBells);
        return false;
    }
    const QString target = m_root + belfry.name;
    if (QFileInfo::exists(target) && !replace) {
        *error = QStringLiteral("a belfry named \"%1\" exists already").arg(belfry.name);
        return false;
    }
    if (!QDir().mkpath(m_root)) {
        *error = QStringLiteral("%1 cannot be created").arg(m_root);
        return false;
    }
    clearLeftovers(m_root);
    QTemporaryDir building(m_root + QStringLiteral(".new-XXXXXX"));
    if (!building.isValid()) {
        *error = QStringLiteral("%1: %2").arg(m_root, building.errorString());
        return false;
    }
    Belfry written = belfry;
    for (int i = 0; i < written.bells.size(); ++i) {
        written.bells[i].sample = sampleFileName(i, written.generation);
        const std::string failure = belfry::writeFlac(
            (building.path() + u'/' + written.bells[i].sample).toStdString(), samples[static_cast<size_t>(i)]);
        if (!failure.empty()) {
            *error = QString::fromStdString(failure);
            return false;
        }
    }
    if (!writeFileAtomically(building.path() + u'/' + kDescription, belfryDescription(written))) {
        *error = QStringLiteral("%1: the description cannot be written (is the disk full?)").arg(target);
        return false;
    }
    // The old belfry steps aside under a hidden name until the new one is in
    // its place, and comes back if that fails.
    QString aside;
    if (QFileInfo::exists(target)) {
        QTemporaryDir slot(m_root + QStringLiteral(".old-XXXXXX"));
        aside = slot.path();
        slot.remove();
        if (aside.isEmpty() || !QDir().rename(target, aside)) {
            *error = QStringLiteral("%1 cannot be replaced").arg(target);
            return false;
        }
    }
    if (!QDir().rename(building.path(), target)) {
        if (!aside.isEmpty()) {
            QDir().rename(aside, target);
        }
        *error = QStringLiteral("%1 cannot be written").arg(target);
        return false;
    }
    building.setAutoRemove(false);
    if (!aside.isEmpty() && !QDir(aside).removeRecursively()) {
        qCWarning(lcBells) << "the replaced belfry could not be removed:" << aside;
    }
    return true;
}

bool BelfryStore::remove(const QString& name, QString* error) const {
    if (!nameProblem(name).isEmpty() || !QFileInfo(folderOf(name) + kDescription).isFile()) {
        *error = QStringLiteral("no belfry named \"%1\" in %2").arg(name, m_root);
        return false;
    }
    // Out of sight first, so a removal that stops half way leaves no
    // half belfry under the name.
    QTemporaryDir slot(m_root + QStringLiteral(".gone-XXXXXX"));
    const QString aside = slot.path();
    slot.remove();
    if (aside.isEmpty() || !QDir().rename(m_root + name, aside)) {
        *error = QStringLiteral("%1 cannot be removed").arg(folderOf(name));
        return false;
    }
    if (!QDir(aside).removeRecursively()) {
        qCWarning(lcBells) << "the removed belfry's files stay in" << aside;
    }
    return true;
}

QByteArray belfryDescription(const Belfry& belfry) {
    QByteArray out = kMagic + '\n';
    out += "name\t" + oneLine(belfry.name).toUtf8() + '\n';
    if (belfry.generation > 0) {
        out += "generation\t" + QByteArray::number(belfry.generation) + '\n';
    }
    out += "# bell number, sample, display name, strike pitch Hz, strike s in the recording, T30 s, "
           "loudness dB, level dB, hum, prime, tierce, quint, nominal Hz, recording\n";
    for (int i = 0; i < belfry.bells.size(); ++i) {
        const BelfryBell& b = belfry.bells.at(i);
        QByteArrayList fields = {"bell",
                                 QByteArray::number(i),
                                 b.sample.toUtf8(),
                                 oneLine(b.name).toUtf8(),
                                 number(b.pitchHz),
                                 number(b.strikeSeconds),
                                 number(b.t30Seconds),
                                 number(b.loudnessDb),
                                 number(b.levelDb)};
        for (const double hz : b.partialsHz) {
            fields.append(number(hz));
        }
        fields.append(oneLine(b.source).toUtf8());
        out += fields.join('\t') + '\n';
    }
    return out;
}

std::optional<Belfry> parseBelfryDescription(const QByteArray& text, QString* error) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kMagic) {
        *error = QStringLiteral("not a belfry description");
        return std::nullopt;
    }
    // Written whole, the file ends with its last line's end: without it the
    // last line may be torn.
    if (!text.endsWith('\n')) {
        *error = QStringLiteral("the last line is incomplete");
        return std::nullopt;
    }
    Belfry belfry;
    for (int n = 1; n < lines.size(); ++n) {
        const QByteArray line = lines.at(n).endsWith('\r') ? lines.at(n).chopped(1) : lines.at(n);
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QList<QByteArray> f = line.split('\t');
        const auto bad = [&](const char* what) {
            *error = QStringLiteral("line %1: %2").arg(n + 1).arg(QLatin1String(what));
            return std::nullopt;
        };
        if (f.first() == "name" && f.size() == 2) {
            belfry.name = QString::fromUtf8(f.at(1));
            continue;
        }
        if (f.first() == "generation" && f.size() == 2) {
            bool ok = false;
            belfry.generation = f.at(1).toInt(&ok);
            if (!ok || belfry.generation < 0) {
                return bad("the generation is not a whole number");
            }
            continue;
        }
        if (f.first() != "bell" || f.size() != kBellFields) {
            return bad("neither a name nor a bell of 15 fields");
        }
        bool ok = false;
        const int index = f.at(1).toInt(&ok);
        if (!ok || index != belfry.bells.size() || index >= BelfryStore::kMaxBells) {
            return bad("bells must be numbered 0 to 14 in order");
        }
        BelfryBell b;
        b.sample = QString::fromUtf8(f.at(2));
        if (b.sample.contains(u'/') || b.sample.startsWith(u'.') || b.sample.isEmpty()) {
            return bad("a sample must be a file of the belfry's own folder");
        }
        b.name = QString::fromUtf8(f.at(3));
        double* numbers[] = {&b.pitchHz, &b.strikeSeconds, &b.t30Seconds, &b.loudnessDb, &b.levelDb,
                             &b.partialsHz[0], &b.partialsHz[1], &b.partialsHz[2], &b.partialsHz[3],
                             &b.partialsHz[4]};
        for (int k = 0; k < 10; ++k) {
            *numbers[k] = f.at(4 + k).toDouble(&ok);
            if (!ok || !std::isfinite(*numbers[k])) {
                return bad("a measurement is not a number");
            }
        }
        b.source = QString::fromUtf8(f.at(14));
        belfry.bells.append(b);
    }
    if (belfry.bells.isEmpty()) {
        *error = QStringLiteral("the belfry has no bells");
        return std::nullopt;
    }
    return belfry;
}
