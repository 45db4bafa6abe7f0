#include "LibraryWriter.h"

#include "base/TextCodec.h"
#include "ringing/RingingText.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cstdint>
#include <random>

namespace {

constexpr RingingList kLists[] = {RingingList::Common, RingingList::Small, RingingList::Middle,
                                  RingingList::Big, RingingList::Custom};

std::optional<QString> readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

QStringList indexNames(const QString& text) {
    QStringList names;
    for (QString line : text.split(u'\n')) {
        const qsizetype hash = line.indexOf(u'#');
        if (hash >= 0) {
            line.truncate(hash);
        }
        line = line.trimmed();
        if (!line.isEmpty()) {
            names.append(line);
        }
    }
    return names;
}

// An encoded body is written with the program's own encoder. Its two symbols
// are drawn from a generator seeded by the file name, so every build writes
// the same bytes while the library as a whole uses all the symbols.
QStringList storedBody(const RingingSource& ringing, const QString& fileName) {
    const QStringList lines = ringing.bodyLines();
    if (!ringing.encoded) {
        return lines;
    }
    std::uint32_t seed = 2166136261u;
    for (const char byte : fileName.toUtf8()) {
        seed = (seed ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    std::mt19937 rng(seed);
    return {encodeRingingLines(lines, SymbolChoice::draw(rng))};
}

} // namespace

QStringList Library::read(const QString& sourceDir) {
    QStringList errors;
    m_entries.clear();
    QSet<QString> files;
    for (RingingList list : kLists) {
        const QString folder = sourceDir + u'/' + listFolderName(list);
        const std::optional<QString> index = readUtf8(folder + QStringLiteral("/index.txt"));
        if (!index) {
            errors.append(folder + QStringLiteral("/index.txt: cannot be read"));
            continue;
        }
        for (const QString& stem : indexNames(*index)) {
            const QString path = folder + u'/' + stem + QStringLiteral(".zvon");
            const std::optional<QString> text = readUtf8(path);
            if (!text) {
                errors.append(path + QStringLiteral(": cannot be read"));
                continue;
            }
            SourceParse parsed = parseRingingSource(*text, path);
            errors.append(parsed.errors);
            if (!parsed.ringing) {
                continue;
            }
            for (const QString& e : checkRinging(*parsed.ringing, list)) {
                errors.append(path + QStringLiteral(": ") + e);
            }
            LibraryEntry entry{list, stem, *parsed.ringing};
            const QString file =
                (list == RingingList::Custom ? QStringLiteral("Custom/") : QStringLiteral("Campanel/")) +
                bodyFileName(entry);
            if (files.contains(file)) {
                errors.append(path + QStringLiteral(": a second ringing would be written to ") + file);
            }
            files.insert(file);
            m_entries.append(entry);
        }
    }
    if (!errors.isEmpty()) {
        m_entries.clear();
    }
    return errors;
}

QString Library::bodyFileName(const LibraryEntry& entry) {
    return (entry.list == RingingList::Custom ? entry.ringing.name : entry.stem) + QStringLiteral(".kol");
}

QStringList Library::catalogueLines(RingingList list) const {
    QStringList lines;
    for (const LibraryEntry& entry : m_entries) {
        if (entry.list != list) {
            continue;
        }
        if (list == RingingList::Custom) {
            lines.append(entry.ringing.name);
        } else {
            lines.append(entry.ringing.require + u';' + entry.ringing.name + u';' + bodyFileName(entry));
        }
    }
    return lines;
}

QStringList Library::listRingingLines(const RingingSource& ringing) {
    QStringList lines{bellsForTypes(ringing.types), ringing.types, ringing.name, ringing.description};
    lines.append(storedBody(ringing, ringing.name));
    return lines;
}

QStringList Library::write(const QString& installDir) const {
    QStringList errors;
    const QString campanel = installDir + QStringLiteral("/Campanel/");
    const QString custom = installDir + QStringLiteral("/Custom/");
    for (const QString& dir : {campanel, custom}) {
        if (!QDir().mkpath(dir)) {
            errors.append(dir + QStringLiteral(": cannot be created"));
            return errors;
        }
    }
    auto put = [&errors](const QString& path, const QStringList& lines) {
        if (!writeTextLines(path, lines)) {
            errors.append(path + QStringLiteral(": cannot be written"));
        }
    };
    for (const LibraryEntry& entry : m_entries) {
        if (entry.list == RingingList::Custom) {
            put(custom + bodyFileName(entry), listRingingLines(entry.ringing));
        } else {
            put(campanel + bodyFileName(entry), storedBody(entry.ringing, entry.stem));
        }
    }
    for (RingingList list :
         {RingingList::Small, RingingList::Middle, RingingList::Big, RingingList::Common}) {
        put(campanel + listFolderName(list) + QStringLiteral(".kli"), catalogueLines(list));
    }
    put(custom + QStringLiteral("list.kli"), catalogueLines(RingingList::Custom));
    // The list ringings that come with the program: the editor never
    // replaces them, whatever the user adds to the list.
    put(custom + QStringLiteral("shipped.kli"), catalogueLines(RingingList::Custom));
    return errors;
}

QStringList Library::summaryLines() const {
    QStringList lines;
    for (const LibraryEntry& entry : m_entries) {
        const RingingSource& r = entry.ringing;
        const bool group = entry.list != RingingList::Common && entry.list != RingingList::Custom;
        // Group ringings always play at 144 ms per column, whatever their header says.
        const int interval = group ? 144 : r.interval;
        const QString need = entry.list == RingingList::Custom ? r.types : r.require;
        lines.append(QStringLiteral("%1 | %2 | %3 | %4 | %5%6 | %7 | %8 ms | %9 s")
                         .arg(listFolderName(entry.list), bodyFileName(entry), r.name, r.form, need,
                              r.marks.isEmpty() ? QString() : u';' + r.marks)
                         .arg(r.columns.size())
                         .arg(interval)
                         .arg(double(r.columns.size()) * interval / 1000.0, 0, 'f', 1));
    }
    return lines;
}
