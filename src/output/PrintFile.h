#pragma once

#include <QString>

#include <memory>

class QPrinter;
class QTemporaryFile;

// Printing to a file replaces the file only with a complete document: while
// it lives, the printer writes to a temporary file beside the target, and
// finish() moves that over the target once the document is whole (a PDF
// ends with its trailer). A failure leaves an earlier file as it was and
// removes the temporary one. Printing to a printer passes through untouched.
class PrintFile {
public:
    explicit PrintFile(QPrinter& printer);
    ~PrintFile(); // gives the printer its file name back, removes a leftover temporary file
    PrintFile(const PrintFile&) = delete;
    PrintFile& operator=(const PrintFile&) = delete;

    // Whether the printer writes a file, and that file.
    bool toFile() const { return !m_target.isEmpty(); }
    const QString& target() const { return m_target; }
    // False when printing to a file and no temporary file could be made
    // beside it: nothing should be printed then.
    bool ready() const;

    // After the printing: `printed` says whether every page went out. True
    // when the target now holds the complete document (always for a printer).
    bool finish(bool printed);

private:
    QPrinter& m_printer;
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_temporary;
};

// Whether the PDF document at `path` was written to its end.
bool isCompletePdf(const QString& path);
