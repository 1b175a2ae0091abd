#include "followup/Rapports.h"

#include "followup/ctrlProgresTemps.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>

namespace followup {

namespace {

// " IN (1,2,3)"
QString dansListe(const QList<qint32>& ids) {
    QString l;
    l.reserve(ids.size() * 7 + 6);
    for (qint32 id : ids) {
        l += l.isEmpty() ? QStringLiteral(" IN (") : QStringLiteral(",");
        l += QString::number(id);
    }
    return l + QLatin1Char(')');
}

} // namespace

QString sqlRapportMessages(const QList<qint32>& ids, int noEmploye, bool booRecu) {
    QString sql = QStringLiteral(
        "SELECT tblmessage.IdMessage, tblmessage.DateSaisie, tblemploye.Nom AS EmplDe,"
        " tblemploye2.Nom AS EmplA, tblmessage.HeureSaisie, tbletatmessage.Description AS Etat,"
        " tblpriorite.Description AS Priorite,"
        " tblmessage.IdClientMsg, tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie,"
        " tblclientmsg.Telephone, tblclientmsg.TelBureau, tblclientmsg.Cellulaire,"
        " tblclientmsg.AutreTel, tblclientmsg.Fax, tblmessage.Message FROM tblmessage"
        " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)"
        " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
        " INNER JOIN tblemploye ON (tblmessageemploye.NoEmplDe = tblemploye.NoEmploye)"
        " INNER JOIN tblemploye AS tblemploye2 ON (tblmessageemploye.NoEmplA = tblemploye2.NoEmploye)"
        " INNER JOIN tbletatmessage ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)"
        " LEFT JOIN tblpriorite ON (tblmessage.IdPriorite = tblpriorite.IdPriorite)"
        " WHERE tblmessage.IdMessage");
    sql += dansListe(ids);
    if (noEmploye == 0)
        sql += QStringLiteral(" AND NoEmplA > -1");
    else
        sql += (booRecu ? QStringLiteral(" AND NoEmplA = ") : QStringLiteral(" AND NoEmplDe = ")) +
               QString::number(noEmploye);
    return sql + QStringLiteral(" GROUP BY tblmessage.IdMessage");
}

QString sqlRapportTypes(const QList<qint32>& ids) {
    return QStringLiteral("SELECT tblmessagetype.IdMessage, tbltypemessage.Description FROM tbltypemessage"
                          " INNER JOIN tblmessagetype ON (tbltypemessage.IdType = tblmessagetype.IdType)"
                          " WHERE tblmessagetype.IdMessage") +
           dansListe(ids) + QStringLiteral(" ORDER BY tblmessagetype.IdMessage, tblmessagetype.IdType");
}

QString sqlRapportDestinataires(const QList<qint32>& ids) {
    return QStringLiteral(
               "SELECT tblmessageemploye.IdMessage, tblemploye.Nom FROM tblemploye"
               " INNER JOIN tblmessageemploye ON (tblmessageemploye.NoEmplA = tblemploye.NoEmploye)"
               " WHERE tblmessageemploye.IdMessage") +
           dansListe(ids) + QStringLiteral(" ORDER BY tblmessageemploye.IdMessage, tblemploye.Nom");
}

QString sqlRapportDossiers(const QList<qint32>& ids) {
    return QStringLiteral("SELECT tblmessagedossier.IdMessage, tblmessagedossier.NoDossier AS NoDos"
                          " FROM tblmessagedossier WHERE tblmessagedossier.IdMessage") +
           dansListe(ids) + QStringLiteral(" ORDER BY tblmessagedossier.IdMessageDossier");
}

QString lettrePriorite(const QString& priorite) {
    return priorite.left(1).toUpper();
}

QString lettreEtat(const QString& etat) {
    const QString l = etat.left(1).toUpper();
    return l == QLatin1String("A") ? etat.mid(2, 1).toUpper() : l;
}

QString texteClient(const QString& nom, const QString& prenom, const QString& nomCie) {
    QString t = nom;
    if (!prenom.isEmpty()) t += QStringLiteral(", ") + prenom;
    if (!nomCie.isEmpty()) t += QStringLiteral(", ") + nomCie;
    return t;
}

QStringList lignesTelephone(const QString& telephone, const QString& bureau, const QString& cellulaire,
                            const QString& autre, const QString& fax) {
    QStringList l;
    const std::pair<const char16_t*, const QString*> parts[] = {{u"Tél.: ", &telephone},
                                                                {u"Bureau: ", &bureau},
                                                                {u"Cell.: ", &cellulaire},
                                                                {u"Autre: ", &autre},
                                                                {u"Fax: ", &fax}};
    for (const auto& [label, valeur] : parts)
        if (!valeur->isEmpty()) l << QString::fromUtf16(label) + *valeur;
    return l;
}

QString echapperHTML(const QString& text) {
    // Most texts hold none of the three: they go as they are, unchanged and uncopied.
    const auto special = [](QChar c) {
        return c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>');
    };
    if (std::none_of(text.cbegin(), text.cend(), special)) return text;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

QByteArray octetsHTML(const QString& line) {
    // Characters a page cannot hold: the C0 controls but tab, line feed and carriage return
    // (a paste can bring them), U+FFFE, U+FFFF and half of a surrogate pair. Each becomes
    // U+FFFD, the sign of a character lost, written as every character outside the code
    // page is, as a reference.
    const auto perdu = [](char32_t u) {
        return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || (u >= 0xD800 && u <= 0xDFFF) ||
               u == 0xFFFE || u == 0xFFFF;
    };
    // Most lines are Latin-1 without controls: converted whole.
    const auto autre = [&](QChar c) {
        const char16_t u = c.unicode();
        return perdu(u) || (u >= 0x80 && (u < 0xA0 || u > 0xFF));
    };
    if (std::none_of(line.cbegin(), line.cend(), autre)) return line.toLatin1();
    QByteArray out;
    out.reserve(line.size() + 2);
    for (auto it = line.cbegin(); it != line.cend(); ++it) {
        char32_t u = it->unicode();
        if (it->isHighSurrogate() && it + 1 != line.cend() && (it + 1)->isLowSurrogate()) {
            u = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        }
        if (perdu(u)) u = QChar::ReplacementCharacter;
        // C1 controls would read as Windows-1252 letters in some viewers: a reference too.
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            out += char(u);
        else
            out += "&#" + QByteArray::number(uint(u)) + ';';
    }
    return out;
}

int couperTexte(QString& texte) {
    const QString crlf = QStringLiteral("\r\n");
    bool coupe = false;
    qint32 debut = 0;  // start of the line being cut, from 0
    qint32 seuil = 80; // the cut falls at or after this character of the line, from 1
    while (debut <= texte.size()) {
        qint32 fin = qint32(texte.indexOf(crlf, debut));
        if (fin < 0) fin = qint32(texte.size());
        const qint32 p =
            fin - debut >= seuil ? qint32(texte.indexOf(QLatin1Char(' '), debut + seuil - 1)) : -1;
        if (p >= 0 && p < fin) {
            qint32 q = p;
            while (q < texte.size() && texte[q] == QLatin1Char(' '))
                ++q;
            texte.replace(p, q - p, crlf);
            coupe = true;
            debut = p + 2;
        } else {
            if (fin >= texte.size()) break;
            debut = fin + 2;
        }
        seuil = 81;
    }
    const int lignes = int(texte.count(crlf)) + 1;
    return (!coupe && lignes == 1) ? 2 : lignes;
}

QList<MorceauTexte> morceauxTexte(const QString& texteCoupe, int lignes, qsizetype taille) {
    QString texte = texteCoupe;
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (texte.size() <= taille) return {{texte, lignes}};
    QList<MorceauTexte> morceaux;
    MorceauTexte courant{QString(), 0};
    auto fermer = [&] {
        if (courant.lignes > 0) morceaux << courant;
        courant = {QString(), 0};
    };
    for (QString ligne : texte.split(QLatin1Char('\n'))) {
        while (ligne.size() > taille) {
            fermer();
            // A character beyond the first 65,536 is two halves that go in the same cell.
            const qsizetype coupe = ligne[taille - 1].isHighSurrogate() ? taille - 1 : taille;
            morceaux << MorceauTexte{ligne.left(coupe), 1};
            ligne.remove(0, coupe);
        }
        if (courant.lignes > 0 && courant.texte.size() + 1 + ligne.size() > taille) fermer();
        courant.texte += (courant.lignes > 0 ? QStringLiteral("\n") : QString()) + ligne;
        ++courant.lignes;
    }
    fermer();
    return morceaux;
}

Attente::Attente(ctrlProgresTemps* progres) : m_progres(progres), m_faites(progres->Value()) {
    m_depuis.start();
}

bool Attente::ligneFaite() {
    ++m_faites;
    if (m_depuis.elapsed() < 20) return false;
    m_progres->setValue(m_faites);
    QCoreApplication::processEvents();
    m_depuis.restart();
    return true;
}

void Attente::fin() {
    m_progres->setValue(m_faites);
}

qint32 SautsDePage::avantBloc(qint32 ligne, int nbTelephones, int nbDestinataires) {
    const qint32 e = nbDestinataires > 1 ? 4 : 3;
    qint32 saut = 0;
    if (ligne + 2 >= m_debutPage + 40 ||
        (nbTelephones >= 4 && ligne + e + nbTelephones >= m_debutPage + 40)) {
        saut = m_blocPrecedent;
        m_debutPage = m_blocPrecedent;
    }
    m_blocPrecedent = ligne;
    return saut;
}

} // namespace followup
