#include <QLogDialog.h>
#include <QLogLoader.h>

#include "LogTextWidth.h"

#include "testing.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

static QPlainTextEdit* editor(QLogDialog& dialog) { return dialog.findChild<QPlainTextEdit*>(); }
static int widthOf(QLogDialog& dialog, const QString& text) { return QFontMetrics(editor(dialog)->document()->defaultFont()).size(0, text).width(); }

// Colours "ERROR" red everywhere, and whole lines from a "BEGIN" line to an "END" line, so a
// block coloured out of order (without its predecessor's state) shows.
struct SectionHighlighter : QSyntaxHighlighter
{
    using QSyntaxHighlighter::QSyntaxHighlighter;
    void highlightBlock(const QString& text) override
    {
        const bool inside = previousBlockState() == 1 || text.startsWith("BEGIN");
        setCurrentBlockState(inside && !text.startsWith("END") ? 1 : 0);
        if (inside)
            setFormat(0, text.size(), QColor(Qt::blue));
        for (int at = text.indexOf("ERROR"); at >= 0; at = text.indexOf("ERROR", at + 1))
            setFormat(at, 5, QColor(Qt::red));
    }
    // Whether every block of the editor is coloured as highlightBlock() would, in order.
    static bool matches(QTextDocument* document)
    {
        bool inside = false;
        for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
            const QString t = b.text();
            inside = inside || t.startsWith("BEGIN");
            if (b.layout()->formats().isEmpty() == ((inside && !t.isEmpty()) || t.contains("ERROR")))
                return false;
            inside = inside && !t.startsWith("END");
        }
        return true;
    }
};

// Lines of 50 to 120 characters, some with ERROR, some BEGIN..END sections: thousands of lines
// go the worker path.
static QString makeLog(int lines, quint32 seed)
{
    QRandomGenerator rng(seed);
    QString text;
    for (int i = 0; i < lines; ++i) {
        const int kind = rng.bounded(40);
        QString line = kind == 0 ? "BEGIN section" : kind == 1 ? "END section" : QString("%1 INFO").arg(i, 6);
        text += line + (kind == 2 ? " ERROR" : "") + QString(rng.bounded(40, 110), QChar('a' + rng.bounded(26))) + '\n';
    }
    return text;
}

static const QString kProgress = "progress Opening File|Reading log file...";

class TestLogDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ShownLog m_recorder;

    QString write(const QString& name, const QByteArray& bytes) { return writeFile(m_dir.filePath(name), bytes); }

private slots:
    void initTestCase() { qApp->installEventFilter(&m_recorder); }
    void cleanup() { QTRY_VERIFY(!shownWindow<QWidget>()); } // nothing stray left behind by a case

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
    // Real files reach the editor, in the system's fixed-pitch font, through the worker, which
    // sets the minimum widths from the widest line; or they give one error box and the dialog
    // closes unshown. Either way the busy indicator closes; made without a parent, it is freed.
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString kind = QTest::currentDataTag(), path = m_dir.filePath(kind);
        if (kind != "missing")
            QVERIFY(kind == "directory" ? QDir().mkpath(path) : !writeFile(path, bytes).isNull());
        QVERIFY(kind != "unreadable" || QFile::setPermissions(path, {}));
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
        const QStringList expected = text.isNull() ? QStringList{kProgress, "host Error|An error occured while reading the log file.", "closed"}
                                                   : QStringList{kProgress, "shown"};
        QTRY_COMPARE(m_recorder.log, expected);
        QTRY_VERIFY(!host.findChild<QProgressDialog*>()->isVisible());
        QCOMPARE(m_recorder.log, expected); // and nothing more
        // Fixed-pitch even where the platform's "fixed" font is not (Qt 5 offscreen).
        QVERIFY(QFontInfo(editor(dialog)->document()->defaultFont()).fixedPitch());
        if (!text.isNull()) {
            QCOMPARE(editor(dialog)->toPlainText(), text);
            const QMargins margins = dialog.layout()->contentsMargins();
            QCOMPARE(dialog.minimumWidth(), widthOf(dialog, text) + margins.left() + margins.right());
        }
    }

    void showLog_data()
    {
        QTest::addColumn<int>("first"); // lines of a log shown just before; 0: none
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("coloursAfter"); // the highlighter is set once the text is in
        QTest::newRow("long, colours before") << 0 << 4000 << false;
        QTest::newRow("long, colours after") << 0 << 4000 << true;
        QTest::newRow("long then short") << 6000 << 3 << false;
        QTest::newRow("short then long") << 3 << 5000 << true;
        QTest::newRow("long then long") << 6000 << 4000 << false;
    }
    // Long logs are laid out off the GUI thread. The newest call wins, whichever read or layout
    // ends last; stale results never show. The highlighter colours every block in order, set
    // before or after the text arrives, through showLog or a host's direct call.
    void showLog()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, coloursAfter);
        const QString a = makeLog(first, 1), b = makeLog(second, 2), pa = write("a.log", a.toUtf8()), pb = write("b.log", b.toUtf8());
        for (bool direct : {false, true}) {
            QWidget host;
            QLogDialog dialog(&host);
            SectionHighlighter colours(&dialog);
            if (!coloursAfter)
                dialog.setSyntaxHighlighter(&colours);
            if (first)
                direct ? dialog.onLogLoaded(a, pa) : dialog.showLog(pa);
            direct ? dialog.onLogLoaded(b, pb) : dialog.showLog(pb);
            QTRY_COMPARE(editor(dialog)->toPlainText(), b);
            QTRY_VERIFY(!host.findChild<QThread*>());
            QTest::qWait(50); // any stale result would be delivered by now
            QCOMPARE(editor(dialog)->toPlainText(), b);
            QCOMPARE(dialog.findChild<QLabel*>()->text(), "Loaded File: " + pb);
            QVERIFY(editor(dialog)->minimumWidth() == widthOf(dialog, b) && editor(dialog)->isReadOnly());
            if (coloursAfter)
                dialog.setSyntaxHighlighter(&colours);
            QTRY_VERIFY(SectionHighlighter::matches(editor(dialog)->document()));
        }
    }

    // Destroyed mid-read (its parent deleted), a loader stops at its next piece and emits
    // nothing rather than reading the rest of the file first.
    void abandonedRead()
    {
        const QString path = write("abandoned.log", QByteArray(99, 'x').append('\n').repeated(160000));
        std::atomic<bool> emitted{false};
        auto* loader = new QLogLoader(path, nullptr);
        connect(loader, &QLogLoader::readFile, loader, [&emitted] { emitted = true; }, Qt::DirectConnection);
        connect(loader, &QLogLoader::errorReadingFile, loader, [&emitted] { emitted = true; }, Qt::DirectConnection);
        loader->start();
        delete loader;
        QVERIFY(!emitted);
    }

    // A file read and decoded in several pieces gives the text a whole decode would, to the
    // host's own loader and in the editor, and the same width: multi-byte characters, stray and
    // cut-off sequences and byte order marks next to the newlines where pieces may end, '\r'
    // anywhere, a leading byte order mark, and a zero byte far into the file.
    void piecewiseRead()
    {
        static const char* const parts[] = {"abc ", "ä€", "\xEF\xBB\xBF", "\x82", "\xE2\x82", "\t", "WW", "\n", "\n\xEF\xBB\xBF", "\r", "\r\n"};
        QRandomGenerator rng(5);
        auto noise = [&rng](int size, bool cr) {
            QByteArray b;
            while (b.size() < size)
                b += rng.bounded(40) ? (rng.bounded(12) ? "log line " : "\n") : parts[rng.bounded(int(std::size(parts)) - (cr ? 0 : 2))];
            return b.left(size);
        };
        // Reads are a megabyte long: a newline and a byte order mark end the first, a "€"
        // straddles the end of the second.
        QByteArray bytes = "\xEF\xBB\xBF" + noise((1 << 20) - 7, false) + "\n\xEF\xBB\xBF";
        bytes += noise((2 << 20) - 1 - bytes.size(), false) + "€" + noise(1 << 19, true);
        const QString path = write("pieces.log", bytes + QByteArray("\0tail\n", 6)), expected = QString::fromUtf8(bytes.replace('\r', ""));
        QLogDialog dialog;
        QLogLoader loader(path, nullptr); // a host's own, as a host may connect it
        QSignalSpy read(&loader, &QLogLoader::readFile);
        connect(&loader, &QLogLoader::readFile, &dialog, &QLogDialog::onLogLoaded);
        loader.start();
        QTRY_COMPARE(read.count(), 1);
        QCOMPARE(read.at(0).at(0).toString(), expected);
        QTRY_COMPARE(editor(dialog)->toPlainText(), expected);
        dialog.onLogLoaded("short\n", "short");
        dialog.showLog(path);
        QTRY_COMPARE(editor(dialog)->toPlainText(), expected);
        QCOMPARE(editor(dialog)->minimumWidth(), ryqt::logTextWidth(editor(dialog)->document()->defaultFont(), expected));
    }

    // A line wider than any window: the dialog stops at the window system's limit, paints, and
    // the editor scrolls sideways to the line's end. A log that fits again wraps as usual.
    void widerThanAWindow()
    {
        QLogDialog dialog;
        dialog.onLogLoaded("start " + QString(60000, 'W') + " end\nshort\n", "wide");
        const int limit = int(32767 / dialog.devicePixelRatioF());
        QVERIFY(dialog.minimumWidth() <= limit && dialog.minimumWidth() > limit - 100);
        QCOMPARE(editor(dialog)->minimumWidth(), dialog.minimumWidth() - (dialog.width() - editor(dialog)->width()));
        QCOMPARE(editor(dialog)->lineWrapMode(), QPlainTextEdit::NoWrap);
        QTRY_VERIFY(dialog.width() <= limit);
        QVERIFY(!dialog.grab().isNull());
        QScrollBar* bar = editor(dialog)->horizontalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const QTextLine line = editor(dialog)->document()->firstBlock().layout()->lineAt(0);
        QVERIFY(line.naturalTextWidth() - bar->value() <= editor(dialog)->viewport()->width());
        dialog.onLogLoaded("fits\n", "narrow");
        QCOMPARE(editor(dialog)->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    // Differential check of the width measure against QFontMetrics::size(0, text) on random
    // texts mixing scripts, directions, marks, astral characters and line-end oddities, far below
    // where QFontMetrics itself breaks down (about 16.7 million pixels on one line); a text too
    // large to lay out whole still measures as its widest line. RYQT_WIDTH_SEED=n replays a run.
    void differentialWidth()
    {
        static const QStringList pools{
            "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,:;-_=/[]() AVAWToTyff", "Привет мир ЖЩЮЯ ёлка",
            "Καλημέρα κόσμε ΩΨΣ ΐ", "日本語のログ中文漢字、。", "한국어 로그 \u1100\u1161\u11A8", "مرحبا بالعالم لا ١٢٣",
            "שלום עולם אבג", "नमस्ते दुनिया क्षि र्क", "\u0301\u0308\u0327\u20DD\u0489", "😀👍🏽👨‍👩‍👧❤️🇩🇪",
            "𝔘𝔫𝔦𝐀𓀀𐍈", "\t", "\r", "\r\n", "   ", "\n", "\n\n", "\u009c", "\u200b\u200d\u00ad"};
        const quint32 seed = qEnvironmentVariableIsSet("RYQT_WIDTH_SEED") ? quint32(qEnvironmentVariableIntValue("RYQT_WIDTH_SEED"))
                                                                          : QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        QLogDialog dialog;
        const QFont fonts[] = {editor(dialog)->document()->defaultFont(), QFont(QApplication::font().family(), QApplication::font().pointSize() + 3, QFont::Bold)};
        // QFontMetrics lays the whole text out as one paragraph, where a line starting with
        // characters of no script of their own takes the script (and maybe the fallback font)
        // of the line before; the measure lays each line out alone. Measured line by line (up
        // to a U+009C, which ends the text for both), such a text agrees.
        auto byLine = [](const QFont& font, const QString& text) {
            const QStringList lines = text.left(text.indexOf(QChar(0x9c))).split('\n');
            int widest = 0;
            for (int k = 0; k < lines.size(); ++k)
                widest = std::max(widest, QFontMetrics(font).size(0, k + 1 < lines.size() ? lines.at(k) + '\n' : lines.at(k)).width());
            return widest;
        };
        for (int i = 0; i < 2000; ++i) {
            QString text;
            for (int pieces = rng.bounded(1, 24); pieces > 0; --pieces) {
                const QVector<uint> codes = pools.at(rng.bounded(pools.size())).toUcs4();
                for (int k = 0, start = rng.bounded(codes.size()), n = rng.bounded(1, 12); k < n; ++k)
                    text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&codes.at((start + k) % codes.size())), 1);
            }
            const QFont& font = fonts[i % 2];
            const int measured = ryqt::logTextWidth(font, text);
            QVERIFY2(measured == QFontMetrics(font).size(0, text).width() || measured == byLine(font, text),
                     qPrintable(QString("seed %1, text %2: measured %3").arg(QString::number(seed), text.toUtf8().toPercentEncoding(), QString::number(measured))));
        }
        const QString widest = "2024-05-01 12:00:00 ERROR " + QString(1800, 'W');
        const QString line = "2024-05-01 12:00:00.123 [worker-3] INFO " + QString(150, 'x') + '\n';
        QCOMPARE(ryqt::logTextWidth(fonts[1], line.repeated(20000) + widest + '\n' + line.repeated(10000)), QFontMetrics(fonts[1]).size(0, widest).width());
    }
};

QTEST_MAIN(TestLogDialog)
#include "tst_logdialog.moc"
