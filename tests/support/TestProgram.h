#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Makes sure a QApplication exists for widget tests (offscreen).
void ensureQtApplication();

// A program folder in a temporary directory with a small bell catalogue
// (Data/desc.kli in Windows-1251) and its pictures in Images/.
class TempProgram {
public:
    TempProgram();

    QString dir() const { return m_dir.path() + QStringLiteral("/"); }
    QString cataloguePath() const { return dir() + QStringLiteral("Data/desc.kli"); }

    // The catalogue's lines: bell i is named "Колокол-" + i (Cyrillic), has
    // the sample bellNN.wav, the pictures bellNN.bmp / bellNN_off.bmp and
    // the key of the letter 'A' + i (65 + i).
    static QStringList catalogueLines();
    void writeCatalogue(const QStringList& lines) const;
    void removeCatalogue() const;
    void writePictures() const;
    void writeSamples() const;
    void writeSettings(const QStringList& lines) const;
    // Settings selecting `bells` ('1' per selected bell) of the groups `types`.
    void writeBells(const QString& bells, const QString& types) const;
    QString settingsText() const;

private:
    QTemporaryDir m_dir;
};
