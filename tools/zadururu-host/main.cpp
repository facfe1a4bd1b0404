// zadururu-host: loads libzadururu as the host editor does and runs the
// editor's project jobs on a project folder.

#include "definitionsJob.h"
#include "libraryJob.h"
#include "pagesJob.h"

#include <zadururu/scene/projectDataTree.h>
#include <zadururu/services/eventLogger.h>
#include <zadururu/services/programSettings.h>

#include <tarnwickhost/coreplugin/icore.h>
#include <tarnwickhost/extensionsystem/iplugin.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPluginLoader>
#include <QTextStream>

#include <new>

#include <cstdio>
#include <memory>
#include <vector>

static QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

static QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Loads the plugin through Qt's plugin loader, prints what the host's plugin
// manager reads, and runs its start-up calls with @p arguments. Returns null
// on failure.
static ExtensionSystem::IPlugin *loadPlugin(QPluginLoader &loader, const QStringList &arguments)
{
    const QJsonObject meta = loader.metaData();
    if (meta.isEmpty()) {
        err() << loader.fileName() << ": no plugin metadata: " << loader.errorString() << '\n';
        return nullptr;
    }
    out() << "Plugin " << loader.fileName() << '\n'
          << "  IID        " << meta.value("IID").toString() << '\n'
          << "  className  " << meta.value("className").toString() << '\n'
          << "  debug      " << (meta.value("debug").toBool() ? "true" : "false") << '\n'
          << "  MetaData   "
          << QJsonDocument(meta.value("MetaData").toObject()).toJson(QJsonDocument::Compact) << '\n';

    auto plugin = qobject_cast<ExtensionSystem::IPlugin *>(loader.instance());
    if (!plugin) {
        err() << loader.fileName() << ": cannot create the plugin object: " << loader.errorString() << '\n';
        return nullptr;
    }
    QString error;
    if (!plugin->initialize(arguments, &error)) {
        err() << loader.fileName() << ": initialize failed: " << error << '\n';
        return nullptr;
    }
    plugin->extensionsInitialized();
    out() << "  initialized " << plugin->metaObject()->className() << "\n\n";
    return plugin;
}

static int runHost(int argc, char *argv[])
{
    // Without a display the host still runs: fonts and widgets work offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName("zadururu-host");

    QCommandLineParser parser;
    parser.setApplicationDescription("Loads libzadururu as the host editor does and opens a project.");
    parser.addHelpOption();
    QCommandLineOption pluginOption("plugin", "The plugin file to load.", "file", ZADURURU_PLUGIN_FILE);
    parser.addOption(pluginOption);
    QCommandLineOption logOption("log", "Switch the event log on (~/korvelalog.txt) and log each page loaded.");
    parser.addOption(logOption);
    QCommandLineOption hostPluginOption(
        "host-plugin",
        "A plugin of the host's that uses the library, loaded after it (repeatable); its initialize() gets "
        "the arguments -project PROJECT_DIR, and aboutToShutdown() is called before the host ends.",
        "file");
    parser.addOption(hostPluginOption);
    parser.addPositionalArgument("project", "The project folder to open.");
    parser.addPositionalArgument("output", "The folder to save the project's files to.");
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        err() << "usage: zadururu-host [--plugin FILE] [--host-plugin FILE ...] PROJECT_DIR OUTPUT_DIR\n";
        return 2;
    }

    Core::ICore core;
    QPluginLoader loader(parser.value(pluginOption));
    if (!loadPlugin(loader, QCoreApplication::arguments()))
        return 2;

    const QDir project(args.at(0));
    if (!project.exists()) {
        err() << project.path() << ": no such project folder\n";
        return 2;
    }
    if (!QDir().mkpath(args.at(1))) {
        err() << args.at(1) << ": cannot create the output folder\n";
        return 2;
    }
    const QDir output(args.at(1));

    // The host's other plugins, each in the order given, after the library.
    std::vector<std::unique_ptr<QPluginLoader>> hostPlugins;
    for (const QString &file : parser.values(hostPluginOption)) {
        hostPlugins.push_back(std::make_unique<QPluginLoader>(file));
        if (!loadPlugin(*hostPlugins.back(), {QStringLiteral("-project"), project.path()}))
            return 2;
    }

    // The host's settings live in korvela.ini in the working directory.
    EventLogger logger; // takes the log switch from the settings
    ProgramSettings *settings = ProgramSettings::instance();
    if (parser.isSet(logOption))
        settings->setWriteLogFile(true);
    out() << "Settings: scene " << settings->getSceneWidth() << "x" << settings->getSceneHeight()
          << ", library " << settings->getLibDir() << ", event log "
          << (settings->isWriteLogFile() ? "on" : "off") << "\n\n";

    ProjectDataTree tree;
    bool ok = loadPages(project, tree, out(), err());
    out() << '\n';
    ok = runDefinitionsJob(project, output, boundTagIdsByPage(tree), out(), err()) && ok;
    out() << '\n';
    ok = runLibraryJob(project, usedComponentUids(tree), out(), err()) && ok;
    out() << '\n';
    ok = savePages(tree, output, out(), err()) && ok;
    // selfDestruct() would free only the component instances of each page.
    for (ScaFileData *page : qAsConst(tree.files))
        destroyScaFileData(page);
    tree.files.clear();

    for (auto it = hostPlugins.rbegin(); it != hostPlugins.rend(); ++it) {
        qobject_cast<ExtensionSystem::IPlugin *>((*it)->instance())->aboutToShutdown();
        (*it)->unload();
    }
    return ok ? 0 : 1;
}

int main(int argc, char *argv[])
{
    // What the library's readers do not refuse themselves ends the run with a message, not an abort.
    try {
        return runHost(argc, argv);
    } catch (const std::bad_alloc &) {
        fflush(stdout);
        fputs("zadururu-host: not enough memory\n", stderr);
        return 2;
    }
}
