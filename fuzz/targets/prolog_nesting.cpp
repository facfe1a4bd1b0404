// Elements nested past the limit behind a prolog the fuzzer writes: comments,
// processing instructions, document types with internal subsets, quoted
// literals, entities and parameter entities. Whatever the prolog holds, the
// nesting stays past the limit (a prolog that swallows it leaves a document
// that is not well-formed), so every reader must refuse the document, and
// none may recurse far enough to overflow its stack. Behind the same prolog,
// a document within the limit that refers to an entity the prolog may
// declare is taken or refused by every reader alike.
#include "fuzzSupport.h"

#include <zadururu/common/wellFormed.h>
#include <zadururu/common/xmlLimits.h>
#include <zadururu/definitions/definitionsLoad_p.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/libraryLoad_p.h>
#include <zadururu/scene/sceneLoad_p.h>
#include <zadururu/scene/scaFileProcessor.h>

namespace {

// A root that every reader takes, holding a tag (by which the definitions
// reader's verdict shows), @p inner, and elements nested @p depth levels
// below the root.
QByteArray body(int depth, const QByteArray &inner = QByteArray())
{
    return "<r><TagList><Tag><Id>1</Id></Tag></TagList>" + inner + QByteArray("<a>").repeated(depth)
        + QByteArray("</a>").repeated(depth) + "</r>";
}

// Each reader's verdict on @p document, one letter each: 't' takes, 'r' refuses.
QByteArray verdicts(const QByteArray &document)
{
    QByteArray said;
    const auto say = [&said](bool taken) { said += taken ? 't' : 'r'; };
    ScaFileData *page = ScaFileProcessor::loadFileData(document, QStringLiteral("fuzz.xml"));
    say(page);
    destroyScaFileData(page);
    page = ZadUruru::readSceneThroughDom(document, QStringLiteral("fuzz.xml"));
    say(page);
    destroyScaFileData(page);
    PagePropertiesData_t *properties = ScaFileProcessor::loadSceneData(document);
    say(properties);
    delete properties;
    properties = ZadUruru::readScenePropertiesThroughDom(document);
    say(properties);
    delete properties;
    FileDataTree *tree = TgchFileProcessor::loadFileData(document);
    say(tree->tags.size() == 1);
    destroyFileDataTree(tree);
    tree = ZadUruru::readDefinitionsThroughDom(document);
    say(tree->tags.size() == 1);
    destroyFileDataTree(tree);
    QList<ScadaLibObject *> objects;
    say(ZadUruru::readLibrary(document, &objects));
    say(ZadUruru::readLibraryThroughDom(document, &objects));
    qDeleteAll(objects);
    say(ZadUruru::checkWellFormed(document).wellFormed);
    return said;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray prolog = Fuzz::bytes(data, size);
    // The root is the first level: these lie one and far past the limit.
    for (const int depth : {ZadUruru::maxXmlNestingDepth, 20000}) {
        const QByteArray said = verdicts(prolog + body(depth));
        if (said.contains('t'))
            Fuzz::fail("a reader takes a document nested past the limit (scene, scene tree, page properties, "
                       "page properties tree, definitions, definitions tree, library, library tree, check)",
                       said);
    }
    const QByteArray said = verdicts(prolog + body(ZadUruru::maxXmlNestingDepth - 2, "<x v='&e;'>&e;&f;</x>"));
    if (said.contains('t') && said.contains('r'))
        Fuzz::fail("the readers disagree on a document within the limit (scene, scene tree, page properties, "
                   "page properties tree, definitions, definitions tree, library, library tree, check)",
                   said);
    return 0;
}
