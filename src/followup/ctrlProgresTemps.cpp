#include "followup/ctrlProgresTemps.h"

#include "platform/Clock.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/ReportTexts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <cmath>

namespace followup {

namespace {

float secondesDepuisMinuit() {
    return float(platform::Clock::time().msecsSinceStartOfDay()) / 1000.0f;
}

// Rounds to the nearest whole number, a half to the even one.
qint32 arrondi(double v) {
    return qint32(std::nearbyint(v));
}

} // namespace

ctrlProgresTemps::ctrlProgresTemps(QWidget* parent) : QWidget(parent) {
    QFont police(QStringLiteral("Comic Sans MS"));
    police.setPointSizeF(8.25);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_label1 = new QLabel(QStringLiteral("Temps restant estimé :"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(police);
    m_lblTmpsReste = new QLabel(this);
    m_lblTmpsReste->setObjectName(QStringLiteral("lblTmpsReste"));
    m_lblTmpsReste->setFont(police);
    resize(platform::twipsToPixelsX(4950), platform::twipsToPixelsY(600));
    placer(m_bar, 0, 0, m_barWidth, m_barHeight);
    placer(m_lblTmpsReste, 1920, m_labelTop, 2055, 255);
    // The designed caption goes through Caption again, which sizes Label1 to its text.
    setCaption(m_label1->text());
}

void ctrlProgresTemps::placer(QWidget* w, float left, float top, float width, float height) {
    w->setGeometry(platform::twipsToPixelsX(qRound(left)), platform::twipsToPixelsY(qRound(top)),
                   platform::twipsToPixelsX(qRound(width)), platform::twipsToPixelsY(qRound(height)));
}

void ctrlProgresTemps::SetProgressBarColour(qint64 clrref) {
    QPalette p = m_bar->palette();
    p.setColor(QPalette::Highlight, platform::colorFromBgr(clrref));
    m_bar->setPalette(p);
}

void ctrlProgresTemps::SetProgressBackColour(qint64 clrref) {
    QPalette p = m_bar->palette();
    p.setColor(QPalette::Base, platform::colorFromBgr(clrref));
    p.setColor(QPalette::Window, platform::colorFromBgr(clrref));
    m_bar->setPalette(p);
}

// The bar counts in whole steps; the control keeps the values as given.
void ctrlProgresTemps::majBarre() {
    m_bar->setRange(qRound(m_min), std::max(qRound(m_min), qRound(m_max)));
    m_bar->setValue(qRound(m_value));
}

void ctrlProgresTemps::setMin(float value) {
    m_min = value;
    if (m_value < m_min) m_value = m_min;
    majBarre();
}

void ctrlProgresTemps::setMax(float value) {
    m_max = value;
    if (m_value > m_max) m_value = m_max;
    majBarre();
}

void ctrlProgresTemps::setValue(float v) {
    if (v > m_max) return;
    m_value = v;
    majBarre();
    if (!m_afficheTemps || v == 0) return;
    try {
        // Each part reads the clock afresh; 0.499 and 0.49 make the rounding almost a cut.
        auto reste = [this] {
            const float ecoule = secondesDepuisMinuit() - m_debut;
            const float rythme = ecoule / m_value;
            return (m_max - m_value) * rythme;
        };
        qint32 minutes = arrondi(double(reste()) / 60 - 0.499);
        qint32 secondes = arrondi(double(reste()) - 0.49) % 60;
        if (minutes < 0) minutes = 0;
        if (secondes < 0) secondes = 0;
        m_minutes = minutes;
        m_secondes = secondes;
        m_lblTmpsReste->setText(services::FormatDuree(m_minutes, m_secondes));
    } catch (const std::exception& e) {
        services::DoErreur(e, QStringLiteral("ctrlprogrestemps"), QStringLiteral("Let Value"));
    }
}

bool ctrlProgresTemps::AfficheTemps() const {
    return !m_lblTmpsReste->isHidden();
}

void ctrlProgresTemps::setAfficheTemps(bool show) {
    m_label1->setVisible(show);
    m_lblTmpsReste->setVisible(show);
    m_afficheTemps = show;
}

bool ctrlProgresTemps::Enabled() const {
    return m_bar->isEnabled();
}

void ctrlProgresTemps::setEnabled(bool enabled) {
    m_bar->setEnabled(enabled);
    m_label1->setEnabled(enabled);
    m_lblTmpsReste->setEnabled(enabled);
}

bool ctrlProgresTemps::Visible() const {
    return !m_bar->isHidden();
}

void ctrlProgresTemps::setVisibleParties(bool visible) {
    m_bar->setVisible(visible);
    m_label1->setVisible(visible);
    m_lblTmpsReste->setVisible(visible);
}

void ctrlProgresTemps::SetTimer() {
    m_debut = secondesDepuisMinuit();
    m_afficheTemps = true;
    m_label1->setVisible(true);
    m_lblTmpsReste->setVisible(true);
}

void ctrlProgresTemps::setAppearance(int value) {
    m_appearance = value;
    m_bar->setStyleSheet(QString()); // flat or 3D is left to the style
}

void ctrlProgresTemps::setBorderStyle(int value) {
    m_borderStyle = value;
}

float ctrlProgresTemps::PrgBarHeight() const {
    return m_barHeight;
}

void ctrlProgresTemps::setPrgBarHeight(float twips) {
    m_labelTop += twips - m_barHeight;
    m_barHeight = twips;
    placer(m_bar, 0, 0, m_barWidth, m_barHeight);
    m_label1->move(m_label1->x(), platform::twipsToPixelsY(qRound(m_labelTop)));
    m_lblTmpsReste->move(m_lblTmpsReste->x(), platform::twipsToPixelsY(qRound(m_labelTop)));
}

float ctrlProgresTemps::PrgBarWidth() const {
    return m_barWidth;
}

void ctrlProgresTemps::setPrgBarWidth(float twips) {
    m_barWidth = twips;
    placer(m_bar, 0, 0, m_barWidth, m_barHeight);
}

QString ctrlProgresTemps::Caption() const {
    return m_label1->text();
}

// Measured in the label's own font, so that the caption is never cut.
void ctrlProgresTemps::setCaption(const QString& text) {
    m_label1->setText(text);
    const int px = QFontMetrics(m_label1->font()).horizontalAdvance(text);
    m_label1Width = float(qRound(px * platform::twipsPerPixelX())) + 180;
    placer(m_label1, 0, m_labelTop, m_label1Width, 255);
    placer(m_lblTmpsReste, m_label1Width, m_labelTop, 2055, 255);
}

} // namespace followup
