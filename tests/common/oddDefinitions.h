#pragma once

// A definitions tree whose every stored field takes odd values: texts with
// separators, quotes, line breaks, the end of a CDATA section, letters of
// other scripts and characters XML cannot hold; whole numbers at the limits
// of their types; reals that need every digit, infinities and not-a-number.
// Names and ids are unique and every reference resolves, so that an import
// takes the tree whole. It begins with a "None" channel, as a loaded tree does.

#include <zadururu/definitions/fileDataTree.h>

#include <QStringList>

#include <cmath>
#include <limits>

inline QStringList oddTexts()
{
    return {QStringLiteral("semi;colon, and comma"),
            QStringLiteral("quote \" and \"\"two\"\""),
            QStringLiteral("line\nbreak"),
            QStringLiteral("CR LF\r\nend\r"),
            QStringLiteral("cdata ]]> end ]]"),
            QString::fromUtf8("Grüße aus Köln – ½ €"),
            QString::fromUtf8("日本語のテキスト 😀"),
            QStringLiteral("  leading and trailing  "),
            QString(),
            QStringLiteral(" "),
            QStringLiteral("tab\tin it"),
            QStringLiteral("=1+2"),
            QStringLiteral("<markup> & 'entities' &amp;"),
            QStringLiteral("control") + QChar(1) + QChar(0x1F) + QStringLiteral(" chars"),
            QStringLiteral("not a char ") + QChar(0xFFFE) + QChar(0xFFFF),
            QStringLiteral("lone ") + QChar(0xD800) + QStringLiteral(" surrogate ") + QChar(0xDC00),
            QStringLiteral("{1,2}"),
            QStringLiteral("nan"),
            QStringLiteral("[\"json\": {x}]\\"),
            QString::fromUtf8("\xEF\xBB\xBF" "bom inside")};
}

inline FileDataTree *oddDefinitions()
{
    using I = std::numeric_limits<int>;
    using U = std::numeric_limits<unsigned>;
    using L = std::numeric_limits<qint64>;
    using D = std::numeric_limits<double>;
    using F = std::numeric_limits<float>;
    const QStringList texts = oddTexts();
    const int n = texts.size();
    const int ints[] = {I::min(), I::max(), 0, -1, 1, 1000};
    const unsigned uints[] = {0, U::max(), 1, 115200};
    const qint64 longs[] = {L::min(), L::max(), 0, -1, 1LL << 53, (1LL << 53) + 1};
    const int bytes[] = {-128, 127, 0, -1, 1};
    const int ubytes[] = {0, 255, 2, 44};
    const double reals[] = {0.1, 1.0 / 3, 5e-324, D::max(), -D::max(), -0.0, D::infinity(), -D::infinity(),
                            D::quiet_NaN(), 123456789.12345679, 1e-7, 2.5, 1e21};
    const float singles[] = {0.1f, F::max(), -F::max(), F::min(), F::denorm_min(), F::infinity(), -F::infinity(),
                             F::quiet_NaN(), 16777216.0f, 1.0f / 3, 0.0f, -2.5f};
    const auto pick = [](const auto &values, int i) { return values[size_t(i) % (sizeof(values) / sizeof(values[0]))]; };
    const auto text = [&](int i) { return texts.at(i % n); };

    auto *tree = new FileDataTree;
    auto *none = new pKanalDef_t;
    none->Name = QStringLiteral("None");
    tree->channels.append(none);
    for (int i = 0; i < n; ++i) {
        auto *c = new pKanalDef_t;
        c->Name = text(i) + QLatin1Char('#') + QString::number(i);
        c->Id = i < 2 ? pick(ints, i) : i * 7;
        c->MediaType = pick(ints, i);
        c->SocketType = pick(ints, i + 1);
        c->ProtokolType = pick(ints, i + 2);
        c->ServerIP = text(i + 1);
        c->ServerPORT = pick(uints, i);
        c->ListenPORT = pick(uints, i + 1);
        c->FilterIP = text(i + 2);
        c->Comport = pick(uints, i + 2);
        c->Baudrate = pick(uints, i + 3);
        c->Databit = pick(uints, i + 1);
        c->Stopbit = pick(uints, i);
        c->Paritybit = pick(ints, i + 3);
        c->ResponseTimeout = pick(uints, i + 2);
        c->ConnectionTimeout = pick(uints, i + 3);
        c->FrameTimeout = pick(uints, i);
        c->GroupID = pick(ints, i + 4);
        c->Station = text(i + 3);
        c->Enabled = i % 2;
        c->LogicProPath = text(i + 4);
        c->Description = text(i + 5);
        tree->channels.append(c);
    }
    for (int i = 0; i < 2 * n; ++i) {
        auto *t = new pEtiketDef_t;
        t->Name = text(i) + QLatin1Char('/') + QString::number(i);
        t->Id = i < 2 ? pick(ints, i) : i * 3;
        t->PollFrequency = pick(ints, i + 1);
        // Every third tag names no channel; the others name one by both its name and its Id.
        const pKanalDef_t *channel = i % 3 ? tree->channels.at(1 + i % n) : nullptr;
        t->KanalName = channel ? channel->Name : QString();
        t->Kanal_Id = channel ? channel->Id : -1;
        t->DeviceAddress = text(i + 1);
        t->VariableAddress = text(i + 2);
        t->VariableSize = pick(ints, i + 2);
        t->VariableType = pick(ints, i + 3);
        t->Macro = text(i + 3);
        t->IsLogging = quint8(pick(ubytes, i));
        t->PriLevel = quint8(pick(ubytes, i + 1));
        t->TagType = qint8(pick(bytes, i));
        t->SchedulerIndex = qint8(pick(bytes, i + 1));
        t->LoggingFreq = pick(reals, i);
        t->LoggingMethod = pick(ints, i + 4);
        t->ReadRight1 = pick(longs, i);
        t->ReadRight2 = pick(longs, i + 1);
        t->WriteRight1 = pick(longs, i + 2);
        t->WriteRight2 = pick(longs, i + 3);
        t->Keywords = text(i + 4);
        t->Enabled = i % 2 == 0;
        t->Description = text(i + 5);
        t->UnitName = text(i + 6);
        t->Protocolobjecttype = qint8(pick(bytes, i + 2));
        tree->tags.append(t);
    }
    for (int i = 0; i < n; ++i) {
        auto *a = new pAlarmItem_t;
        a->Id = i < 2 ? pick(ints, i) : i * 5;
        a->alarm_name = text(i) + QLatin1Char('!') + QString::number(i);
        a->alarm_desc = text(i + 1);
        a->alarm_class = text(i + 2);
        a->enabled = qint8(pick(bytes, i));
        a->ackrequired = qint8(pick(bytes, i + 1));
        a->islogging = qint8(pick(bytes, i + 2));
        a->tagID = i % 4 ? tree->tags.at(i)->Id : -1;
        a->alarm_type = qint8(pick(bytes, i + 3));
        a->alarm_level = qint8(pick(bytes, i + 4));
        a->comp_type = qint8(pick(bytes, i));
        a->limitVal = double(pick(singles, i));
        a->checkVal1 = double(pick(singles, i + 1));
        a->checkVal2 = double(pick(singles, i + 2));
        a->limit_tag_id = i % 3 ? tree->tags.at(i + 1)->Id : -1;
        a->limit_tag2_id = i % 2 ? tree->tags.at(2 * n - 1 - i)->Id : -1;
        a->readRight1 = pick(longs, i + 4);
        a->readRight2 = pick(longs, i + 5);
        if (i % 3 == 1)
            a->subscribers = {I::min(), I::max(), 0, -1};
        else if (i % 3 == 2)
            a->subscribers = {i};
        a->currentState = pick(ints, i + 5);
        tree->alarms.append(a);
    }
    return tree;
}
