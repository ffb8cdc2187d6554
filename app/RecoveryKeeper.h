#pragma once
// Recovery after a crash. While a design has unsaved changes, a complete
// design file of it is kept in the user's data folder (subfolder
// "recovery"), written at most a set time after the first change since the
// last copy: encoded, written and flushed on a worker thread through the
// atomic writer. The encode reads the design through the reader gate and
// gives way to the user's next step; that copy is then made again later. A small side file names the design's
// absolute path, the time and the process. A program that ends normally
// removes its copy; a copy whose process is gone is offered at the next start.
//
// Each program writes and removes only its own copy, named after its
// process id and start time; another program's copy (named after its process
// id alone by older versions) is offered only once that process is gone, and
// only to one program at a time (a lock file).

#include "app/ReaderGate.h"
#include "model/TreeObserver.h"

#include <QDateTime>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLockFile;

namespace model { class Design; }

namespace app {

inline constexpr int kRecoveryDelayMs = 30000;

class RecoveryKeeper : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    // The design as a design file, made on the writer thread; it stops
    // (io::EncodeStopped) once `stop` is set.
    using Encoder = std::function<std::string(const std::atomic<bool>* stop)>;
    using PathOf = std::function<std::string()>;    // the design's own file, or ""

    // A copy left by a run that did not end normally.
    struct Orphan {
        QString copyPath;          // the design file of the copy
        std::string originalPath;  // the design's own file, "" when never saved
        QDateTime written;
        qint64 pid = 0;

        // Whether this is a copy of the design file `path`: the same device
        // and inode when both files exist, else the same absolute path.
        bool isCopyOf(const std::string& path) const;
    };

    RecoveryKeeper(model::Design& design, ReaderGate& readers, Encoder encode, PathOf pathOf,
                   QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // The folder of the copies; by default the user's data folder's "recovery".
    void setFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }
    void setDelay(int ms);

    // Writes the copy now (the timer does this on its own).
    void writeNow();
    // This program's copy goes: saved, closed or replaced by another design.
    void discardOwnCopy();
    // Lets queued writes and removals finish (tests; closing); false when
    // they did not within `timeoutMs` (-1: no limit).
    bool waitForWriter(int timeoutMs = -1);
    QString ownCopyPath() const;

    // Copies of runs that ended without removing them, newest first; each is
    // locked for this program until it is answered or this keeper goes.
    std::vector<Orphan> claimOrphans();
    void discard(const Orphan& orphan);
    // The copy becomes this program's own: the recovered design is on screen.
    void adopt(const Orphan& orphan);

signals:
    void writeFailed(const QString& path);

private slots:
    void copyGaveWay();
    void copyFailed();

private:
    void changed();
    void timerElapsed();
    QString infoPathOf(const QString& copyPath) const;
    QString pathFor(const QString& name, const char* suffix) const;
    void reportFailure(const QString& copy); // once: the status bar is not to fill with it

    // model::TreeObserver: any change of the design, once a command is over.
    void stepFinished(const model::StepChanges&) override { changed(); }

    model::Design& m_design;
    ReaderGate& m_readers;
    std::weak_ptr<ReaderGate::Pass> m_copying; // the copy being made, withdrawn when this keeper goes
    Encoder m_encode;
    PathOf m_pathOf;
    QString m_folder;
    int m_delayMs = kRecoveryDelayMs;
    QTimer m_timer;
    QThreadPool m_writer; // one thread: writes and removals keep their order
    std::vector<std::unique_ptr<QLockFile>> m_claims;
    bool m_failureReported = false;
};

} // namespace app
