#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace followup {

// A progress bar with, under it, an estimate of the time left ("Temps restant estimé :"),
// worked out each time the value is written once the clock is started with SetTimer.
// Sizes are twips, as the control was drawn.
class ctrlProgresTemps : public QWidget {
    Q_OBJECT
public:
    explicit ctrlProgresTemps(QWidget* parent = nullptr);

    // Colours are Windows colour values.
    void SetProgressBarColour(qint64 clrref);
    void SetProgressBackColour(qint64 clrref);

    float Min() const { return m_min; }
    void setMin(float value);
    float max() const { return m_max; }
    void setMax(float value);
    float Value() const { return m_value; }
    // A value above max is ignored; otherwise the bar takes it and, once the clock runs and
    // the value is not 0, the label shows the time left at the rate seen so far.
    void setValue(float value);

    bool AfficheTemps() const;
    void setAfficheTemps(bool show);
    bool Enabled() const;
    void setEnabled(bool enabled);
    bool Visible() const;
    // The bar and both labels; the control itself stays as its host placed it.
    void setVisibleParties(bool visible);
    // Starts the clock now and shows the time-left labels.
    void SetTimer();

    int Scrolling() const { return m_scrolling; }
    void setScrolling(int value) { m_scrolling = value; }
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int value);

    float PrgBarHeight() const;
    // The labels follow the bar's bottom edge.
    void setPrgBarHeight(float twips);
    float PrgBarWidth() const;
    void setPrgBarWidth(float twips);

    QString Caption() const;
    // Label1 takes the text and its width; the time label moves to its right edge.
    void setCaption(const QString& text);

    QProgressBar* ProgressBar() const { return m_bar; }
    QLabel* Label1() const { return m_label1; }
    QLabel* lblTmpsReste() const { return m_lblTmpsReste; }

private:
    void placer(QWidget* w, float left, float top, float width, float height);
    void majBarre();

    QProgressBar* m_bar = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_lblTmpsReste = nullptr;
    float m_min = 0;
    float m_max = 100;
    float m_value = 0;
    float m_debut = 0; // seconds since midnight when the clock started
    bool m_afficheTemps = false;
    qint32 m_minutes = 0;
    qint32 m_secondes = 0;
    int m_scrolling = 0;
    int m_appearance = 1;
    int m_borderStyle = 0;
    // Geometry in twips, so that moves keep their fractions.
    float m_barHeight = 180;
    float m_barWidth = 4935;
    float m_labelTop = 240;
    float m_label1Width = 1935;
};

} // namespace followup
