// Timing of the message-text conversions on a 10 KB message, against plain string
// operations on the same text run in the same process.
#include "platform/RichTextBox.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <functional>

namespace {

// A long message as another workstation's rich-text box stores it.
QString sampleMessage() {
    QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
        "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\lang1036\\f0\\fs20 ");
    for (int line = 1; rtf.size() < 10 * 1024 - 200; ++line) {
        rtf += QStringLiteral("Ligne %1 : rappeler M. L\\'e9vesque au sujet du dossier \\b %2\\b0 , montant "
                              "\\'80 %3, \\'93tr\\'e8s urgent\\'94 \\cf1\\i selon Mme C\\'f4t\\'e9\\cf0\\i0  "
                              "\\u26085?\\u26412?.\\par\r\n")
                   .arg(line)
                   .arg(1000 + line)
                   .arg(line * 12);
    }
    return rtf + QStringLiteral("}\r\n");
}

double microseconds(const std::function<void()>& op) {
    for (int i = 0; i < 20; ++i) // warm-up
        op();
    QElapsedTimer t;
    t.start();
    int runs = 0;
    while (t.nsecsElapsed() < 500'000'000LL || runs < 100) {
        op();
        ++runs;
    }
    return t.nsecsElapsed() / 1000.0 / runs;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString rtf = sampleMessage();
    const QString plain = platform::RtfReader::toPlainText(rtf);
    QTextDocument doc;
    platform::RtfReader::read(rtf, &doc);
    std::printf("message: %lld characters of RTF, %lld of plain text, %d paragraphs\n",
                static_cast<long long>(rtf.size()), static_cast<long long>(plain.size()), doc.blockCount());

    volatile qsizetype sink = 0;
    const double copy = microseconds([&] { sink = QString(rtf.constData(), rtf.size()).size(); });
    const double split = microseconds([&] { sink = rtf.split(QStringLiteral("\\par")).size(); });
    std::printf("baseline  deep copy of the RTF             %8.2f us\n", copy);
    std::printf("baseline  QString::split on \\par           %8.2f us\n", split);

    struct Op {
        const char* name;
        std::function<void()> run;
    };
    const Op ops[] = {
        {"read RTF to plain text", [&] { sink = platform::RtfReader::toPlainText(rtf).size(); }},
        {"read RTF into a QTextDocument",
         [&] {
             QTextDocument d;
             platform::RtfReader::read(rtf, &d);
             sink = d.characterCount();
         }},
        {"write the document as RTF", [&] { sink = platform::RtfWriter().write(doc).size(); }},
        {"write the plain text as RTF", [&] { sink = platform::RtfWriter().writePlain(plain).size(); }},
        {"hidden box: set RTF, read text",
         [&] {
             platform::RichTextBox box;
             box.setTextRTF(rtf);
             sink = box.text().size();
         }},
    };
    for (const Op& op : ops) {
        const double us = microseconds(op.run);
        std::printf("%-36s %8.2f us  (%5.1f x copy, %5.2f x split)%s\n", op.name, us, us / copy, us / split,
                    us < 1000 ? "" : "  SLOWER THAN 1 ms");
    }
    return 0;
}
