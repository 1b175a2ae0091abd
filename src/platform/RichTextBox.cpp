#include "platform/RichTextBox.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QFont>
#include <QTextDocument>

namespace platform {

RichTextBox::RichTextBox() = default;
RichTextBox::~RichTextBox() = default;

void RichTextBox::setTextRTF(const QString& rtf) {
    m_source = rtf;
    m_holds = RtfReader::isRtf(rtf) ? Holds::Rtf : Holds::Plain;
}

void RichTextBox::setText(const QString& plain) {
    m_source = plain;
    m_holds = Holds::Plain;
}

QString RichTextBox::textRTF() const {
    switch (m_holds) {
    case Holds::Rtf:
        return m_source;
    case Holds::Plain:
        return RtfWriter().writePlain(m_source);
    case Holds::Document:
        break;
    }
    return RtfWriter().write(*m_document);
}

QString RichTextBox::text() const {
    switch (m_holds) {
    case Holds::Rtf:
        return RtfReader::toPlainText(m_source);
    case Holds::Plain:
        return RtfReader::normalizePlainText(m_source);
    case Holds::Document:
        break;
    }
    return RtfReader::plainText(*m_document);
}

QTextDocument* RichTextBox::document() {
    if (!m_document) {
        m_document = std::make_unique<QTextDocument>();
        m_document->setDefaultFont(QFont(RtfWriter::defaultFontFamily(), int(RtfWriter::kDefaultPointSize)));
        m_document->setUndoRedoEnabled(false);
    }
    if (m_holds != Holds::Document) {
        if (m_holds == Holds::Rtf)
            RtfReader::read(m_source, m_document.get());
        else
            RtfReader::readPlain(m_source, m_document.get());
        m_source.clear();
        m_holds = Holds::Document;
    }
    return m_document.get();
}

} // namespace platform
