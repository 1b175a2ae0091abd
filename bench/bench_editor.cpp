// Time the in-place message editor takes to open (load the stored RTF and lay the
// text out in a shown editor) on long texts without blanks, against the time the
// rich-text reader alone takes for the same text in the same process.
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Sizes in kilobytes; "bench_editor 16384" tries the largest text the column holds.
    QList<int> sizes{64, 256, 1024};
    for (int i = 1; i < argc; ++i)
        sizes = {QString::fromLatin1(argv[i]).toInt()};

    std::printf("%10s %12s %12s %12s %8s\n", "text", "reader (s)", "loaded (s)", "shown (s)", "ratio");
    for (const int kb : sizes) {
        const QString word(kb * 1024, QLatin1Char('x'));
        const QString rtf = platform::RtfWriter().writePlain(word);

        QElapsedTimer t;
        t.start();
        QTextDocument doc;
        platform::RtfReader::read(rtf, &doc);
        const double reader = seconds(t);

        platform::RtfEdit editor;
        editor.resize(900, 73);
        editor.show();
        t.restart();
        editor.setTextRTF(rtf);
        const double load = seconds(t);
        QApplication::processEvents(); // the layout and first paint, as when the editor appears
        editor.repaint();
        const double open = seconds(t);
        std::printf("%7d KB %12.3f %12.3f %12.3f %8.1f\n", kb, reader, load, open, open / qMax(reader, 1e-6));
    }
    return 0;
}
