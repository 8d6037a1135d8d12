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
#include <QSyntaxHighlighter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Records what pops up and goes away, and dismisses every message box with its Ok button as the
// user would, so the modal QMessageBox::warning() returns.
class EventRecorder : public QObject
{
public:
    QStringList log;
    QList<QPointer<QMessageBox>> boxes;
    QStringList boxTitles, boxTexts;
    QList<QWidget*> boxParents;
    QObject* watched = nullptr;

    void clear()
    {
        log.clear();
        boxes.clear();
        boxTitles.clear();
        boxTexts.clear();
        boxParents.clear();
        watched = nullptr;
    }

    bool eventFilter(QObject* obj, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(obj)) {
                boxes << box;
                boxTitles << box->windowTitle();
                boxTexts << box->text();
                boxParents << box->parentWidget();
                log << QStringLiteral("box");
                QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
            } else if (qobject_cast<QProgressDialog*>(obj)) {
                log << QStringLiteral("progress-shown");
            } else if (obj == watched) {
                log << QStringLiteral("dialog-shown");
            }
        } else if (event->type() == QEvent::Close && obj == watched) {
            log << QStringLiteral("dialog-closed");
        }
        return false;
    }
};

// As root, permission bits do not stop reading. Dropping the DAC override capabilities from this
// thread's effective set makes them count again; threads started meanwhile inherit the drop.
class DacOverrideDrop
{
public:
    DacOverrideDrop()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
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
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

class WordHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override
    {
        const int at = text.indexOf(QLatin1String("ERROR"));
        if (at >= 0)
            setFormat(at, 5, QColor(Qt::red));
    }
};

bool hasRedFormat(const QTextDocument* doc)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange& range : b.layout()->formats()) {
            if (range.format.foreground().color() == QColor(Qt::red))
                return true;
        }
    }
    return false;
}

} // namespace

class TestLogDialog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    EventRecorder m_recorder;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    static QPlainTextEdit* editor(QLogDialog& dialog) { return dialog.findChild<QPlainTextEdit*>(); }
    static QLabel* label(QLogDialog& dialog) { return dialog.findChild<QLabel*>(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qApp->installEventFilter(&m_recorder);
    }
    void init()
    {
        m_recorder.clear();
    }

    void construction()
    {
        QLogDialog dialog;
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Log Dialog"));
        QCOMPARE(dialog.minimumSize(), QSize(200, 600));
        QVERIFY(editor(dialog)->isReadOnly());
        // The path sits above the text.
        QCOMPARE(dialog.layout()->indexOf(label(dialog)), 0);
        QCOMPARE(dialog.layout()->indexOf(editor(dialog)), 1);
    }

    void readsFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << QByteArray("2024-05-01 INFO start\n2024-05-01 WARN späť\n")
                                << QStringLiteral("2024-05-01 INFO start\n2024-05-01 WARN späť\n");
        QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\nthree") << QStringLiteral("one\ntwo\nthree");
        QTest::newRow("zero byte") << QByteArray("before\nstill\0after\n", 19) << QStringLiteral("before\nstill");
        QTest::newRow("invalid utf-8") << QByteArray("ok \xff\xfe end\n")
                                       << QStringLiteral("ok ") + QChar(QChar::ReplacementCharacter)
                                              + QChar(QChar::ReplacementCharacter) + QStringLiteral(" end\n");
    }
    // Real files go through the worker thread into the editor; the busy indicator comes and goes.
    void readsFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString path = writeFile(QStringLiteral("log.txt"), bytes);
        QVERIFY(!path.isEmpty());

        QWidget host;
        QLogDialog dialog(&host);
        m_recorder.watched = &dialog;
        dialog.showLog(path);
        QTRY_VERIFY(dialog.isVisible());
        QCOMPARE(editor(dialog)->toPlainText(), expected);
        QCOMPARE(label(dialog)->text(), QStringLiteral("Loaded File: ") + path);

        // The loader deletes itself; the busy indicator was shown, then closed but kept by the host.
        QTRY_VERIFY(host.findChildren<QLogLoader*>().isEmpty());
        const auto progress = host.findChildren<QProgressDialog*>();
        QCOMPARE(progress.size(), 1);
        QTRY_VERIFY(!progress.first()->isVisible());
        QVERIFY(m_recorder.log.contains(QStringLiteral("progress-shown")));
        QCOMPARE(progress.first()->windowTitle(), QStringLiteral("Opening File"));
        QCOMPARE(progress.first()->labelText(), QStringLiteral("Reading log file..."));
        QVERIFY(m_recorder.boxes.isEmpty());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << "empty";
        QTest::newRow("starts with zero") << "zero";
        QTest::newRow("missing") << "missing";
        QTest::newRow("directory") << "directory";
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("unreadable") << "unreadable";
    }
    // Each failure gives one warning box; once it is dismissed the dialog closes, and the busy
    // indicator closes too.
    void failures()
    {
        QFETCH(QString, kind);
        QString path = m_dir.filePath(kind);
        QScopedPointer<DacOverrideDrop> drop;
        if (kind == QLatin1String("empty")) {
            path = writeFile(kind, QByteArray());
        } else if (kind == QLatin1String("zero")) {
            path = writeFile(kind, QByteArray("\0text", 5));
        } else if (kind == QLatin1String("directory")) {
            QVERIFY(QDir(m_dir.path()).mkpath(kind));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("unreadable")) {
            path = writeFile(kind, QByteArray("secret\n"));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            if (::geteuid() == 0) {
                drop.reset(new DacOverrideDrop);
                if (!drop->active())
                    QSKIP("running as root without a way to drop CAP_DAC_OVERRIDE");
            }
        }
        QVERIFY(!path.isEmpty());

        QWidget host;
        QLogDialog dialog(&host);
        m_recorder.watched = &dialog;
        dialog.showLog(path);
        drop.reset(); // the worker already carries the dropped capabilities

        QTRY_VERIFY(m_recorder.log.contains(QStringLiteral("dialog-closed")));
        QTRY_VERIFY(host.findChildren<QLogLoader*>().isEmpty());
        QCOMPARE(m_recorder.boxes.size(), 1);
        QCOMPARE(m_recorder.boxTitles.first(), QStringLiteral("Error"));
        QCOMPARE(m_recorder.boxTexts.first(), QStringLiteral("An error occured while reading the log file."));
        QCOMPARE(m_recorder.boxParents.first(), &host);
        QVERIFY(m_recorder.log.indexOf(QStringLiteral("box")) < m_recorder.log.indexOf(QStringLiteral("dialog-closed")));
        QVERIFY(!m_recorder.log.contains(QStringLiteral("dialog-shown")));
        QVERIFY(!dialog.isVisible());
        const auto progress = host.findChildren<QProgressDialog*>();
        QCOMPARE(progress.size(), 1);
        QTRY_VERIFY(!progress.first()->isVisible());
    }

    // Without a parent widget nobody owns the busy indicator, so it frees itself once closed,
    // whether the read succeeds or fails.
    void parentlessProgressIsFreed_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("read") << true;
        QTest::newRow("error") << false;
    }
    void parentlessProgressIsFreed()
    {
        QFETCH(bool, readable);
        const QString path = readable ? writeFile(QStringLiteral("p.log"), "line\n") : m_dir.filePath(QStringLiteral("nope"));
        QLogDialog dialog;
        dialog.showLog(path);
        QPointer<QProgressDialog> progress;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QProgressDialog*>(w))
                progress = p;
        }
        QVERIFY(progress);
        QTRY_VERIFY(progress.isNull());
        QCOMPARE(m_recorder.boxes.size(), readable ? 0 : 1);
    }

    // The host may go away while the worker still reads; that must neither abort nor show anything.
    void hostDestroyedWhileReading()
    {
        const QByteArray line(99, 'x');
        QByteArray bytes;
        for (int i = 0; i < 300 * 1000; ++i)
            bytes += line + '\n';
        const QString path = writeFile(QStringLiteral("big.log"), bytes);
        QVERIFY(!path.isEmpty());
        auto* host = new QWidget;
        auto* dialog = new QLogDialog(host);
        dialog->showLog(path);
        QPointer<QLogLoader> loader = host->findChild<QLogLoader*>();
        QVERIFY(loader);
        QVERIFY(loader->isRunning());
        delete host;
        QVERIFY(loader.isNull());
        QCoreApplication::processEvents();
        QVERIFY(m_recorder.boxes.isEmpty());
    }

    // The editor is exactly as wide as the longest line; the dialog adds its layout margins.
    // A second log on the visible dialog replaces text, label and widths without a second show.
    void minimumWidths()
    {
        const QString wide = QStringLiteral("W") + QString(299, QLatin1Char('m'));
        const QString first = QStringLiteral("short line\n") + wide + QStringLiteral("\nend\n");
        const QString second = QStringLiteral("only\na little\n");
        const QString firstPath = writeFile(QStringLiteral("wide.log"), first.toUtf8());
        const QString secondPath = writeFile(QStringLiteral("narrow.log"), second.toUtf8());

        QLogDialog dialog;
        m_recorder.watched = &dialog;
        const QFontMetrics fm(editor(dialog)->document()->defaultFont());
        const QMargins margins = dialog.layout()->contentsMargins();

        dialog.showLog(firstPath);
        QTRY_COMPARE(editor(dialog)->toPlainText(), first);
        QCOMPARE(editor(dialog)->minimumWidth(), fm.size(0, wide).width());
        QCOMPARE(dialog.minimumWidth(), fm.size(0, wide).width() + margins.left() + margins.right());

        dialog.showLog(secondPath);
        QTRY_COMPARE(editor(dialog)->toPlainText(), second);
        QCOMPARE(label(dialog)->text(), QStringLiteral("Loaded File: ") + secondPath);
        const int narrow = fm.size(0, QStringLiteral("a little")).width();
        QCOMPARE(editor(dialog)->minimumWidth(), narrow);
        // The dialog's own minimum of 200 pixels gives way to the narrower text.
        QCOMPARE(dialog.minimumWidth(), narrow + margins.left() + margins.right());
        QCOMPARE(m_recorder.log.count(QStringLiteral("dialog-shown")), 1);
    }

    void highlighter_data()
    {
        QTest::addColumn<bool>("before");
        QTest::newRow("before showLog") << true;
        QTest::newRow("after showLog") << false;
    }
    void highlighter()
    {
        QFETCH(bool, before);
        const QString path = writeFile(QStringLiteral("h.log"), "fine\n12:00 ERROR disk full\n");
        QLogDialog dialog;
        WordHighlighter highlighter(static_cast<QTextDocument*>(nullptr));
        if (before)
            dialog.setSyntaxHighlighter(&highlighter);
        dialog.setSyntaxHighlighter(nullptr);
        dialog.showLog(path);
        QTRY_VERIFY(!editor(dialog)->toPlainText().isEmpty());
        if (!before)
            dialog.setSyntaxHighlighter(&highlighter);
        // A highlighter given a filled document recolours it from the event loop.
        QTRY_VERIFY(hasRedFormat(editor(dialog)->document()));
    }

    void widthMatchesFontMetrics_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("single") << QStringLiteral("hello");
        QTest::newRow("trailing blanks inside") << QStringLiteral("abcd\nabc      \t\r\u3000\nabcde");
        QTest::newRow("trailing blanks last") << QStringLiteral("abcd\nabc      ");
        QTest::newRow("trailing no-break spaces") << QStringLiteral("abcd\nabc\u00a0\u00a0\u00a0\u00a0\nx");
        QTest::newRow("blank line") << QStringLiteral("      \nab");
        QTest::newRow("tabs") << QStringLiteral("\t\tindented\nplain text line\n\ta\tb\tc\td");
        QTest::newRow("carriage return") << QStringLiteral("a\rb\rc\rd\nabcd");
        QTest::newRow("kerning vs plain") << QStringLiteral("AVAVAVAVAVAVAVAV To Wa Ty\nxxxxxxxxxxxxxxxxxxxxxxxxx\n");
        QTest::newRow("mnemonic ampersands") << QStringLiteral("a&&b&c\n&&&&");
        QTest::newRow("accented") << QStringLiteral("Grüße aus Köln\nnaïve façade\nÅngström");
        QTest::newRow("cyrillic greek") << QStringLiteral("Привет мир\nΚαλημέρα κόσμε");
        QTest::newRow("cjk") << QStringLiteral("日本語のログ\n한국어 로그\nlatin");
        QTest::newRow("arabic hebrew") << QStringLiteral("مرحبا بالعالم\nשלום עולם\nabc");
        QTest::newRow("combining marks") << QStringLiteral("e\u0301\u0301\u0301\u0301\u0301\u0301\u0301 x\neeeeeeeeee");
        QTest::newRow("emoji") << QStringLiteral("ok 😀😀😀😀\nokokokokokok");
        QTest::newRow("format chars") << QStringLiteral("zero\u200bwidth\u200d\nzerowidth");
        QTest::newRow("length variant") << QStringLiteral("short") + QChar(0x9c) + QStringLiteral("a much longer variant");
        QTest::newRow("empty lines") << QStringLiteral("\n\n\nx\n\n");
        QTest::newRow("only newline") << QStringLiteral("\n");

        // Many lines of nearly equal width, so the widest is decided by the glyphs, not the length.
        const QString alphabet = QStringLiteral("AVWTYoaefijl1.,;:- _MW\tΩЖé日");
        QRandomGenerator rng(42);
        for (int seed = 0; seed < 6; ++seed) {
            QString text;
            for (int line = 0; line < 200; ++line) {
                const int length = 60 + rng.bounded(6);
                for (int i = 0; i < length; ++i)
                    text += alphabet.at(rng.bounded(alphabet.size()));
                text += QLatin1Char('\n');
            }
            QTest::newRow(qPrintable(QStringLiteral("random %1").arg(seed))) << text;
        }
    }
    // The fast measure agrees with QFontMetrics::size(0, text), in the dialog and on its own.
    void widthMatchesFontMetrics()
    {
        QFETCH(QString, text);
        QLogDialog dialog;
        const QFont font = editor(dialog)->document()->defaultFont();
        const int expected = QFontMetrics(font).size(0, text).width();
        QCOMPARE(ryqt::logTextWidth(font, text), expected);
        QFont bold(font);
        bold.setBold(true);
        bold.setPointSize(font.pointSize() + 5);
        QCOMPARE(ryqt::logTextWidth(bold, text), QFontMetrics(bold).size(0, text).width());

        dialog.onLogLoaded(text, QStringLiteral("direct"));
        QCOMPARE(editor(dialog)->minimumWidth(), expected);
    }

    // On a text too large to lay out whole, the result is still the widest line's own width.
    void widthOfLargeText()
    {
        QLogDialog dialog;
        const QFont font = editor(dialog)->document()->defaultFont();
        const QFontMetrics fm(font);
        QString text;
        QRandomGenerator rng(7);
        const QString widest = QStringLiteral("2024-05-01 12:00:00 ERROR ") + QString(1800, QLatin1Char('W'));
        bool placed = false;
        while (text.size() < 4 * 1000 * 1000) {
            text += QStringLiteral("2024-05-01 12:00:00.123 [worker-%1] INFO ").arg(rng.bounded(16));
            text += QString(rng.bounded(20, 200), QLatin1Char('x'));
            text += QLatin1Char('\n');
            if (text.size() > 2 * 1000 * 1000 && !placed) {
                text += widest + QLatin1Char('\n');
                placed = true;
            }
        }
        QCOMPARE(ryqt::logTextWidth(font, text), fm.size(0, widest).width());

        // A single line wider than any widget is clamped rather than wrapped or overflowed.
        const QString huge(3 * 1000 * 1000, QLatin1Char('m'));
        QCOMPARE(ryqt::logTextWidth(font, huge), QWIDGETSIZE_MAX);
        const QString long1(200 * 1000, QLatin1Char('m'));
        const int width = ryqt::logTextWidth(font, long1 + QLatin1Char('\n') + long1.left(1000));
        QVERIFY(qAbs(width - QFontMetricsF(font).horizontalAdvance(long1)) <= 1.0);
    }
};

QTEST_MAIN(TestLogDialog)
#include "tst_logdialog.moc"
