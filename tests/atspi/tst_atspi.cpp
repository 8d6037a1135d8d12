#include <QGraphicsView>
#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsLoader.h>
#include <QTextInputDialog.h>
#include <QToast.h>
#include <QWindowLevelGraphicsScene.h>

#include "testing.h"

// What a screen reader reads of this process over the AT-SPI bus, through Qt's own bridge:
// tests/atspi/atspi_reader.py asks the bus, as Orca does, from a process of its own.
class Reader
{
public:
    // Every object of this application as "role|name|description", or nothing on failure.
    static QStringList tree()
    {
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"), {RYQT_ATSPI_READER, "tree", QCoreApplication::applicationName()});
        // The bridge answers on this thread: the loop has to run while the reader asks.
        if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 30000))
            return {};
        const QString err = QString::fromUtf8(reader.readAllStandardError());
        if (!err.isEmpty())
            qWarning("reader: %s", qPrintable(err));
        return QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    // Starts listening for events; true once the reader has registered with the bus.
    bool listen()
    {
        m_events.start(QStringLiteral("/usr/bin/python3"), {RYQT_ATSPI_READER, "events", QCoreApplication::applicationName()});
        return QTest::qWaitFor([&] { return m_events.canReadLine() || m_events.state() == QProcess::NotRunning; }, 30000)
            && m_events.readLine().trimmed() == "ready";
    }

    // Waits until an event line containing all of parts has been heard.
    bool heard(const QStringList& parts)
    {
        return QTest::qWaitFor([&] {
            while (m_events.canReadLine())
                m_lines << QString::fromUtf8(m_events.readLine()).trimmed();
            return std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const QString& line) {
                return std::all_of(parts.cbegin(), parts.cend(), [&](const QString& p) { return line.split('|').contains(p); });
            });
        }, 10000);
    }

    QStringList lines() const { return m_lines; }

    ~Reader()
    {
        m_events.closeWriteChannel();
        if (!m_events.waitForFinished(5000))
            m_events.kill();
    }

private:
    QProcess m_events;
    QStringList m_lines;
};

class TestAtSpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("RYQT_SESSION").isEmpty() || qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").isEmpty())
            QSKIP("needs a real window system and an accessibility bus (tests/session.sh --atspi)");
    }

    // The editors by their entries' names, the "..." by what it chooses, and the window and
    // level as the view's description, read from the bus.
    void namesAndDescriptions()
    {
        QSettingsLoader loader(nullptr, "k");
        QSettingsCategory general("General", QPixmap());
        QSettingsDialog dialog({{QSettingsEntry::String, &loader, &general, "User name"},
                                {QSettingsEntry::File, &loader, &general, "Log file"}}, nullptr);
        dialog.show();
        QWindowLevelGraphicsScene scene(400, 100, 0, 1000, 0, 1000, nullptr);
        QGraphicsView view(&scene);
        scene.setGraphicsView(&view);
        scene.setLevel(120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog) && QTest::qWaitForWindowExposed(&view));
        const QStringList tree = Reader::tree();
        QVERIFY2(tree.contains("text|User name|"), qPrintable(tree.join('\n')));
        QVERIFY2(tree.contains("push button|Choose file for Log file|"), qPrintable(tree.join('\n')));
        QVERIFY2(std::any_of(tree.cbegin(), tree.cend(), [](const QString& l) { return l.endsWith("|Window 400, level 120"); }),
                 qPrintable(tree.join('\n')));
    }

    // A toast is heard as an alert named by its text as it appears; the text input dialog's
    // refusal is heard when OK is refused.
    void events()
    {
        Reader reader;
        QVERIFY(reader.listen());
        QWidget host;
        host.resize(400, 300);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto* toast = new QToast(&host, "Saved <b>report.pdf</b>", 5000, TopLeft);
        toast->show();
        QVERIFY2(reader.heard({"object:state-changed:showing", "alert", "Saved report.pdf"}), qPrintable(reader.lines().join('\n')));

        QTextInputDialog input;
        input.setInputTextComparisons({"base"});
        input.setMatchErrorMessage("That name is taken.");
        input.open();
        QVERIFY(QTest::qWaitForWindowExposed(&input));
        input.findChild<QComboBox*>()->setEditText("BASE");
        input.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY2(reader.heard({"That name is taken."}), qPrintable(reader.lines().join('\n')));
        // A second refusal, with the status bar already showing, is heard too.
        input.findChild<QComboBox*>()->setEditText(QString());
        input.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY2(reader.heard({"Input cannot be empty."}), qPrintable(reader.lines().join('\n')));
    }
};

QTEST_MAIN(TestAtSpi)
#include "tst_atspi.moc"
