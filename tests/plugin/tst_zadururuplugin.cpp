#include <zadururu/zadururuPlugin.h>
#include <tarnwickhost/coreplugin/icore.h>
#include <tarnwickhost/utils/qtassert.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QMainWindow>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The plugin as the host meets it: through Qt's plugin loader on the built file.
class tst_ZadUruruPlugin : public QObject
{
    Q_OBJECT

private slots:
    void metadata();
    void instanceLifecycle();
    void initialize_data();
    void initialize();
    void metaObject();
    void aboutBox();

private:
    QPluginLoader m_loader{QStringLiteral(ZADURURU_PLUGIN_FILE)};
};

void tst_ZadUruruPlugin::metadata()
{
    const QJsonObject meta = m_loader.metaData();
    QVERIFY2(!meta.isEmpty(), qPrintable(m_loader.errorString()));
    QCOMPARE(meta.value("IID").toString(), QStringLiteral("org.qt-project.Qt.TarnwickPlugin"));
    QCOMPARE(meta.value("className").toString(), QStringLiteral("ZadUruruPlugin"));
    // Qt records the major and minor version it was built against.
    QCOMPARE(meta.value("version").toInt(), QT_VERSION_CHECK(QT_VERSION_MAJOR, QT_VERSION_MINOR, 0));
    QCOMPARE(meta.value("debug").toBool(true), false);

    const QJsonObject data = meta.value("MetaData").toObject();
    QStringList keys = data.keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"Category", "Description", "Url", "Vendor"}));
    QCOMPARE(data.value("Category").toString(), QStringLiteral("Tarnwick"));
    QCOMPARE(data.value("Description").toString(), QStringLiteral("ZadUruru"));
    QVERIFY(data.value("Vendor").isString());
    QVERIFY(data.value("Url").isString());
    // Reading the metadata creates nothing.
    QVERIFY(!ZadUruruPlugin::instance());
}

void tst_ZadUruruPlugin::instanceLifecycle()
{
    QVERIFY(!ZadUruruPlugin::instance());
    QObject *first = m_loader.instance();
    QVERIFY2(first, qPrintable(m_loader.errorString()));
    QCOMPARE(first, ZadUruruPlugin::instance());
    QCOMPARE(m_loader.instance(), first);
    QVERIFY(qobject_cast<ExtensionSystem::IPlugin *>(first));

    delete first;
    QVERIFY(!ZadUruruPlugin::instance());
    // A destroyed plugin object is made anew by the next request.
    QObject *second = m_loader.instance();
    QVERIFY(second);
    QCOMPARE(second, ZadUruruPlugin::instance());
}

void tst_ZadUruruPlugin::initialize_data()
{
    QTest::addColumn<bool>("withCore");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expectedAsserts");

    const QStringList missingCore{
        QStringLiteral("\"core\" in file src/plugins/zadururu/zadururuPlugin.cpp, line 50")};
    QTest::newRow("core, no arguments") << true << QStringList() << QStringList();
    QTest::newRow("core, arguments") << true << QStringList{"-x", "y"} << QStringList();
    QTest::newRow("no core") << false << QStringList() << missingCore;
    QTest::newRow("no core, arguments") << false << QStringList{"--fail"} << missingCore;
}

void tst_ZadUruruPlugin::initialize()
{
    QFETCH(bool, withCore);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expectedAsserts);

    QScopedPointer<Core::ICore> core(withCore ? new Core::ICore : nullptr);
    QStringList asserts;
    const auto previous = Utils::setAssertHandler([&](const char *msg) { asserts << QString::fromUtf8(msg); });

    auto plugin = qobject_cast<ExtensionSystem::IPlugin *>(m_loader.instance());
    QVERIFY(plugin);
    QString error = QStringLiteral("untouched");
    QVERIFY(plugin->initialize(arguments, &error));
    QCOMPARE(error, QStringLiteral("untouched"));
    QVERIFY(plugin->initialize(arguments, nullptr));
    plugin->extensionsInitialized();
    Utils::setAssertHandler(previous);

    QStringList expected = expectedAsserts + expectedAsserts; // one per initialize call
    QCOMPARE(asserts, expected);
    // The host interface's own behaviour is kept.
    QCOMPARE(plugin->delayedInitialize(), false);
    QCOMPARE(plugin->aboutToShutdown(), ExtensionSystem::IPlugin::SynchronousShutdown);
    QCOMPARE(plugin->remoteCommand({}, {}), nullptr);
}

void tst_ZadUruruPlugin::metaObject()
{
    const QMetaObject &mo = ZadUruruPlugin::staticMetaObject;
    QCOMPARE(mo.className(), "ZadUruruPlugin");
    QCOMPARE(mo.propertyCount(), mo.propertyOffset());
    QStringList own;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        QCOMPARE(m.methodType(), QMetaMethod::Slot);
        QCOMPARE(m.access(), QMetaMethod::Private);
        own << QString::fromLatin1(m.methodSignature());
    }
    QCOMPARE(own, (QStringList{"about()", "objectAdded(QObject*)"}));
    QVERIFY(QMetaObject::invokeMethod(m_loader.instance(), "objectAdded", Q_ARG(QObject *, this)));
}

void tst_ZadUruruPlugin::aboutBox()
{
    QMainWindow window;
    Core::ICore core(&window);
    QObject *plugin = m_loader.instance();
    QVERIFY(plugin);

    // The box is inspected and closed from the event loop it runs; whatever
    // it shows, it is closed, so that a wrong box fails instead of hanging.
    bool shown = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget *parent = nullptr;
    QTimer::singleShot(0, [&] {
        auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box) {
            shown = true;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            parent = box->parentWidget();
        }
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QVERIFY(QMetaObject::invokeMethod(plugin, "about"));
    QVERIFY(shown);
    QCOMPARE(title, QStringLiteral("ZadUruruPlugin Hakkinda"));
    QCOMPARE(text, QStringLiteral("ZadUruruPlugin"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(parent, &window);
}

QTEST_MAIN(tst_ZadUruruPlugin)
#include "tst_zadururuplugin.moc"
