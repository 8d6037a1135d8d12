#include "QRunGuard.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSharedMemory>
#include <QUuid>
#include <QtTest>

#include <memory>
#include <vector>

#include <sys/ipc.h>
#include <sys/sem.h>
#include <sys/shm.h>

namespace {

// Random per run, so parallel runs of this suite (plain and sanitizer builds) never collide.
QString uniqueKey(const QString& prefix)
{
    return prefix + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The names the guard must give its system objects, computed independently of the library.
QString derivedName(const QString& key, const char* suffix)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8() + suffix, QCryptographicHash::Sha1).toHex());
}

QString segmentName(const QString& key) { return derivedName(key, "_sharedmemKey"); }
QString semaphoreName(const QString& key) { return derivedName(key, "_memLockKey"); }

// Qt's System V backend names each object by a key file in the temp directory and ftok()s it
// with 'Q'. The two backends share the file naming scheme and differ only in the prefix.
QByteArray keyFile(const QString& name, bool semaphore)
{
    QString path = QSharedMemory(name).nativeKey();
    if (semaphore)
        path.replace(QLatin1String("qipc_sharedmemory_"), QLatin1String("qipc_systemsem_"));
    return QFile::encodeName(path);
}

// Id of the System V segment behind a name, or -1 when there is none.
int segmentId(const QString& name)
{
    const key_t key = ftok(keyFile(name, false).constData(), 'Q');
    return key == -1 ? -1 : shmget(key, 0, 0);
}

int attachCount(int segment)
{
    shmid_ds info{};
    return shmctl(segment, IPC_STAT, &info) == 0 ? int(info.shm_nattch) : -1;
}

// Current count of the System V semaphore behind a name, or -1 when there is none.
int semaphoreValue(const QString& name)
{
    const key_t key = ftok(keyFile(name, true).constData(), 'Q');
    if (key == -1)
        return -1;
    const int id = semget(key, 1, 0);
    return id == -1 ? -1 : semctl(id, 0, GETVAL);
}

// A semaphore is removed only by the process that created it; one killed first stays behind.
void removeSemaphore(const QString& name)
{
    const QByteArray file = keyFile(name, true);
    const key_t key = ftok(file.constData(), 'Q');
    if (key != -1) {
        const int id = semget(key, 1, 0);
        if (id != -1)
            semctl(id, 0, IPC_RMID);
    }
    QFile::remove(QFile::decodeName(file));
}

void removeSegment(const QString& name)
{
    const int id = segmentId(name);
    if (id != -1)
        shmctl(id, IPC_RMID, nullptr);
    QFile::remove(QFile::decodeName(keyFile(name, false)));
}

// One runguard_helper child process holding one guard for the key.
class GuardProcess
{
public:
    explicit GuardProcess(const QString& key)
    {
        m_process.setProgram(QStringLiteral(RUNGUARD_HELPER));
        m_process.setArguments({QString::fromLatin1(key.toUtf8().toHex())});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~GuardProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QByteArray readLine()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000))
                return QByteArray("<no answer>");
        }
        return m_process.readLine().trimmed();
    }
    void send(const QByteArray& command) { m_process.write(command + '\n'); }
    QByteArray ask(const QByteArray& command)
    {
        send(command);
        return readLine();
    }
    // Ends the child the normal way (its guard is destroyed) and reports a clean exit, which
    // under the sanitizer build also means no leak or error report.
    bool quit()
    {
        m_process.closeWriteChannel();
        return m_process.waitForFinished(30000) && m_process.exitStatus() == QProcess::NormalExit
               && m_process.exitCode() == 0;
    }
    void killHard()
    {
        m_process.kill(); // SIGKILL: no destructor, no detach
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

class tst_RunGuard : public QObject
{
    Q_OBJECT

private slots:
    void derivedNames_data();
    void derivedNames();
    void keysDifferingInCaseAreDifferentClaims();
    void twoGuardsInOneProcess();
    void twoProcesses_data();
    void twoProcesses();
    void killedHolderDoesNotBlockTheKey();
    void manyProcessesOneWinner();
};

void tst_RunGuard::derivedNames_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("ascii") << uniqueKey(QStringLiteral("ryqt-test-"));
    // The one key that cannot be random; other runs hold it only for a moment.
    QTest::newRow("empty") << QString();
    QTest::newRow("non-ascii") << uniqueKey(QStringLiteral("ключ ünïcødé 键 🔑 "));
    QTest::newRow("long") << uniqueKey(QString(5000, QLatin1Char('x')));
    QTest::newRow("path-like") << uniqueKey(QStringLiteral("/tmp/../etc\\:*?"));
}

void tst_RunGuard::derivedNames()
{
    QFETCH(QString, key);
    const QString memName = segmentName(key);
    const QString semName = semaphoreName(key);
    const QRegularExpression hex40(QStringLiteral("^[0-9a-f]{40}$"));
    QVERIFY(hex40.match(memName).hasMatch());
    QVERIFY(hex40.match(semName).hasMatch());
    QVERIFY(memName != semName);

    QRunGuard guard(key);
    QVERIFY(QFile::exists(QFile::decodeName(keyFile(semName, true))));
    QTRY_COMPARE(semaphoreValue(semName), 1);

    QTRY_VERIFY(guard.tryToRun());
    // The claim is visible under the derived name and nowhere else.
    QSharedMemory probe(memName);
    QVERIFY(probe.attach(QSharedMemory::ReadOnly));
    QCOMPARE(probe.size() >= 8, true);
    probe.detach();
    QSharedMemory raw(key);
    QVERIFY(!raw.attach(QSharedMemory::ReadOnly));

    QRunGuard second(key);
    QVERIFY(second.isAnotherRunning());
    QVERIFY(!second.tryToRun());

    guard.release();
    if (!key.isEmpty()) { // another run may take the shared empty key right away
        QCOMPARE(segmentId(memName), -1);
        QVERIFY(!second.isAnotherRunning());
    }
}

void tst_RunGuard::keysDifferingInCaseAreDifferentClaims()
{
    const QString key = uniqueKey(QStringLiteral("CaseKey-"));
    QRunGuard upper(key.toUpper());
    QRunGuard lower(key.toLower());
    QRunGuard asGiven(key);
    QVERIFY(upper.tryToRun());
    QVERIFY(!lower.isAnotherRunning());
    QVERIFY(lower.tryToRun());
    QVERIFY(asGiven.tryToRun());
    QRunGuard upperAgain(key.toUpper());
    QVERIFY(!upperAgain.tryToRun());
}

void tst_RunGuard::twoGuardsInOneProcess()
{
    const QString key = uniqueKey(QStringLiteral("same-process-"));
    auto first = std::make_unique<QRunGuard>(key);
    QRunGuard second(key);

    QVERIFY(!first->isAnotherRunning());
    QVERIFY(first->tryToRun());
    QVERIFY(!first->isAnotherRunning());
    QVERIFY(first->tryToRun()); // asking again keeps the claim
    QVERIFY(second.isAnotherRunning());
    QVERIFY(!second.tryToRun());

    // A refused guard releasing has nothing to give up and must not drop the holder's claim.
    second.release();
    second.release();
    QVERIFY(second.isAnotherRunning());

    first.reset(); // destruction releases
    QVERIFY(!second.isAnotherRunning());
    QVERIFY(second.tryToRun());
    second.release();
    QVERIFY(second.tryToRun()); // a released guard can claim again
}

void tst_RunGuard::twoProcesses_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("ascii") << uniqueKey(QStringLiteral("two-processes-"));
    QTest::newRow("non-ascii") << uniqueKey(QStringLiteral("zwei Prozesse äöü – 二つ "));
}

void tst_RunGuard::twoProcesses()
{
    QFETCH(QString, key);
    GuardProcess first(key);
    GuardProcess second(key);
    QCOMPARE(first.readLine(), QByteArray("ready"));
    QCOMPARE(second.readLine(), QByteArray("ready"));

    QCOMPARE(first.ask("try"), QByteArray("won"));
    QCOMPARE(second.ask("try"), QByteArray("lost"));
    QCOMPARE(second.ask("another"), QByteArray("running"));
    QCOMPARE(first.ask("another"), QByteArray("free"));

    // This process sees the same claim: the key reaches the child unchanged.
    QRunGuard local(key);
    QVERIFY(local.isAnotherRunning());

    QVERIFY(first.quit());
    QCOMPARE(second.ask("another"), QByteArray("free"));
    QCOMPARE(second.ask("try"), QByteArray("won"));
    QVERIFY(!local.tryToRun());
    QCOMPARE(second.ask("release"), QByteArray("released"));
    QVERIFY(local.tryToRun());
    QCOMPARE(second.ask("try"), QByteArray("lost"));
    QVERIFY(second.quit());
}

void tst_RunGuard::killedHolderDoesNotBlockTheKey()
{
    const QString key = uniqueKey(QStringLiteral("killed-holder-"));
    const QString memName = segmentName(key);
    const QString semName = semaphoreName(key);
    // Killed processes leave system objects behind; never leave them on the machine, even
    // when a check below fails.
    const auto cleanup = qScopeGuard([&] {
        removeSegment(memName);
        removeSemaphore(semName);
    });
    {
        GuardProcess holder(key);
        QCOMPARE(holder.readLine(), QByteArray("ready"));
        QCOMPARE(holder.ask("try"), QByteArray("won"));
        QCOMPARE(attachCount(segmentId(memName)), 1);
        holder.killHard();
    }

    // What the kernel leaves behind: the segment (nobody attached, never removed, since only a
    // detach removes it) and its key file; the semaphore, which the holder created, with its key
    // file too, back at 1 thanks to SEM_UNDO, so the next guard simply opens and uses it.
    const int orphan = segmentId(memName);
    QVERIFY(orphan != -1);
    QCOMPARE(attachCount(orphan), 0);
    QVERIFY(QFile::exists(QFile::decodeName(keyFile(memName, false))));
    QCOMPARE(semaphoreValue(semName), 1);

    // Left alone, the orphan would refuse every new claim.
    {
        QSharedMemory naive(memName);
        QVERIFY(!naive.create(8));
        QCOMPARE(naive.error(), QSharedMemory::AlreadyExists);
    }
    QCOMPARE(segmentId(memName), orphan);

    // Merely constructing a guard clears it.
    {
        QRunGuard cleaner(key);
        QCOMPARE(segmentId(memName), -1);
    }

    // Again with the cleaning done by a fresh process that then claims the key.
    {
        GuardProcess holder(key);
        QCOMPARE(holder.readLine(), QByteArray("ready"));
        QCOMPARE(holder.ask("try"), QByteArray("won"));
        holder.killHard();
    }
    QVERIFY(segmentId(memName) != -1);
    GuardProcess successor(key);
    QCOMPARE(successor.readLine(), QByteArray("ready"));
    QCOMPARE(successor.ask("try"), QByteArray("won"));
    QRunGuard local(key);
    QVERIFY(!local.tryToRun()); // the cleaning never removes a live holder's segment
    QVERIFY(successor.quit());
    QCOMPARE(segmentId(memName), -1);
}

void tst_RunGuard::manyProcessesOneWinner()
{
    constexpr int processCount = 8;
    constexpr int rounds = 5;
    const QString key = uniqueKey(QStringLiteral("race-"));

    for (int round = 0; round < rounds; ++round) {
        std::vector<std::unique_ptr<GuardProcess>> processes;
        for (int i = 0; i < processCount; ++i)
            processes.push_back(std::make_unique<GuardProcess>(key));
        for (auto& process : processes)
            QCOMPARE(process->readLine(), QByteArray("ready"));

        // Every child is parked in a blocking read, so they all wake within a moment.
        for (auto& process : processes)
            process->send("try");
        int winners = 0;
        for (auto& process : processes) {
            const QByteArray answer = process->readLine();
            QVERIFY2(answer == "won" || answer == "lost", answer.constData());
            winners += answer == "won";
        }
        QCOMPARE(winners, 1);

        for (auto& process : processes)
            QVERIFY(process->quit());
        QCOMPARE(segmentId(segmentName(key)), -1);
    }
}

QTEST_GUILESS_MAIN(tst_RunGuard)
#include "tst_runguard.moc"
