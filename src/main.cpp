#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvel"));
    if (app.arguments().contains(QStringLiteral("--self-test"))) return 0;
    return 0;
}
