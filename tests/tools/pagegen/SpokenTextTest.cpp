#include "SpokenText.h"
#include "Pronunciation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString stripped(QString word) {
    return word.remove(QChar(0x0301));
}

TEST(SpokenText, ParagraphsPausesNotesAndMarkup) {
    const QString ssml = spokenSsml(QStringLiteral("# a note for the writer\n"
                                                   "Урок первый.\n\n\n"
                                                   "Конёк: та, та-та\n"
                                                   "  и снова <та> & та.\n"));
    // Notes are not spoken; lines of one paragraph join; blank lines part them.
    EXPECT_FALSE(ssml.contains(QStringLiteral("note")));
    EXPECT_EQ(ssml.count(QStringLiteral("<p>")), 2);
    EXPECT_TRUE(ssml.contains(QStringLiteral("<p>Конёк: та, та-та и снова &lt;та&gt; &amp; та.</p>")));
    EXPECT_EQ(ssml.count(QStringLiteral("<break time=")), 2);
    EXPECT_TRUE(ssml.startsWith(QStringLiteral("<speak>")));
}

// The corrections reach the synthesizer: written forms become phonemes in
// any letter case and only as whole words, the preposition «к» is a sound and
// not the letter's name, other stress marks are dropped.
TEST(SpokenText, CorrectionsBecomePhonemes) {
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"Колокола́ звонят", "[[kVlVkVl'A]] звонят"},
        {"язык ко́локола.", "язык [[k'olVkVlV]]."},
        {"колоколами и колокол", "колоколами и колокол"},
        {"к больши́м, к малым", "[[g]] [[bVlS'ym]], [[k]] малым"},
        {"К службе", "[[k]] службе"},
        {"Кампаникс, мо́лот", "Кампаникс, молот"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(applyPronunciations(QString::fromUtf8(c.text)), QString::fromUtf8(c.spoken)) << c.text;
    }
    EXPECT_TRUE(spokenSsml(QStringLiteral("Пото́м.")).contains(QStringLiteral("<p>[[pVt'om]].</p>")));
}

TEST(SpokenText, UncorrectedWordsAreFound) {
    EXPECT_EQ(uncorrectedWords(QStringLiteral("Колокола и ко́локола, коло́кола, колокольня, потом")),
              QStringList({QStringLiteral("Колокола"), QStringLiteral("коло́кола"), QStringLiteral("потом")}));
    // Every written form is a correction, never an uncorrected word.
    for (const Pronunciation& p : pronunciations()) {
        EXPECT_TRUE(uncorrectedWords(p.written).isEmpty()) << qPrintable(p.written);
        EXPECT_NE(p.written, p.plain) << qPrintable(p.plain);
    }
}

// Each correction stresses the vowel its written form marks: the stress mark
// (after the n-th vowel of the word) and the phonemes' "'" (before the n-th
// vowel sound) name the same syllable. The marks were checked against a
// dictionary's stresses; this keeps the phonemes from drifting from them.
TEST(SpokenText, CorrectionsStressTheMarkedSyllable) {
    const QString vowels = QStringLiteral("аеёиоуыэюя");
    const QString vowelSounds = QStringLiteral("aAVoOuiIyeE@");
    for (const Pronunciation& p : pronunciations()) {
        const qsizetype mark = p.written.indexOf(QChar(0x0301));
        ASSERT_GT(mark, 0) << qPrintable(p.written);
        EXPECT_EQ(p.written.count(QChar(0x0301)), 1) << qPrintable(p.written);
        EXPECT_TRUE(vowels.contains(p.written.at(mark - 1))) << qPrintable(p.written);
        int written = 0;
        for (qsizetype i = 0; i < mark - 1; ++i) {
            written += vowels.contains(p.written.at(i)) ? 1 : 0;
        }
        // "@-" is a glide the voice puts between consonants, not a syllable.
        const QString sounds = QString(p.phonemes).remove(QStringLiteral("@-"));
        const qsizetype stress = sounds.indexOf(QLatin1Char('\''));
        ASSERT_GE(stress, 0) << qPrintable(p.phonemes);
        int spoken = 0;
        for (qsizetype i = 0; i < stress; ++i) {
            spoken += vowelSounds.contains(sounds.at(i)) ? 1 : 0;
        }
        EXPECT_EQ(spoken, written) << qPrintable(p.written) << " is spoken as " << qPrintable(p.phonemes);
        EXPECT_EQ(stripped(p.written), p.plain) << qPrintable(p.written);
    }
}

// The voice texts as they are spoken: no word of the correction table
// without its correction, and no Latin letter (the voice would switch to
// English for it); a key is said as «латинская ...», so that the listener
// does not hear the Russian letter of the same sound.
TEST(SpokenText, VoiceTextsAreWrittenForTheVoice) {
    const QDir voices(QStringLiteral(CAMPANIX_SOURCE_DIR "/data/pages/Voice"));
    const QStringList texts = voices.entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(texts.size(), 7);
    const QString key = QStringLiteral("(?:эй|эс|ди|эф|джи|эль|кей|джей|зет|икс|си|ви|би|ю|ай)");
    // «латинская эль», «латинские эс, ди и эф»: a key name stands only in a
    // list that «латинск...» opens.
    const QRegularExpression named(QStringLiteral("латинск\\w*\\s+%1(?:(?:,\\s*|\\s+и\\s+)%1)*\\b").arg(key),
                                   QRegularExpression::UseUnicodePropertiesOption |
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression bare(QStringLiteral("\\b%1\\b").arg(key),
                                  QRegularExpression::UseUnicodePropertiesOption |
                                      QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : texts) {
        QFile file(voices.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        const QString spoken = spokenParagraphs(QString::fromUtf8(file.readAll())).join(QLatin1Char('\n'));
        EXPECT_TRUE(uncorrectedWords(spoken).isEmpty())
            << qPrintable(name) << ": " << qPrintable(uncorrectedWords(spoken).join(QStringLiteral(", ")));
        EXPECT_FALSE(spoken.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) << qPrintable(name);
        const QRegularExpressionMatch left = bare.match(QString(spoken).remove(named));
        EXPECT_FALSE(left.hasMatch())
            << qPrintable(name) << ": «" << qPrintable(left.captured(0)) << "» alone";
    }
}

} // namespace
