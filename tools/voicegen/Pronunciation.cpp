#include "Pronunciation.h"

#include <QRegularExpression>

namespace {

const QChar kStress(0x0301);

QString stripped(QString word) {
    return word.remove(kStress);
}

// Consonants before which «к» is voiced, as in «к большим» [g bɐlʲˈʂɨm].
bool voicesTheK(const QString& next) {
    return !next.isEmpty() && QStringLiteral("бгджз").contains(next.at(0).toLower());
}

const QRegularExpression& wordPattern() {
    static const QRegularExpression word(QStringLiteral("[\\p{L}\\x{0301}]+"));
    return word;
}

const Pronunciation* writtenForm(const QString& lower) {
    for (const Pronunciation& p : pronunciations()) {
        if (p.written == lower) {
            return &p;
        }
    }
    return nullptr;
}

bool isPlainForm(const QString& lower) {
    const QString plain = stripped(lower);
    for (const Pronunciation& p : pronunciations()) {
        if (p.plain == plain && p.written != p.plain) {
            return true;
        }
    }
    return false;
}

} // namespace

const std::vector<Pronunciation>& pronunciations() {
    // Checked against espeak-ng 1.51: each entry's plain word is stressed or
    // sounded wrongly by the voice, and its phonemes come back as written.
    static const std::vector<Pronunciation> table{
        {QStringLiteral("колокола"), QStringLiteral("колокола́"), QStringLiteral("kVlVkVl'A")},
        {QStringLiteral("колокола"), QStringLiteral("ко́локола"), QStringLiteral("k'olVkVlV")},
        {QStringLiteral("колоколам"), QStringLiteral("колокола́м"), QStringLiteral("kVlVkVl'Am")},
        {QStringLiteral("колоколах"), QStringLiteral("колокола́х"), QStringLiteral("kVlVkVl'Ax")},
        {QStringLiteral("двузвон"), QStringLiteral("двузво́н"), QStringLiteral("dvuzv'on")},
        {QStringLiteral("перезвоне"), QStringLiteral("перезво́не"), QStringLiteral("p;ir;izv'on;i")},
        {QStringLiteral("переборе"), QStringLiteral("перебо́ре"), QStringLiteral("p;ir;ib'or;i")},
        {QStringLiteral("утрене"), QStringLiteral("у́трене"), QStringLiteral("'ut@-r;in;i")},
        {QStringLiteral("малому"), QStringLiteral("ма́лому"), QStringLiteral("m'AlVmu")},
        {QStringLiteral("самому"), QStringLiteral("са́мому"), QStringLiteral("s'AmVmu")},
        {QStringLiteral("самому"), QStringLiteral("самому́"), QStringLiteral("sVmVm'u")},
        {QStringLiteral("окна"), QStringLiteral("окна́"), QStringLiteral("Vkn'A")},
        {QStringLiteral("окна"), QStringLiteral("о́кна"), QStringLiteral("'okna")},
        {QStringLiteral("руки"), QStringLiteral("руки́"), QStringLiteral("@-ruk;'i")},
        {QStringLiteral("руки"), QStringLiteral("ру́ки"), QStringLiteral("@-r'uk;I")},
        {QStringLiteral("щелчкам"), QStringLiteral("щелчка́м"), QStringLiteral("S;iltS;k'Am")},
        {QStringLiteral("замедляйте"), QStringLiteral("замедля́йте"), QStringLiteral("zVm;idl;'Ajt;i")},
        {QStringLiteral("голоса"), QStringLiteral("голоса́"), QStringLiteral("gVlVs'A")},
        {QStringLiteral("голоса"), QStringLiteral("го́лоса"), QStringLiteral("g'olVsV")},
        {QStringLiteral("потом"), QStringLiteral("пото́м"), QStringLiteral("pVt'om")},
        {QStringLiteral("больших"), QStringLiteral("больши́х"), QStringLiteral("bVlS'yx")},
        {QStringLiteral("большим"), QStringLiteral("больши́м"), QStringLiteral("bVlS'ym")},
        {QStringLiteral("звонницы"), QStringLiteral("зво́нницы"), QStringLiteral("zv'onn;itsy")},
        {QStringLiteral("звоннице"), QStringLiteral("зво́ннице"), QStringLiteral("zv'onn;itsy")},
        {QStringLiteral("благовестят"), QStringLiteral("благовестя́т"), QStringLiteral("blVgVv;is;t;'At")},
        {QStringLiteral("шестнадцатые"), QStringLiteral("шестна́дцатые"), QStringLiteral("Sysn'AtsVtyjI")},
        {QStringLiteral("шестнадцатых"), QStringLiteral("шестна́дцатых"), QStringLiteral("Sysn'AtsVtyx")},
        {QStringLiteral("сыгранное"), QStringLiteral("сы́гранное"), QStringLiteral("s'ygrVnnVjI")},
        {QStringLiteral("крепят"), QStringLiteral("крепя́т"), QStringLiteral("kr;ip;'At")},
        {QStringLiteral("ударяйте"), QStringLiteral("ударя́йте"), QStringLiteral("udVr;'Ajt;i")},
    };
    return table;
}

QString applyPronunciations(const QString& text) {
    QString out;
    qsizetype done = 0;
    auto it = wordPattern().globalMatch(text);
    QRegularExpressionMatch match = it.hasNext() ? it.next() : QRegularExpressionMatch();
    while (match.hasMatch()) {
        const QRegularExpressionMatch next = it.hasNext() ? it.next() : QRegularExpressionMatch();
        const QString word = match.captured(0);
        const QString lower = word.toLower();
        out += text.mid(done, match.capturedStart(0) - done);
        if (const Pronunciation* p = writtenForm(lower)) {
            out += QStringLiteral("[[") + p->phonemes + QStringLiteral("]]");
        } else if (lower == QStringLiteral("к")) {
            // Alone the voice spells the letter out («ка»).
            out += voicesTheK(next.hasMatch() ? next.captured(0) : QString()) ? QStringLiteral("[[g]]")
                                                                              : QStringLiteral("[[k]]");
        } else {
            out += stripped(word);
        }
        done = match.capturedEnd(0);
        match = next;
    }
    out += text.mid(done);
    return out;
}

QStringList uncorrectedWords(const QString& text) {
    QStringList found;
    auto it = wordPattern().globalMatch(text);
    while (it.hasNext()) {
        const QString word = it.next().captured(0);
        const QString lower = word.toLower();
        if (!writtenForm(lower) && isPlainForm(lower) && !found.contains(word)) {
            found << word;
        }
    }
    return found;
}
