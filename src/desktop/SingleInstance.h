#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running copy of the program per user. The first start holds a lock
// file and listens on a local socket, both in a folder only its user can
// enter; a later start finds the lock held, tells the running copy to come
// forward (and which file to open, if any) and ends. It does so before it
// reads or writes any file of the program, so a second start never touches
// the settings of the running one.
//
// A start is never lost to the guard: a lock that nobody answers for within
// a few seconds (its copy crashed, the file is empty or was written on
// another machine) is taken over, the old socket is removed before
// listening, and a copy that cannot listen gives the lock up at once. A
// folder that is not this user's own, or that others may write to, is never
// used: the program then runs without the guard and says why in the log.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        // This is the running copy; activationRequested() tells of later starts.
        Primary,
        // Another copy runs and has been told; this one should end.
        Secondary,
        // No private folder, lock or socket could be had: run without the
        // guard (logged).
        Unguarded,
    };

    // folder: where the lock and the socket live (created with owner-only
    // access when missing).
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the role of the running copy; when another copy has it, hands
    // it fileToOpen (empty: only come forward).
    Role claim(const QString& fileToOpen);

    // $XDG_RUNTIME_DIR/campanix when the runtime folder is this user's own
    // and a socket's name in it fits the system's limit; otherwise a folder
    // in the user's cache folder ($XDG_CACHE_HOME, ~/.cache), never the
    // shared temporary folder, where another user can take the name first.
    static QString defaultFolder();
    QString socketPath() const;
    QString lockPath() const;

signals:
    // A later start asked the running copy to come forward and open `file`
    // (empty: nothing to open).
    void activationRequested(const QString& file);

private:
    QString preparePrivateFolder() const;
    Role becomePrimary();
    bool listen();
    void readRequest(QLocalSocket* socket);
    bool sendRequest(const QString& fileToOpen) const;

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
