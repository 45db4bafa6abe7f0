#include "PageWriter.h"
#include "Illustrations.h"

#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

namespace {

TEST(PageWriter, ConvertsDeclarationAndKeepsEveryCharacter) {
    QString error;
    const QString page = pagewriter::convert(
        QStringLiteral(
            "<html><head><META charset=\"UTF-8\"></head><body>«Конёк» — та, та-та · №1 &rarr;</body>"),
        &error);
    ASSERT_FALSE(page.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(page.contains(QStringLiteral("<meta charset=\"windows-1251\">")));
    EXPECT_EQ(decode1251(encode1251(page)), page);
}

TEST(PageWriter, RefusesWhatWouldBeLostOrMislabelled) {
    const struct {
        const char* source;
        const char* error;
    } cases[] = {
        // A character outside the code page would turn into "?": refused
        // with the line it stands on.
        {"<meta charset=\"utf-8\">\n<p>next \xE2\x86\x92</p>", "line 2: the character U+2192"},
        // A page that names no charset would be read in a guessed one.
        {"<p>Урок</p>", "declares no"},
        {"<meta charset=\"koi8-r\"><p>Урок</p>", "declares no"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(pagewriter::convert(QString::fromUtf8(c.source), &error).isEmpty()) << c.source;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << qPrintable(error);
    }
}

TEST(Illustrations, KeysFollowTheCatalogueAndEveryPictureIsDrawn) {
    // Text is drawn only with a QGuiApplication; made once, kept to the end.
    static int argc = 1;
    static char name[] = "test_pagegen";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    // The keys of the lessons' text: big Z..B, middle A..G, small U..L.
    QString keys;
    for (int bell = 0; bell < 15; ++bell) {
        keys += illustrations::keyOf(bell);
    }
    EXPECT_EQ(keys, QStringLiteral("ZXCVBASDFGUIJKL"));
    // The pictures of the groups show the keys the program rings for the
    // course's selection, not the catalogue's names.
    const auto keysOf = [](illustrations::Group group) {
        QString text;
        for (int bell : illustrations::bellsOf(group)) {
            text += illustrations::keyOf(bell);
        }
        return text;
    };
    EXPECT_EQ(keysOf(illustrations::Group::Small), QStringLiteral("JKL"));
    EXPECT_EQ(keysOf(illustrations::Group::Middle), QStringLiteral("ASDFG"));
    EXPECT_EQ(keysOf(illustrations::Group::Big), QStringLiteral("ZX"));
    QStringList errors;
    QStringList names;
    for (const illustrations::Named& picture :
         illustrations::all(QStringLiteral(CAMPANIX_SOURCE_DIR "/data/ringings"), &errors)) {
        EXPECT_FALSE(picture.image.isNull()) << qPrintable(picture.fileName);
        EXPECT_GT(picture.image.width(), 200) << qPrintable(picture.fileName);
        names << picture.fileName;
    }
    // The notation excerpts come from the library: a renamed or broken
    // ringing is reported, not silently left out.
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(QLatin1Char('\n')));
    EXPECT_EQ(names, illustrations::fileNames());
}

} // namespace
