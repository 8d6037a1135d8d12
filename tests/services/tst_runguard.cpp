#include "QRunGuard.h"

#include <QtTest>

#include <deque>

static QByteArray operator""_b(const char* s, size_t n) { return QByteArray(s, int(n)); }

// Keys are random per run, so parallel runs (plain and sanitizer builds) never collide.
static QString uniqueKey(const QString& prefix) { return prefix + QUuid::createUuid().toString(); }

// The segment's name, computed apart from the library: 40 lowercase hex characters.
static QString segmentName(const QString& k)
{
    return QCryptographicHash::hash(k.toUtf8() + "_sharedmemKey", QCryptographicHash::Sha1).toHex();
}

// One runguard_helper child holding one guard for the key; constructed once the child is ready.
struct GuardProcess : QProcess
{
    explicit GuardProcess(const QString& key, const QString& helper = QStringLiteral(RUNGUARD_HELPER))
    {
        setProcessChannelMode(ForwardedErrorChannel);
        start(helper, {QString::fromLatin1(key.toUtf8().toHex())});
        answer(); // "ready"
    }
    ~GuardProcess() override { quit(); }
    // The child writes each line at once, so one read brings all of it.
    QByteArray answer() { return canReadLine() || waitForReadyRead() ? readLine().trimmed() : ""; }
    QByteArray tryToRun() { write("try\n"); return answer(); }
    // A normal exit (status and code both 0) ran the guard's destructor, leak-free under ASan.
    bool quit() { closeWriteChannel(); return waitForFinished() && exitStatus() + exitCode() == 0; }
};

// Rounds of n helpers (every other one the other build's, if given), parked in a blocking read
// so that they wake together, racing for the key: one wins each round.
static void race(const QString& key, int n, const QString& other = QStringLiteral(RUNGUARD_HELPER))
{
    for (int round = 0; round < 5; ++round) {
        std::deque<GuardProcess> processes; // they quit normally when it goes
        for (int i = 0; i < n; ++i)
            processes.emplace_back(key, i % 2 ? other : QStringLiteral(RUNGUARD_HELPER));
        for (auto& process : processes)
            process.write("try\n");
        QByteArray answers;
        for (auto& process : processes)
            answers += process.answer();
        QCOMPARE(answers.count("won"), 1);
        QCOMPARE(answers.count("lost"), n - 1);
    }
}

class tst_RunGuard : public QObject
{
    Q_OBJECT

private slots:
    // The claim lives under the derived name; asking again keeps it, a refused guard's release
    // leaves the holder's, keys differing in case are different claims, and a released guard
    // claims again. The empty key cannot be random: other runs hold it only briefly.
    void inOneProcess()
    {
        for (const QString& key : {QString(), uniqueKey(QStringLiteral("ключ ünïcødé 键 🔑 "))}) {
            QRunGuard first(key), second(key);
            QTRY_VERIFY(first.tryToRun());
            QVERIFY(QSharedMemory(segmentName(key)).attach(QSharedMemory::ReadOnly));
            QVERIFY(first.tryToRun() && !first.isAnotherRunning());
            QVERIFY(second.isAnotherRunning() && !second.tryToRun());
            second.release();
            QVERIFY(second.isAnotherRunning());
            first.release();
            if (!key.isEmpty())
                QVERIFY(QRunGuard(key.toUpper()).tryToRun() && !second.isAnotherRunning() && first.tryToRun());
        }
    }

    void acrossProcesses()
    {
        const QString key = uniqueKey(QStringLiteral("zwei Prozesse äöü – 二つ "));
        // Made here first, so this process owns the semaphores and removes them after the kill.
        QRunGuard owner(key);
        // Even when a check below fails, no orphaned segment stays on the machine.
        const auto clear = qScopeGuard([&key] { QSharedMemory(segmentName(key)).attach(); });
        GuardProcess first(key), second(key);
        QCOMPARE(first.tryToRun(), "won"_b);
        QCOMPARE(second.tryToRun(), "lost"_b);
        QVERIFY(owner.isAnotherRunning()); // the key reached the children unchanged
        QVERIFY(first.quit()); // its guard's destructor released the key
        QCOMPARE(second.tryToRun(), "won"_b);
        second.kill(); // SIGKILL: no destructor, no detach
        QVERIFY(second.waitForFinished());
        // The orphan, with nobody attached, refuses every new segment (create() does not attach).
        QVERIFY(!QSharedMemory(segmentName(key)).create(8));
        GuardProcess successor(key); // constructing its guard clears the orphan: it wins at once
        QCOMPARE(successor.tryToRun(), "won"_b);
        QVERIFY(QRunGuard(key).isAnotherRunning()); // a live holder's segment is never cleared
        QVERIFY(successor.quit());
    }

    // A host built against the other Qt major version guards the same key: a Qt 5 and a Qt 6
    // process see one claim, whichever comes first, also when they race for it.
    void acrossQtVersions()
    {
        const QString other = QStringLiteral(RUNGUARD_COMPANION_HELPER);
        if (other.isEmpty() || !QFileInfo(other).isExecutable())
            QSKIP("no build against the other Qt major version (RYQT_COMPANION_BUILD_DIR)");
        const QString key = uniqueKey(QStringLiteral("beide Qt äöü "));
        for (int first = 0; first < 2; ++first) {
            std::deque<GuardProcess> p; // [0] this build's helper, [1] the other's
            p.emplace_back(key);
            p.emplace_back(key, other);
            QCOMPARE(p[first].tryToRun(), "won"_b);
            QCOMPARE(p[1 - first].tryToRun(), "lost"_b);
            QVERIFY(p[first].quit());
            QCOMPARE(p[1 - first].tryToRun(), "won"_b);
        }
        race(key, 6, other);
    }

    void manyProcessesOneWinner() { race(uniqueKey(QStringLiteral("race-")), 8); }
};

QTEST_GUILESS_MAIN(tst_RunGuard)
#include "tst_runguard.moc"
