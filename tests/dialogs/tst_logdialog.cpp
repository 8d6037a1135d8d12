#include <QLogDialog.h>

#include "LogTextWidth.h"

#include <QtTest>
#include <QtWidgets>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Logs what is shown and closed, and dismisses each message box with Ok as a user would.
struct EventRecorder : QObject
{
    QStringList log;
    QObject* dialog = nullptr;
    bool eventFilter(QObject* obj, QEvent* event) override
    {
        const bool show = event->type() == QEvent::Show;
        if (auto* box = show ? qobject_cast<QMessageBox*>(obj) : nullptr) {
            log << (box->parentWidget() ? box->parentWidget()->objectName() : "none") + ' ' + box->windowTitle() + '|' + box->text();
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
        } else if (show && qobject_cast<QProgressDialog*>(obj)) {
            log << "progress";
        } else if ((show || event->type() == QEvent::Close) && obj == dialog) {
            log << (show ? "shown" : "closed");
        }
        return false;
    }
};

static QPlainTextEdit* editor(QLogDialog& dialog) { return dialog.findChild<QPlainTextEdit*>(); }

class TestLogDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    EventRecorder m_recorder;

private slots:
    void initTestCase() { qApp->installEventFilter(&m_recorder); }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // null: an error box instead
        QTest::newRow("normal") << QByteArray("2024-05-01 INFO start\n2024-05-01 WARN späť\n") << "2024-05-01 INFO start\n2024-05-01 WARN späť\n";
        QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\nthree") << "one\ntwo\nthree";
        QTest::newRow("zero byte") << QByteArray("before\nstill\0after\n", 19) << "before\nstill";
        QTest::newRow("invalid utf-8") << QByteArray("ok \xff\xfe end") << "ok \uFFFD\uFFFD end";
        for (const char* kind : {"empty", "missing", "directory", "unreadable"})
            QTest::newRow(kind) << QByteArray(kind == QByteArray("unreadable") ? "secret\n" : "") << QString();
    }
    // Real files reach the editor through the worker, which sets the minimum widths from the
    // widest line; or they give one error box and the dialog closes unshown. Either way the
    // busy indicator closes; made without a parent, it is freed.
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString kind = QTest::currentDataTag(), path = m_dir.filePath(kind);
        QFile file(path);
        if (kind != "missing")
            QVERIFY(kind == "directory" ? QDir().mkpath(path) : file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
        QVERIFY(kind != "unreadable" || file.setPermissions({}));
        QLogDialog orphan; // the only top-level busy indicator is its own
        orphan.showLog(path);
        QPointer<QProgressDialog> progress;
        for (QWidget* w : QApplication::topLevelWidgets())
            progress = progress ? progress.data() : qobject_cast<QProgressDialog*>(w);
        QVERIFY(progress);
        QTRY_VERIFY(progress.isNull());
        // Root reads through permission bits unless this thread drops its DAC override
        // capabilities; the worker started meanwhile inherits the reduced set.
        __user_cap_header_struct caps{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct saved[2]{}, dropped[2]{};
        const bool asRoot = kind == "unreadable" && ::geteuid() == 0;
        if (asRoot) {
            QVERIFY(syscall(SYS_capget, &caps, saved) == 0 && syscall(SYS_capget, &caps, dropped) == 0);
            dropped[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            QVERIFY(syscall(SYS_capset, &caps, dropped) == 0); // lowering the effective set needs no privilege
        }
        QWidget host;
        host.setObjectName("host");
        QLogDialog dialog(&host);
        m_recorder.dialog = &dialog;
        m_recorder.log.clear();
        dialog.showLog(path);
        if (asRoot)
            syscall(SYS_capset, &caps, saved);
        const QStringList expected = text.isNull() ? QStringList{"progress", "host Error|An error occured while reading the log file.", "closed"}
                                                   : QStringList{"progress", "shown"};
        QTRY_COMPARE(m_recorder.log, expected);
        QTRY_VERIFY(!host.findChild<QProgressDialog*>()->isVisible());
        QCOMPARE(m_recorder.log, expected); // and nothing more
        if (!text.isNull()) {
            QCOMPARE(editor(dialog)->toPlainText(), text);
            const int width = editor(dialog)->minimumWidth();
            QCOMPARE(width, QFontMetrics(editor(dialog)->document()->defaultFont()).size(0, text).width());
            QCOMPARE(dialog.minimumWidth(), width + dialog.layout()->contentsMargins().left() + dialog.layout()->contentsMargins().right());
        }
    }

    // The measure gives exactly QFontMetrics::size(0, text).width(), also where lines of equal
    // length differ in width; too large to lay out whole, a text still measures as its widest line.
    void textWidth()
    {
        const QStringList texts{"hello", "abcd\nabc      \t\r\u3000\nabcde", "\t\tindented\nplain text line\n\ta\tb\tc\td", "a\rb\rc\rd\nabcd",
                                "AVAVAVAVAVAVAVAV To Wa Ty\nxxxxxxxxxxxxxxxxxxxxxxxxx\n", "a&&b&c\n&&&&", "Grüße aus Köln\nnaïve façade\nÅngström",
                                "Привет мир\nΚαλημέρα κόσμε", "日本語のログ\n한국어 로그\nlatin", "مرحبا بالعالم\nשלום עולם\nabc", "e\u0301\u0301\u0301\u0301 x\neeeee",
                                "ok 😀😀😀😀\nokokokokokok", "zero\u200bwidth\u200d\nzerowidth", "\n\n\nx\n\n", "\n"};
        const QFont font(QApplication::font().family(), QApplication::font().pointSize() + 5, QFont::Bold);
        for (const QString& text : qAsConst(texts))
            QVERIFY2(ryqt::logTextWidth(font, text) == QFontMetrics(font).size(0, text).width(), qPrintable(text.left(20)));

        const QString widest = "2024-05-01 12:00:00 ERROR " + QString(1800, 'W');
        const QString line = "2024-05-01 12:00:00.123 [worker-3] INFO " + QString(150, 'x') + '\n';
        const QString large = line.repeated(20000) + widest + '\n' + line.repeated(10000);
        QCOMPARE(ryqt::logTextWidth(font, large), QFontMetrics(font).size(0, widest).width());
    }
};

QTEST_MAIN(TestLogDialog)
#include "tst_logdialog.moc"
