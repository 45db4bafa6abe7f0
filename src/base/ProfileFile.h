#pragma once

#include <QString>
#include <QStringList>

// A settings file with the classic profile-file rules: "[Section]" lines,
// then "Key=Value" lines. Sections and keys are found without regard to
// letter case. Every read goes to the file (no caching); every write replaces
// one key in place, keeps every other line as it was, and rewrites the file
// atomically with CR LF line ends; a key that already holds the value is not
// written at all, so the file stays byte for byte as it was. A missing file
// or key reads as the default. A rewrite keeps every line it does not change
// byte for byte, line ends included; a file that exists but cannot be read is
// never written (the write fails).
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString& path() const { return m_path; }
    bool exists() const;

    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // The leading whole number of the value (0 when it has none); the default
    // only when the key is missing.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // Any whole number other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    bool writeBool(const QString& section, const QString& key, bool value);

    // Replaces the whole file with these lines (used for the default file).
    bool writeAllLines(const QStringList& lines);

private:
    QString m_path;
};
