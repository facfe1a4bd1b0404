#include "../common/childProcess.h"

#include <zadururu/zadururuPlugin.h>
#include <tarnwickhost/coreplugin/icore.h>
#include <tarnwickhost/utils/qtassert.h>

#include <QJsonObject>
#include <QMainWindow>
#include <QMetaMethod>
#include <QPluginLoader>

// The plugin as the host meets it: through Qt's plugin loader on the built file.
class tst_ZadUruruPlugin : public QObject
{
    Q_OBJECT

    QPluginLoader m_loader{QStringLiteral(ZADURURU_PLUGIN_FILE)};

private slots:
    void metadataLifecycleAndSlots()
    {
        const QJsonObject meta = m_loader.metaData();
        QCOMPARE(meta.value("IID").toString(), QStringLiteral("org.qt-project.Qt.TarnwickPlugin"));
        QCOMPARE(meta.value("className").toString(), QStringLiteral("ZadUruruPlugin"));
        const QJsonObject data = meta.value("MetaData").toObject();
        QCOMPARE(data.keys(), QStringList({"Category", "Description", "Url", "Vendor"}));
        QCOMPARE(data.value("Category").toString() + data.value("Description").toString(), QStringLiteral("TarnwickZadUruru"));
        QVERIFY(data.value("Vendor").isString() && data.value("Url").isString());

        QVERIFY(!ZadUruruPlugin::instance()); // reading the metadata creates nothing
        QObject *first = m_loader.instance();
        QVERIFY2(qobject_cast<ExtensionSystem::IPlugin *>(first), qPrintable(m_loader.errorString()));
        QCOMPARE(ZadUruruPlugin::instance(), first);
        QCOMPARE(m_loader.instance(), first);
        delete first;
        QVERIFY(!ZadUruruPlugin::instance());
        QObject *second = m_loader.instance(); // made anew
        QVERIFY(second);
        QCOMPARE(ZadUruruPlugin::instance(), second);

        const QMetaObject &mo = ZadUruruPlugin::staticMetaObject;
        QCOMPARE(mo.propertyCount(), mo.propertyOffset());
        QStringList own; // private slots only
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
            own << QString::number(mo.method(i).methodType() * 10 + mo.method(i).access()) + mo.method(i).methodSignature();
        QCOMPARE(own, QStringList({"20about()", "20objectAdded(QObject*)"}));
    }

    void initialize()
    {
        for (bool withCore : {true, false}) {
            QScopedPointer<Core::ICore> core(withCore ? new Core::ICore : nullptr);
            QStringList asserts;
            const auto previous = Utils::setAssertHandler([&](const char *msg) { asserts << QString::fromUtf8(msg); });
            auto plugin = qobject_cast<ExtensionSystem::IPlugin *>(m_loader.instance());
            QVERIFY(plugin);
            QString error = QStringLiteral("untouched");
            QVERIFY(plugin->initialize({"--fail", "x"}, &error)); // arguments are not looked at
            QVERIFY(plugin->initialize({}, nullptr));
            plugin->extensionsInitialized();
            Utils::setAssertHandler(previous);
            QCOMPARE(error, QStringLiteral("untouched"));
            const QString missingCore = "\"core\" in file src/plugins/zadururu/zadururuPlugin.cpp, line 50";
            QCOMPARE(asserts, withCore ? QStringList() : QStringList({missingCore, missingCore}));
        }
    }

    void aboutBox()
    {
        QMainWindow window;
        window.setObjectName("main");
        Core::ICore core(&window);
        QObject *plugin = m_loader.instance();
        QVERIFY(QMetaObject::invokeMethod(plugin, "objectAdded", Q_ARG(QObject *, this)));
        QCOMPARE(shownBoxes([plugin] { QMetaObject::invokeMethod(plugin, "about"); }),
                 QStringList("ZadUruruPlugin Hakkinda | ZadUruruPlugin |  | 1 | 1024 | main"));
    }
};

QTEST_MAIN(tst_ZadUruruPlugin)
#include "tst_zadururuplugin.moc"
