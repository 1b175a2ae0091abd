#pragma once

// How GoogleTest prints Qt values in a failure: as text, whole. Without these, a QString is
// printed as the bytes of its first 32 characters, so two different texts can read the same.
// GoogleTest finds PrintTo by argument-dependent lookup, in the namespace of the type (the
// global one for Qt's), so this header must be seen before any comparison is compiled: the
// test build includes it ahead of every test source (see tests/CMakeLists.txt).

#include <QByteArray>
#include <QChar>
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <ostream>

namespace qtprinters {

// The text between double quotes, in UTF-8; quotes, backslashes and control characters
// escaped so that line breaks and trailing spaces can be seen.
inline void texte(const QString& s, std::ostream* os) {
    *os << '"';
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        // A character beyond the first plane (an emoji) is two code units: printed together.
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            *os << s.mid(i, 2).toUtf8().constData();
            ++i;
            continue;
        }
        switch (c.unicode()) {
        case u'"':
            *os << "\\\"";
            break;
        case u'\\':
            *os << "\\\\";
            break;
        case u'\r':
            *os << "\\r";
            break;
        case u'\n':
            *os << "\\n";
            break;
        case u'\t':
            *os << "\\t";
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
                static const char hex[] = "0123456789ABCDEF";
                *os << "\\x" << hex[c.unicode() >> 4] << hex[c.unicode() & 0xF];
            } else if (c.isSurrogate()) { // half of a pair, alone: UTF-8 has no bytes for it
                *os << "\\u" << QString::number(c.unicode(), 16).toUpper().toStdString();
            } else {
                *os << QString(c).toUtf8().constData();
            }
        }
    }
    *os << '"';
}

} // namespace qtprinters

inline void PrintTo(const QString& s, std::ostream* os) {
    qtprinters::texte(s, os);
}
inline void PrintTo(QStringView s, std::ostream* os) {
    qtprinters::texte(s.toString(), os);
}
inline void PrintTo(QLatin1String s, std::ostream* os) {
    qtprinters::texte(QString(s), os);
}
inline void PrintTo(const QChar& c, std::ostream* os) {
    *os << '\'' << QString(c).toUtf8().constData() << "' (U+"
        << QString::number(c.unicode(), 16).toUpper().toStdString() << ')';
}

// Bytes as a C string: printable ASCII as it is, any other byte as \xHH.
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    static const char hex[] = "0123456789ABCDEF";
    *os << "QByteArray(\"";
    for (const char ch : b) {
        const auto u = static_cast<unsigned char>(ch);
        if (u == '"' || u == '\\')
            *os << '\\' << ch;
        else if (u >= 0x20 && u < 0x7F)
            *os << ch;
        else
            *os << "\\x" << hex[u >> 4] << hex[u & 0xF];
    }
    *os << "\", " << b.size() << " bytes)";
}

inline void PrintTo(const QDate& d, std::ostream* os) {
    *os << (d.isValid() ? d.toString(Qt::ISODate).toStdString() : std::string("QDate(invalid)"));
}
inline void PrintTo(const QTime& t, std::ostream* os) {
    *os << (t.isValid() ? t.toString(Qt::ISODateWithMs).toStdString() : std::string("QTime(invalid)"));
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << (d.isValid() ? d.toString(Qt::ISODateWithMs).toStdString() : std::string("QDateTime(invalid)"));
}

// Colours as the program stores them: #rrggbb, with the alpha when not opaque.
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << (c.isValid() ? c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb).toStdString()
                        : std::string("QColor(invalid)"));
}

inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "QPoint(" << p.x() << ", " << p.y() << ')';
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << "QSize(" << s.width() << " x " << s.height() << ')';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}
inline void PrintTo(const QImage& i, std::ostream* os) {
    *os << "QImage(" << i.width() << " x " << i.height() << ", format " << int(i.format()) << ')';
}

// Every element, however many: a long list cut short could hide the one that differs.
template <typename T> void PrintTo(const QList<T>& l, std::ostream* os);

template <typename K, typename V> void PrintTo(const QMap<K, V>& m, std::ostream* os);

inline void PrintTo(const QVariant& v, std::ostream* os);

namespace qtprinters {

// One element of a list: through the printers above for Qt values, GoogleTest's otherwise.
template <typename T> void element(const T& v, std::ostream* os);

} // namespace qtprinters

template <typename T> void PrintTo(const QList<T>& l, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) {
        *os << (i ? ", " : " ");
        qtprinters::element(l[i], os);
    }
    *os << (l.isEmpty() ? "}" : " }");
}

template <typename K, typename V> void PrintTo(const QMap<K, V>& m, std::ostream* os) {
    *os << '{';
    bool premier = true;
    for (auto it = m.cbegin(); it != m.cend(); ++it) {
        *os << (premier ? " " : ", ");
        premier = false;
        qtprinters::element(it.key(), os);
        *os << ": ";
        qtprinters::element(it.value(), os);
    }
    *os << (premier ? "}" : " }");
}

// The type and the value as text; lists and maps element by element.
inline void PrintTo(const QVariant& v, std::ostream* os) {
    if (!v.isValid()) {
        *os << "QVariant(invalid)";
        return;
    }
    *os << "QVariant(" << v.typeName() << ", ";
    switch (v.typeId()) {
    case QMetaType::QString:
        qtprinters::texte(v.toString(), os);
        break;
    case QMetaType::QStringList:
        PrintTo(v.toStringList(), os);
        break;
    case QMetaType::QByteArray:
        PrintTo(v.toByteArray(), os);
        break;
    case QMetaType::QVariantList:
        PrintTo(v.toList(), os);
        break;
    case QMetaType::QVariantMap:
        PrintTo(v.toMap(), os);
        break;
    case QMetaType::QDate:
        PrintTo(v.toDate(), os);
        break;
    case QMetaType::QTime:
        PrintTo(v.toTime(), os);
        break;
    case QMetaType::QDateTime:
        PrintTo(v.toDateTime(), os);
        break;
    default:
        if (v.isNull())
            *os << "null";
        else if (v.canConvert<QString>())
            *os << v.toString().toStdString();
        else
            *os << "?";
    }
    *os << ')';
}

#include <gtest/gtest-printers.h>

namespace qtprinters {

template <typename T> void element(const T& v, std::ostream* os) {
    ::testing::internal::UniversalPrint(v, os);
}

} // namespace qtprinters
