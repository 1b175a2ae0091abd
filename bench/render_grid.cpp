// Renders a grouped grid with wrapped row texts, colours, images and struck-through rows to
// a PNG, to look at the grid as a user would. Usage: render_grid [out.png] [events.png]
#include "platform/Grid.h"
#include "platform/Pictures.h"

#include <QApplication>
#include <QPainter>

using namespace platform;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("grid.png");

    Grid grid;
    grid.resize(1100, 620);
    grid.setRedraw(false);
    QFont font(QStringLiteral("Comic Sans MS"), 9);
    grid.setGridFont(font);
    grid.setImageList(messageImages());
    grid.setDefaultRowHeight(18);
    grid.setSelectionBackColor(0xC0E0FF);
    struct Col {
        const char* key;
        const char* header;
        int width;
        int sort;
    };
    const Col cols[] = {{"Priorité", "P", 20, 300},
                        {"État", "E", 20, 300},
                        {"No", "No", 80, 800},
                        {"Client", "Client", 200, 0},
                        {"Téléphone", "Téléphone", 140, 0},
                        {"Date", "Date", 75, 200},
                        {"Heure", "Heure", 50, 200},
                        {"Expéditeur", "De", 110, 0},
                        {"TypeMessage", "Type message", 110, 0},
                        {"Dossier", "NoDossier", 110, 0},
                        {"Destinataire", "À", 110, 0}};
    for (const Col& c : cols)
        grid.AddColumn(QString::fromUtf8(c.key), QString::fromUtf8(c.header), 0, -1, c.width, true, false,
                       QString(), true, QString(), false, c.sort);
    grid.AddColumn(QStringLiteral("Message"), QString(), 0, -1, 985, true, false, QString(), true, QString(),
                   true);

    const char* clients[] = {"Tremblay,Émile,Garage Tremblay", "Gagnon,Louise,", "Roy,Ève,Pharmacie Roy",
                             "Côté,André,", "Bouchard,Hélène,Bouchard et fils"};
    const char* senders[] = {"Réception", "Martine", "Réception", "Jacques"};
    const char* texts[] = {
        "Rappeler au sujet de la soumission pour la toiture; il attend une réponse avant vendredi.",
        "Madame Gagnon demande si les documents signés sont arrivés. Elle voudrait qu'on la rappelle "
        "au bureau entre 13 h et 16 h, ou sur son cellulaire après 17 h. Elle précise que le dossier est "
        "urgent parce que la banque exige les papiers d'ici la fin du mois.",
        "Livraison reportée à lundi.",
        "Question sur la facture 2024-118 : le montant des taxes ne correspond pas au devis. Merci de "
        "vérifier et de lui envoyer une facture corrigée par courriel.",
        "A appelé deux fois ce matin, veut parler à Jacques personnellement."};
    QFont struck = font;
    struck.setStrikeOut(true);
    for (int i = 0; i < 14; ++i) {
        const int r = grid.AddRow();
        const bool isNew = i % 4 == 1;
        const qint64 rowColour = isNew ? 0x0000FF : -1;
        const QFont& f = (i == 5 || i == 9) ? struck : font;
        const int id = 1040 + i;
        grid.CellDetails(r, 1, QString(), 0x40020, i % 3);
        grid.CellDetails(r, 2, QString(), 0x40020, 3 + i % 5);
        grid.CellDetails(r, 3, QStringLiteral("%1 (%2)").arg(id).arg(i + 1), 0x40020, -1, -1, rowColour, f, 0,
                         -1, id);
        grid.CellDetails(r, 4, QString::fromUtf8(clients[i % 5]), 0x40020, -1, -1, rowColour, f);
        grid.CellDetails(r, 5, QStringLiteral("418 555-01%1").arg(10 + i), 0x40020, -1, -1, rowColour, f);
        grid.CellDetails(r, 6, QStringLiteral("2024-03-%1").arg(10 + i / 3), 0x40020, -1, -1, rowColour, f);
        grid.CellDetails(r, 7,
                         QStringLiteral("%1:%2")
                             .arg(8 + i % 9, 2, 10, QLatin1Char('0'))
                             .arg(i * 7 % 60, 2, 10, QLatin1Char('0')),
                         0x40020, -1, -1, rowColour, f);
        grid.CellDetails(r, 8, QString::fromUtf8(senders[i % 4]), 0x40020, -1, -1, rowColour, f);
        grid.CellDetails(r, 9, i % 2 ? QStringLiteral("Rappeler") : QStringLiteral("Information"), 0x40020,
                         -1, -1, rowColour, f);
        grid.CellDetails(r, 10, QStringLiteral("D-%1").arg(200 + i), 0x40020, -1, -1, rowColour, f);
        const bool many = i % 3 == 0;
        grid.CellDetails(r, 11, many ? QStringLiteral("Jacques, Martine, Sylvie") : QStringLiteral("Jacques"),
                         0x40020, -1, many ? 0xC0C0FF : -1, rowColour, f);
        grid.CellDetails(r, 12, QString::fromUtf8(texts[i % 5]), 16, -1, -1, 0xC00000, f);
        grid.setRowHeight(r, grid.EvaluateTextHeight(r, 12) + grid.DefaultRowHeight() + 4);
    }
    grid.setRedraw(true);
    grid.setColumnIsGrouped(8, true); // by sender
    grid.setGroupingBandHidden(false);
    grid.sortKeys().clear();
    grid.sortKeys().add(6, 2, 200);
    grid.Sort();
    // Collapse the last group to show a closed heading.
    for (int r = grid.Rows(); r >= 1; --r)
        if (grid.RowIsGroup(r)) {
            grid.setRowExpanded(r, 0);
            break;
        }
    grid.setSelectedRow(3);
    grid.setSelectedCol(4);
    grid.show();
    QApplication::processEvents();
    grid.grab().save(out);

    if (argc > 2) { // the event icons and message marks, enlarged, to check the drawings
        const ImageList ev = eventImages(), msg = messageImages();
        QImage sheet(16 * 4 * 11 + 40, 16 * 4 * 2 + 30, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (int i = 0; i < ev.count(); ++i)
            p.drawPixmap(QRect(10 + i * 68, 10, 64, 64), ev.pixmap(i));
        for (int i = 0; i < msg.count(); ++i)
            p.drawPixmap(QRect(10 + i * 68, 84, 64, 64), msg.pixmap(i));
        p.end();
        sheet.save(QString::fromLocal8Bit(argv[2]));
    }
    return 0;
}
