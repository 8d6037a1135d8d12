#include <QSettingsCategory.h>
#include <QSettingsEntry.h>
#include <QSettingsLoader.h>

#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The loader built from a key alone uses the application's default store; keep it
        // inside the temporary directory so the test never touches the user's settings.
        QCoreApplication::setOrganizationName(QStringLiteral("ryQtTests"));
        QCoreApplication::setApplicationName(QStringLiteral("settingsmodel"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void loadAndSave_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("double") << "a/double" << QVariant(2.5);
        QTest::newRow("int") << "an/int" << QVariant(-7);
        QTest::newRow("bool") << "deep/group/bool" << QVariant(true);
        QTest::newRow("string") << "text" << QVariant(QStringLiteral("héllo wörld ✓"));
        QTest::newRow("empty string") << "empty" << QVariant(QString());
    }
    // Values survive a round trip through a real INI file, groups written into the key.
    void loadAndSave()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        const QString path = m_dir.filePath(QStringLiteral("roundtrip.ini"));
        {
            QSettings store(path, QSettings::IniFormat);
            QSettingsLoader loader(&store, key);
            QVERIFY(loader.save(value));
            QVERIFY(!loader.ownsSettings());
        }
        QSettings reread(path, QSettings::IniFormat);
        QVariant loaded(QStringLiteral("stale"));
        QVERIFY(QSettingsLoader(&reread, key).load(loaded));
        QCOMPARE(loaded.toString(), value.toString());
        QVERIFY(reread.group().isEmpty());
        if (key.contains('/')) {
            reread.beginGroup(key.section('/', 0, 0));
            QVERIFY(reread.contains(key.section('/', 1)));
        }
    }

    void absentKeyAndMissingStore()
    {
        QSettings store(m_dir.filePath(QStringLiteral("absent.ini")), QSettings::IniFormat);
        QVariant value(42);
        QVERIFY(QSettingsLoader(&store, QStringLiteral("never/written")).load(value));
        QVERIFY(!value.isValid());

        QSettingsLoader none(nullptr, QStringLiteral("k"));
        QVariant kept(42);
        QVERIFY(!none.load(kept));
        QCOMPARE(kept, QVariant(42));
        QVERIFY(!none.save(QVariant(1)));
        QVERIFY(!none.ownsSettings());
    }

    void wrongTypeInStore()
    {
        QSettings store(m_dir.filePath(QStringLiteral("wrongtype.ini")), QSettings::IniFormat);
        store.setValue(QStringLiteral("n"), QStringLiteral("not a number"));
        QVariant v;
        QVERIFY(QSettingsLoader(&store, QStringLiteral("n")).load(v));
        bool ok = true;
        QCOMPARE(v.toInt(&ok), 0);
        QVERIFY(!ok);
    }

    void sharedStoreAndKeys()
    {
        QSettings store(m_dir.filePath(QStringLiteral("shared.ini")), QSettings::IniFormat);
        QSettingsLoader a(&store, QStringLiteral("x")), b(&store, QStringLiteral("y")),
            c(&store, QStringLiteral("x"));
        QVERIFY(a.save(1) && b.save(2) && c.save(3));
        QCOMPARE(store.value(QStringLiteral("x")).toInt(), 3);
        QCOMPARE(store.value(QStringLiteral("y")).toInt(), 2);
    }

    // The owned store goes away only at the next event-loop pass, and only once the last
    // copy of the loader is gone.
    void ownedStoreDeferredAndShared()
    {
        QPointer<QSettings> store;
        {
            QSettingsLoader original(QStringLiteral("owned/key"));
            QVERIFY(original.ownsSettings());
            store = original.settings();
            QVERIFY(store);
            QSettingsLoader copy(original);
            QSettingsLoader assigned(nullptr, QString());
            assigned = original;
            QVERIFY(assigned.ownsSettings());
            QCOMPARE(copy.settings(), store.data());
            {
                QSettingsLoader dropped = original;
                Q_UNUSED(dropped)
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(store); // copies still alive
            QVERIFY(copy.save(QStringLiteral("v")));
        }
        QVERIFY(store); // deferred, not immediate
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!store);

        QSettings given(m_dir.filePath(QStringLiteral("given.ini")), QSettings::IniFormat);
        QPointer<QSettings> guard(&given);
        { QSettingsLoader user(&given, QStringLiteral("k")); }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard);
    }

    void entryEquality_data()
    {
        QTest::addColumn<int>("typeA");
        QTest::addColumn<QString>("nameA");
        QTest::addColumn<int>("typeB");
        QTest::addColumn<QString>("nameB");
        QTest::addColumn<bool>("equal");
        QTest::newRow("same") << 2 << "Name" << 2 << "Name" << true;
        QTest::newRow("case only") << 1 << "Port" << 1 << "pORT" << true;
        QTest::newRow("non-ascii case") << 1 << "ÉTÉ" << 1 << "été" << true;
        QTest::newRow("other type") << 1 << "Port" << 0 << "Port" << false;
        QTest::newRow("other name") << 1 << "Port" << 1 << "Ports" << false;
        QTest::newRow("out of range type") << 42 << "x" << 42 << "X" << true;
    }
    void entryEquality()
    {
        QFETCH(int, typeA);
        QFETCH(QString, nameA);
        QFETCH(int, typeB);
        QFETCH(QString, nameB);
        QFETCH(bool, equal);
        QSettingsLoader l1(nullptr, QStringLiteral("k1")), l2(nullptr, QStringLiteral("k2"));
        QSettingsCategory c1(QStringLiteral("c"), QPixmap()), c2(QStringLiteral("c"), QPixmap());
        const QSettingsEntry a(QSettingsEntry::EntryType(typeA), &l1, &c1, nameA, false,
                               QStringLiteral("tip"), {{QStringLiteral("maximum"), 3}}, nullptr);
        const QSettingsEntry b(QSettingsEntry::EntryType(typeB), &l2, &c2, nameB, true,
                               QString(), {}, &c1);
        QCOMPARE(a == b, equal);
    }

    void entryCopiesShareReferencedObjects()
    {
        QSettingsLoader loader(nullptr, QStringLiteral("k"));
        QSettingsCategory page(QStringLiteral("Page"), QPixmap());
        QSettingsCategory group(QStringLiteral("Group"), QPixmap());
        QSettingsEntry entry(QSettingsEntry::Integer, &loader, &page, QStringLiteral("Count"), false,
                             QStringLiteral("tip"), {{QStringLiteral("minimum"), 1}}, &group);
        QSettingsEntry copy(entry);
        copy.setName(QStringLiteral("Other"));
        copy.setDataType(QSettingsEntry::Double);
        copy.setOptional(true);
        QCOMPARE(copy.loader(), &loader);
        QCOMPARE(copy.category(), &page);
        QCOMPARE(copy.subCategory(), &group);
        QCOMPARE(entry.name(), QStringLiteral("Count"));
        QCOMPARE(entry.dataType(), QSettingsEntry::Integer);
        QVERIFY(!entry.isOptional());

        QSettingsCategory moved = page;
        moved.setName(QStringLiteral("Renamed"));
        QCOMPARE(page.name(), QStringLiteral("Page"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSettingsModel)
#include "tst_settingsmodel.moc"
