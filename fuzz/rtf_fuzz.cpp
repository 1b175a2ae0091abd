// libFuzzer target for the reader of stored message texts. Each input is read as
// plain text and into a document; both readings must agree, and what the writer
// makes of the document must read back to the same text.
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "rtf_fuzz: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Documents take their default font from the application: a headless one will do.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Stored texts arrive as Unicode from the database; Latin-1 reaches every 8-bit
    // value, UTF-8 reaches characters beyond it. The first byte picks which.
    if (size == 0) return 0;
    const char* bytes = reinterpret_cast<const char*>(data) + 1;
    const qsizetype n = qsizetype(size - 1);
    const QString text = (data[0] & 1) ? QString::fromUtf8(bytes, n) : QString::fromLatin1(bytes, n);

    const QString plain = platform::RtfReader::toPlainText(text);
    QTextDocument doc;
    platform::RtfReader::read(text, &doc);
    check(platform::RtfReader::plainText(doc) == plain, "document and plain readings differ");

    const QString rtf = platform::RtfWriter().write(doc);
    check(platform::RtfReader::toPlainText(rtf) == plain, "written document reads back differently");
    check(platform::RtfReader::toPlainText(platform::RtfWriter().writePlain(plain)) == plain,
          "written plain text reads back differently");
    return 0;
}
