#include "app/RecoveryKeeper.h"

#include "io/AtomicWriter.h"
#include "io/TreeText.h"
#include "model/Design.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace app {

namespace {

constexpr const char* kCopySuffix = ".vok";
constexpr const char* kInfoSuffix = ".info";
constexpr const char* kLockSuffix = ".lock";
constexpr const char* kNeverSaved = "never saved";

// This process as the system knows it: a process id is used again, but not
// with the same start time in the same boot.
QByteArray readSmallFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(4096).trimmed() : QByteArray();
}

QByteArray bootId()
{
    return readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
}

QByteArray startTimeOf(qint64 pid)
{
    // Field 22 of /proc/<pid>/stat, counted after the command name's closing parenthesis.
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19] : QByteArray();
}

// This run's name for its copy. The process id alone is not enough: it is
// used again after a reboot, and inside a PID namespace every run has the
// same one, so a new run would take an older run's copy for its own.
const QString& runName()
{
    static const QString name = [] {
        const qint64 pid = QCoreApplication::applicationPid();
        QByteArray started = startTimeOf(pid);
        if (started.isEmpty()) // no /proc: the time this run first asked tells it apart
            started = QByteArray::number(QDateTime::currentMSecsSinceEpoch());
        return QString::number(pid) + QLatin1Char('-') + QString::fromLatin1(started);
    }();
    return name;
}

// The design's path as it reads from any folder: a later run that recovers
// the copy may start somewhere else. Bytes stay bytes (names need not be UTF-8).
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

struct Info {
    std::string path;
    QDateTime written;
    qint64 pid = 0;
    QByteArray boot;
    QByteArray started;
};

QByteArray encodeInfo(const std::string& path, qint64 pid)
{
    QByteArray out;
    out += "path=" + QByteArray::fromStdString(path.empty() ? kNeverSaved : absolutePath(path)) + '\n';
    out += "time=" + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + '\n';
    out += "pid=" + QByteArray::number(pid) + '\n';
    out += "boot=" + bootId() + '\n';
    out += "started=" + startTimeOf(pid) + '\n';
    return out;
}

std::optional<Info> decodeInfo(const QByteArray& bytes)
{
    Info info;
    bool hasPid = false;
    for (const QByteArray& line : bytes.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        if (key == "path")
            info.path = value == kNeverSaved ? std::string() : value.toStdString();
        else if (key == "time")
            info.written = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
        else if (key == "pid")
            info.pid = value.toLongLong(&hasPid);
        else if (key == "boot")
            info.boot = value;
        else if (key == "started")
            info.started = value;
    }
    if (!hasPid)
        return std::nullopt;
    return info;
}

bool stillRunning(const Info& info)
{
    return info.boot == bootId() && !info.started.isEmpty() && info.started == startTimeOf(info.pid);
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    io::SaveFileWriter writer;
    return io::writeAtomically(writer, QFile::encodeName(path).toStdString(),
                               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
        == io::WriteOutcome::Written;
}

} // namespace

bool RecoveryKeeper::Orphan::isCopyOf(const std::string& path) const
{
    if (originalPath.empty() || path.empty())
        return false;
    // By the file itself where both exist: a link, a hard link or a path
    // spelled through another folder still names the same design.
    struct stat a {}, b {};
    if (::stat(originalPath.c_str(), &a) == 0 && ::stat(path.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return absolutePath(originalPath) == absolutePath(path);
}

RecoveryKeeper::RecoveryKeeper(model::Design& design, ReaderGate& readers, Encoder encode, PathOf pathOf,
                               QObject* parent)
    : QObject(parent), m_design(design), m_readers(readers), m_encode(std::move(encode)), m_pathOf(std::move(pathOf)),
      m_folder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery"))
{
    m_writer.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::timerElapsed);
    m_design.addObserver(this);
}

RecoveryKeeper::~RecoveryKeeper()
{
    m_design.removeObserver(this);
    if (const auto copying = m_copying.lock())
        copying->withdraw(); // the design may go with this keeper: its copy stops
    m_writer.waitForDone();
}

QString RecoveryKeeper::pathFor(const QString& name, const char* suffix) const
{
    return m_folder + QLatin1Char('/') + name + QString::fromLatin1(suffix);
}

QString RecoveryKeeper::ownCopyPath() const
{
    return pathFor(runName(), kCopySuffix);
}

QString RecoveryKeeper::infoPathOf(const QString& copyPath) const
{
    return copyPath.left(copyPath.size() - static_cast<int>(qstrlen(kCopySuffix))) + QString::fromLatin1(kInfoSuffix);
}

void RecoveryKeeper::setDelay(int ms)
{
    m_delayMs = ms;
    if (m_timer.isActive())
        m_timer.start(ms);
}

void RecoveryKeeper::changed()
{
    // At most the delay after the first change since the last copy.
    if (!m_timer.isActive())
        m_timer.start(m_delayMs);
}

void RecoveryKeeper::timerElapsed()
{
    if (m_design.modified())
        writeNow();
    else
        discardOwnCopy(); // the design is as it was saved: nothing to recover
}

void RecoveryKeeper::writeNow()
{
    m_timer.stop();
    const QString copy = ownCopyPath(), infoPath = infoPathOf(copy), folder = m_folder;
    QByteArray info;
    try {
        info = encodeInfo(m_pathOf(), QCoreApplication::applicationPid());
    } catch (const std::exception&) {
        reportFailure(copy);
        return;
    }
    const std::shared_ptr<ReaderGate::Pass> pass = m_readers.open(ReaderGate::Reader::GivesWay);
    m_copying = pass;
    // The writer reaches this keeper through slots named, queued: nothing it
    // makes passes through Qt's queue, whose locks ThreadSanitizer cannot see.
    m_writer.start([this, pass, info, copy, infoPath, folder] {
        if (!pass->begin()) {
            QMetaObject::invokeMethod(this, "copyGaveWay", Qt::QueuedConnection);
            return;
        }
        std::string bytes;
        try {
            bytes = m_encode(pass->stop());
        } catch (const io::EncodeStopped&) {
            pass->end();
            QMetaObject::invokeMethod(this, "copyGaveWay", Qt::QueuedConnection);
            return;
        } catch (const std::exception&) {
            // Short of memory, or a design no file can hold: nothing is
            // written, and the next change tries again.
            pass->end();
            QMetaObject::invokeMethod(this, "copyFailed", Qt::QueuedConnection);
            return;
        }
        pass->end(); // the design may change while its copy is written
        QDir().mkpath(folder);
        const bool written =
            writeWhole(copy, QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())))
            && writeWhole(infoPath, info);
        if (!written)
            QMetaObject::invokeMethod(this, "copyFailed", Qt::QueuedConnection);
    });
}

void RecoveryKeeper::copyGaveWay()
{
    changed(); // a step stopped it: made again the delay after
}

void RecoveryKeeper::copyFailed()
{
    reportFailure(ownCopyPath());
}

void RecoveryKeeper::reportFailure(const QString& copy)
{
    if (!std::exchange(m_failureReported, true))
        emit writeFailed(copy);
}

void RecoveryKeeper::discardOwnCopy()
{
    m_timer.stop();
    const QString copy = ownCopyPath(), infoPath = infoPathOf(copy);
    m_writer.start([copy, infoPath] {
        QFile::remove(infoPath); // the side file first: a copy without one is never offered
        QFile::remove(copy);
    });
}

bool RecoveryKeeper::waitForWriter(int timeoutMs)
{
    return m_writer.waitForDone(timeoutMs);
}

std::vector<RecoveryKeeper::Orphan> RecoveryKeeper::claimOrphans()
{
    std::vector<Orphan> orphans;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*") + QString::fromLatin1(kInfoSuffix)}, QDir::Files)) {
        const QString infoPath = dir.filePath(name);
        const std::optional<Info> info = decodeInfo(readSmallFile(infoPath));
        const QString base = name.left(name.size() - static_cast<int>(qstrlen(kInfoSuffix)));
        const QString copy = pathFor(base, kCopySuffix);
        // A copy is this run's only by its name; any other, even of this
        // process id, belongs to whichever process has its id and start time.
        if (!info || copy == ownCopyPath() || stillRunning(*info) || !QFile::exists(copy))
            continue;
        auto lock = std::make_unique<QLockFile>(pathFor(base, kLockSuffix));
        if (!lock->tryLock(0))
            continue; // another program is offering it
        m_claims.push_back(std::move(lock));
        orphans.push_back({copy, info->path, info->written, info->pid});
    }
    std::sort(orphans.begin(), orphans.end(), [](const Orphan& a, const Orphan& b) { return a.written > b.written; });
    return orphans;
}

void RecoveryKeeper::discard(const Orphan& orphan)
{
    QFile::remove(infoPathOf(orphan.copyPath));
    QFile::remove(orphan.copyPath);
}

void RecoveryKeeper::adopt(const Orphan& orphan)
{
    waitForWriter();
    const QString copy = ownCopyPath();
    QFile::remove(copy);
    QFile::rename(orphan.copyPath, copy);
    // The side file names this program now, so that no other program offers it.
    if (!writeWhole(infoPathOf(copy), encodeInfo(orphan.originalPath, QCoreApplication::applicationPid())))
        emit writeFailed(copy);
    QFile::remove(infoPathOf(orphan.copyPath));
}

} // namespace app
