// A status bar of fixed panels, each with its own hint, that reports which panel the mouse
// pressed: the port window's bars act on the panel under a right or left click.
#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace zev7 {

class PanelBar : public QFrame {
    Q_OBJECT

public:
    // Widths in pixels; a width of 0 lets the panel take the rest.
    explicit PanelBar(const QList<int>& widths, QWidget* parent = nullptr);

    void setText(int panel, const QString& text);
    QString text(int panel) const;
    void setHint(int panel, const QString& hint);
    // Puts a widget (a picture button) into a panel in place of its text.
    void setWidget(int panel, QWidget* widget);
    QLabel* label(int panel) const { return labels_.value(panel); }
    int count() const { return static_cast<int>(labels_.size()); }

signals:
    void panelPressed(int panel, Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QLabel*> labels_;
};

}  // namespace zev7
