#include <QLogDialog.h>
#include <QLogLoader.h>

#include "LogTextWidth.h"

#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Logs what is shown and closed, and dismisses each message box with Ok as a user would.
class EventRecorder : public QObject
{
public:
    QStringList log; // "box <parent> <title>|<text>", "progress", "shown", "closed"
    QObject* dialog = nullptr;

    bool eventFilter(QObject* obj, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(obj)) {
                log << QStringLiteral("box %1 %2|%3").arg(box->parentWidget() ? box->parentWidget()->objectName() : QStringLiteral("none"), box->windowTitle(), box->text());
                QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
            } else if (qobject_cast<QProgressDialog*>(obj)) {
                log << QStringLiteral("progress");
            } else if (obj == dialog) {
                log << QStringLiteral("shown");
            }
        } else if (event->type() == QEvent::Close && obj == dialog) {
            log << QStringLiteral("closed");
        }
        return false;
    }
};

// Root reads through any permission bits. Dropping the DAC override capabilities from this
// thread's effective set makes them count again; threads started meanwhile inherit the drop.
class DacOverrideDrop
{
public:
    DacOverrideDrop()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct dropped[2] = {m_saved[0], m_saved[1]};
        dropped[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, dropped) == 0;
    }
    ~DacOverrideDrop()
    {
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
    }
    bool active() const { return m_active; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

QPlainTextEdit* editor(QLogDialog& dialog) { return dialog.findChild<QPlainTextEdit*>(); }

} // namespace

class TestLogDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    EventRecorder m_recorder;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qApp->installEventFilter(&m_recorder);
    }
    void init()
    {
        m_recorder.log.clear();
        m_recorder.dialog = nullptr;
    }

    void readsFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << QByteArray("2024-05-01 INFO start\n2024-05-01 WARN späť\n")
                                << QStringLiteral("2024-05-01 INFO start\n2024-05-01 WARN späť\n");
        QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\nthree") << QStringLiteral("one\ntwo\nthree");
        QTest::newRow("zero byte") << QByteArray("before\nstill\0after\n", 19) << QStringLiteral("before\nstill");
        QTest::newRow("invalid utf-8") << QByteArray("ok \xff\xfe end") << QStringLiteral("ok \uFFFD\uFFFD end");
    }
    // Real files reach the editor through the worker; the busy indicator comes and goes.
    void readsFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString path = writeFile(QStringLiteral("log.txt"), bytes);
        QWidget host;
        QLogDialog dialog(&host);
        m_recorder.dialog = &dialog;
        dialog.showLog(path);
        QTRY_VERIFY(dialog.isVisible());
        QCOMPARE(editor(dialog)->toPlainText(), expected);
        QCOMPARE(dialog.findChild<QLabel*>()->text(), QStringLiteral("Loaded File: ") + path);

        QTRY_VERIFY(host.findChildren<QLogLoader*>().isEmpty()); // it deleted itself
        const auto progress = host.findChildren<QProgressDialog*>();
        QCOMPARE(progress.size(), 1);
        QTRY_VERIFY(!progress.first()->isVisible());
        QCOMPARE(progress.first()->labelText(), QStringLiteral("Reading log file..."));
        QCOMPARE(m_recorder.log, QStringList({"progress", "shown"}));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"empty", "starts with zero", "missing", "directory", "fifo", "unreadable"})
            QTest::newRow(kind) << kind;
    }
    // One warning box per failure, then the dialog closes, never shown; the indicator closes too.
    void failures()
    {
        QFETCH(QString, kind);
        QString path = m_dir.filePath(kind);
        QScopedPointer<DacOverrideDrop> drop;
        if (kind == "empty") {
            path = writeFile(kind, QByteArray());
        } else if (kind == "starts with zero") {
            path = writeFile(kind, QByteArray("\0text", 5));
        } else if (kind == "directory") {
            QVERIFY(QDir(m_dir.path()).mkpath(kind));
        } else if (kind == "fifo") { // refused: opening it would block the worker until a writer comes
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "unreadable") {
            path = writeFile(kind, QByteArray("secret\n"));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            if (::geteuid() == 0) {
                drop.reset(new DacOverrideDrop);
                if (!drop->active())
                    QSKIP("running as root and CAP_DAC_OVERRIDE cannot be dropped");
            }
        }
        QVERIFY(!path.isEmpty());

        QWidget host;
        host.setObjectName(QStringLiteral("host"));
        QLogDialog dialog(&host);
        m_recorder.dialog = &dialog;
        dialog.showLog(path);
        drop.reset(); // the worker already runs with the reduced capabilities

        QTRY_VERIFY(host.findChildren<QLogLoader*>().isEmpty());
        QTRY_VERIFY(!host.findChild<QProgressDialog*>()->isVisible());
        QCOMPARE(m_recorder.log, QStringList({"progress", "box host Error|An error occured while reading the log file.", "closed"}));
    }

    // Nobody owns a busy indicator made without a parent widget, so it frees itself once closed.
    void parentlessProgressIsFreed_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("read") << true;
        QTest::newRow("error") << false;
    }
    void parentlessProgressIsFreed()
    {
        QFETCH(bool, readable);
        QLogDialog dialog;
        dialog.showLog(readable ? writeFile(QStringLiteral("p.log"), "line\n") : m_dir.filePath(QStringLiteral("nope")));
        QPointer<QProgressDialog> progress;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!progress)
                progress = qobject_cast<QProgressDialog*>(w);
        }
        QVERIFY(progress);
        QTRY_VERIFY(progress.isNull());
    }

    // The host may go away while the worker still reads; that must neither abort nor show anything.
    void hostDestroyedWhileReading()
    {
        const QString path = writeFile(QStringLiteral("big.log"), QByteArray(99, 'x').append('\n').repeated(300000));
        auto* host = new QWidget;
        (new QLogDialog(host))->showLog(path);
        QPointer<QLogLoader> loader = host->findChild<QLogLoader*>();
        QVERIFY(loader && loader->isRunning());
        delete host;
        QVERIFY(loader.isNull());
        QCoreApplication::processEvents();
        QVERIFY(!m_recorder.log.contains(QStringLiteral("shown")));
    }

    // The editor is as wide as the longest line and the dialog adds its layout margins. A second
    // log on the visible dialog replaces text, label and widths without showing it again.
    void minimumWidths()
    {
        const QString wide = QStringLiteral("W") + QString(299, QLatin1Char('m'));
        const QString first = QStringLiteral("short line\n") + wide + QStringLiteral("\nend\n");
        const QString second = QStringLiteral("only\na little\n");
        QLogDialog dialog;
        m_recorder.dialog = &dialog;
        const QFontMetrics fm(editor(dialog)->document()->defaultFont());
        const QMargins margins = dialog.layout()->contentsMargins();

        dialog.showLog(writeFile(QStringLiteral("wide.log"), first.toUtf8()));
        QTRY_COMPARE(editor(dialog)->toPlainText(), first);
        QCOMPARE(editor(dialog)->minimumWidth(), fm.size(0, wide).width());
        QCOMPARE(dialog.minimumWidth(), fm.size(0, wide).width() + margins.left() + margins.right());

        const QString path = writeFile(QStringLiteral("narrow.log"), second.toUtf8());
        dialog.showLog(path);
        QTRY_COMPARE(editor(dialog)->toPlainText(), second);
        QCOMPARE(dialog.findChild<QLabel*>()->text(), QStringLiteral("Loaded File: ") + path);
        const int narrow = fm.size(0, QStringLiteral("a little")).width();
        QCOMPARE(editor(dialog)->minimumWidth(), narrow);
        QCOMPARE(dialog.minimumWidth(), narrow + margins.left() + margins.right()); // below 200 too
        QCOMPARE(m_recorder.log.count(QStringLiteral("shown")), 1);
    }

    void widthMatchesFontMetrics_data()
    {
        QTest::addColumn<QString>("text");
        const QString rows[] = {
            "hello", "abcd\nabc      \t\r\u3000\nabcde", "abcd\nabc      ", "abcd\nabc\u00a0\u00a0\u00a0\u00a0\nx",
            "      \nab", "\t\tindented\nplain text line\n\ta\tb\tc\td", "a\rb\rc\rd\nabcd",
            "AVAVAVAVAVAVAVAV To Wa Ty\nxxxxxxxxxxxxxxxxxxxxxxxxx\n", "a&&b&c\n&&&&",
            "Grüße aus Köln\nnaïve façade\nÅngström", "Привет мир\nΚαλημέρα κόσμε", "日本語のログ\n한국어 로그\nlatin",
            "مرحبا بالعالم\nשלום עולם\nabc", "e\u0301\u0301\u0301\u0301\u0301\u0301\u0301 x\neeeeeeeeee",
            "ok 😀😀😀😀\nokokokokokok", "zero\u200bwidth\u200d\nzerowidth",
            "short\u009ca much longer variant", "\n\n\nx\n\n", "\n"};
        for (const QString& row : rows)
            QTest::newRow(qPrintable(row.left(12))) << row;
        // Many lines of nearly equal width, so the glyphs decide which line is widest.
        const QString alphabet = QStringLiteral("AVWTYoaefijl1.,;:- _MW\tΩЖé日");
        QRandomGenerator rng(42);
        for (int seed = 0; seed < 6; ++seed) {
            QString text;
            for (int line = 0; line < 200; ++line) {
                for (int i = 60 + rng.bounded(6); i > 0; --i)
                    text += alphabet.at(rng.bounded(alphabet.size()));
                text += QLatin1Char('\n');
            }
            QTest::newRow(qPrintable(QStringLiteral("random %1").arg(seed))) << text;
        }
    }
    // The measure gives exactly QFontMetrics::size(0, text).width(), in the dialog and on its own.
    void widthMatchesFontMetrics()
    {
        QFETCH(QString, text);
        QLogDialog dialog;
        QFont font = editor(dialog)->document()->defaultFont();
        dialog.onLogLoaded(text, QStringLiteral("direct"));
        QCOMPARE(editor(dialog)->minimumWidth(), QFontMetrics(font).size(0, text).width());
        font.setBold(true);
        font.setPointSize(font.pointSize() + 5);
        QCOMPARE(ryqt::logTextWidth(font, text), QFontMetrics(font).size(0, text).width());
    }

    // Too large to lay out whole, a text still measures as its widest line; a line wider than
    // any widget is clamped rather than wrapped or overflowed.
    void widthOfLargeText()
    {
        const QFont font = QApplication::font();
        const QString widest = QStringLiteral("2024-05-01 12:00:00 ERROR ") + QString(1800, QLatin1Char('W'));
        QString text;
        QRandomGenerator rng(7);
        for (int i = 0; text.size() < 4000000; ++i) {
            text += QStringLiteral("2024-05-01 12:00:00.123 [worker-%1] INFO ").arg(rng.bounded(16));
            text += QString(rng.bounded(20, 200), QLatin1Char('x')) + QLatin1Char('\n');
            if (i == 20000)
                text += widest + QLatin1Char('\n');
        }
        QCOMPARE(ryqt::logTextWidth(font, text), QFontMetrics(font).size(0, widest).width());

        QCOMPARE(ryqt::logTextWidth(font, QString(3000000, QLatin1Char('m'))), QWIDGETSIZE_MAX);
        const QString longLine(200000, QLatin1Char('m'));
        const int width = ryqt::logTextWidth(font, longLine + QLatin1Char('\n') + longLine.left(1000));
        QVERIFY(qAbs(width - QFontMetricsF(font).horizontalAdvance(longLine)) <= 1.0);
    }
};

QTEST_MAIN(TestLogDialog)
#include "tst_logdialog.moc"
